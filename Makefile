# Drives CMake. `make run` builds and runs the built-in scenario; `make test` builds and runs
# every test, once in a release build and once under AddressSanitizer and UBSan.
JOBS ?= $(shell nproc)

.PHONY: all setup build run test test-release test-sanitize bench clean

all: build

setup:
	@bash scripts/setup.sh

build: setup
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
	cmake --build build -j $(JOBS)

run: build
	./build/genera_scenario

test: test-release test-sanitize

test-release: build
	ctest --test-dir build --output-on-failure -j $(JOBS)

test-sanitize: setup
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DGS_SANITIZE=ON -DGS_BENCHMARKS=OFF
	cmake --build build-sanitize -j $(JOBS)
	ctest --test-dir build-sanitize --output-on-failure -j $(JOBS)

bench: build
	./build/bench/genera_scenario_bench

clean:
	rm -rf build build-sanitize

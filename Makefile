# Drives CMake. `make run` builds and runs the built-in scenario; `make test` builds and runs
# every test, once in a release build and once under AddressSanitizer and UBSan.
JOBS ?= $(shell nproc)

.PHONY: all setup build run test test-release test-sanitize bench fuzz clean

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

# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS on its corpus.
FUZZ_SECONDS ?= 60
fuzz: setup
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DGS_FUZZ=ON -DGS_TESTS=OFF -DGS_BENCHMARKS=OFF
	cmake --build build-fuzz -j $(JOBS)
	bash scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS)

bench: build
	./build/bench/genera_scenario_bench

clean:
	rm -rf build build-sanitize build-fuzz

# Drives CMake. `make run` sets up and builds the program alone and runs the built-in scenario;
# `make test` builds everything else and runs every test, once in a release build and once
# under AddressSanitizer and UBSan.
JOBS ?= $(shell nproc)

.PHONY: all build programma-linux run test test-release test-sanitize test-tsan bench soak fuzz \
  windows test-windows dist clean

all: build

build:
	@bash scripts/setup.sh run
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DGS_TESTS=OFF -DGS_BENCHMARKS=OFF -DGS_WERROR=OFF
	cmake --build build -j $(JOBS) --target genera_scenario

run: build
	./build/genera_scenario

test: test-release test-sanitize

test-release:
	@bash scripts/setup.sh test browser vscode neovim
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DGS_TESTS=ON -DGS_BENCHMARKS=ON -DGS_WERROR=ON
	cmake --build build -j $(JOBS)
	ctest --test-dir build --output-on-failure -j $(JOBS) --timeout 900

test-sanitize:
	@bash scripts/setup.sh test browser vscode neovim
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DGS_SANITIZE=ON -DGS_BENCHMARKS=OFF \
	  -DGS_WERROR=ON
	cmake --build build-sanitize -j $(JOBS)
	ctest --test-dir build-sanitize --output-on-failure -j $(JOBS) --timeout 900

# serve and lsp run threads (serve: the HTTP server, the watch-and-compile loop and the writer
# of -o's files; lsp: the reader of standard input and the server): their unit tests, and the
# end-to-end runs of the program that exercise those threads, under ThreadSanitizer. Only the
# targets those tests need are built; the browser, Neovim and resource tests stay with the other
# builds (the last measure memory and CPU, which the sanitizer multiplies). A race stops the
# program at once, so that a test that runs the program and reads only its output still fails.
# Not yet part of `test`: GCC 12 warns (-Wtsan, an error here) that ThreadSanitizer does not
# model the std::atomic_thread_fence in Asio's handlers, which is still to be settled.
TSAN_PROVE = ^(Servitore|ServitoreConScadenze|ServitoreSenzaScadenze|UltimoLavoro|HostAmmesso|Lsp[A-Za-z]*)\.|^(serve_cartella_rifatta|serve_scrittura|lsp_sessione)$$
test-tsan:
	@bash scripts/setup.sh test
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DGS_TSAN=ON -DGS_BENCHMARKS=OFF -DGS_WERROR=ON
	cmake --build build-tsan -j $(JOBS) --target test_serve test_lsp
	TSAN_OPTIONS='halt_on_error=1 second_deadlock_stack=1' \
	  ctest --test-dir build-tsan --output-on-failure -j $(JOBS) --timeout 900 -R '$(TSAN_PROVE)'

bench:
	@bash scripts/setup.sh bench browser
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DGS_BENCHMARKS=ON
	cmake --build build -j $(JOBS) --target genera_scenario_bench genera_scenario scrivi_sintetico
	./build/bench/genera_scenario_bench
	node bench/serve/bench_serve.mjs build/genera_scenario build/scrivi_sintetico

# serve left running for 2,000 saves of the 1000000 m line among many clients, its memory and
# descriptors compared at the start and the end (scripts/soak.sh); long, and not part of `test`.
soak:
	@bash scripts/setup.sh bench
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DGS_BENCHMARKS=ON
	cmake --build build -j $(JOBS) --target genera_scenario scrivi_sintetico
	bash scripts/soak.sh build/genera_scenario build/scrivi_sintetico

# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS on its whole corpus.
FUZZ_SECONDS ?= 60
fuzz:
	@bash scripts/setup.sh fuzz
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DGS_FUZZ=ON -DGS_TESTS=OFF -DGS_BENCHMARKS=OFF -DGS_WERROR=ON
	cmake --build build-fuzz -j $(JOBS)
	bash scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS)

# Windows: the same sources cross-built with mingw-w64 into build-windows/, genera_scenario.exe
# (the GUI program, for a double click) and genera_scenario.com (the console program, which
# cmd.exe and PowerShell run for "genera_scenario"). test-windows runs the unit tests, the
# built-in run against the Linux program's files, the console and the window under Wine.
WINDOWS_CMAKE = cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DGS_BENCHMARKS=OFF

windows:
	@bash scripts/setup.sh windows
	$(WINDOWS_CMAKE) -DGS_TESTS=OFF -DGS_WERROR=OFF
	cmake --build build-windows -j $(JOBS) --target genera_scenario genera_scenario_console

# The Linux program that test-windows compares against. Any configuration of build/ makes the
# same bytes, so a build/ that test-release (or make run) has configured is used as it is: it is
# not reconfigured, which would change its flags and recompile everything it holds.
programma-linux:
	@bash scripts/setup.sh run
	@test -f build/CMakeCache.txt || cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DGS_TESTS=OFF \
	  -DGS_BENCHMARKS=OFF -DGS_WERROR=OFF
	cmake --build build -j $(JOBS) --target genera_scenario

test-windows: programma-linux
	@bash scripts/setup.sh windows
	$(WINDOWS_CMAKE) -DGS_TESTS=ON -DGS_WERROR=ON -DGS_PROGRAMMA_LINUX=$(CURDIR)/build/genera_scenario
	cmake --build build-windows -j $(JOBS)
	bash tests/windows/esegui_sotto_wine.sh build-windows $(JOBS)

# Something to download: the Windows programs and the Linux one, each with the README and the
# authors' guide (and the manual page for Linux), as dist/genera_scenario-VERSION-*, and the
# editor extension as dist/genera_scenario-VERSION.vsix.
VERSION := $(shell grep -m1 -o 'genera_scenario VERSION [0-9.]*' CMakeLists.txt | cut -d' ' -f3)
DIST_NAME := genera_scenario-$(VERSION)
dist: build windows
	rm -rf dist && mkdir -p dist/linux/$(DIST_NAME) dist/windows/$(DIST_NAME)
	cp build/genera_scenario README.md docs/authoring.md docs/genera_scenario.1 dist/linux/$(DIST_NAME)/
	cp build-windows/genera_scenario.exe build-windows/genera_scenario.com README.md docs/authoring.md \
	  dist/windows/$(DIST_NAME)/
	cd dist/windows && cmake -E tar cf ../$(DIST_NAME)-windows-x86_64.zip --format=zip $(DIST_NAME)
	cd dist/linux && cmake -E tar czf ../$(DIST_NAME)-linux-x86_64.tar.gz $(DIST_NAME)
	rm -rf dist/linux dist/windows
	@bash scripts/setup.sh vscode
	bash editors/vscode/impacchetta.sh dist/$(DIST_NAME).vsix
	@ls -l dist

clean:
	rm -rf build build-sanitize build-tsan build-fuzz build-windows dist

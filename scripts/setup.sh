#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for one kind of build, and nothing when it is
# already there: `run` (the program alone), `test` (the tests and benchmarks, release and
# sanitizers), `bench`, `fuzz` (clang and its fuzzing runtime), `windows` (the mingw-w64 cross
# compiler, and Wine, a virtual X display and its tools for the Windows tests).
# usage: scripts/setup.sh [run|test|bench|fuzz|windows]...
set -euo pipefail

need=()
want() { # want PACKAGE TEST...: the package when the test fails
  local package=$1
  shift
  "$@" >/dev/null 2>&1 || need+=("$package")
}

run() {
  want cmake command -v cmake
  want g++ command -v g++
  want make command -v make
  want nlohmann-json3-dev test -f /usr/include/nlohmann/json.hpp
}

for profile in "${@:-run}"; do
  case "$profile" in
    run) run ;;
    test)
      run
      want libgtest-dev test -f /usr/include/gtest/gtest.h
      want libgmock-dev test -f /usr/include/gmock/gmock.h
      want libbenchmark-dev test -f /usr/include/benchmark/benchmark.h
      want python3 command -v python3
      want clang-format command -v clang-format
      ;;
    bench)
      run
      want libbenchmark-dev test -f /usr/include/benchmark/benchmark.h
      ;;
    fuzz)
      run
      want clang command -v clang++
      want libclang-rt-dev bash -c 'ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a'
      ;;
    windows)
      run
      want g++-mingw-w64-x86-64-posix command -v x86_64-w64-mingw32-g++-posix
      want googletest test -f /usr/src/googletest/CMakeLists.txt
      want wine command -v wine
      want wine64 test -x /usr/lib/wine/wine64
      want xvfb command -v xvfb-run
      want xdotool command -v xdotool
      want imagemagick command -v import
      want python3 command -v python3
      ;;
    *)
      echo "setup: unknown profile $profile (run, test, bench, fuzz or windows)" >&2
      exit 2
      ;;
  esac
done

if [ ${#need[@]} -gt 0 ]; then
  mapfile -t need < <(printf '%s\n' "${need[@]}" | sort -u)
  echo "setup: installing ${need[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q "${need[@]}"
fi

#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for one kind of build, and nothing when it is
# already there: `run` (the program alone), `test` (the tests and benchmarks, release and
# sanitizers), `bench`, `fuzz` (clang and its fuzzing runtime), `windows` (the mingw-w64 cross
# compiler, and Wine, a virtual X display and its tools for the Windows tests), `browser`
# (Chromium and Firefox, and the Node packages that drive them, for the tests and benchmark of
# serve's page), `vscode` (Node and the editor extension's packages, to test and package it).
# usage: scripts/setup.sh [run|test|bench|fuzz|windows|browser|vscode]...
set -euo pipefail

need=()
browser=0
vscode=0
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
  want libboost-dev test -f /usr/include/boost/beast.hpp
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
    browser)
      browser=1
      want chromium test -x /usr/bin/chromium
      want firefox-esr test -x /usr/bin/firefox-esr
      want nodejs command -v node
      want npm command -v npm
      ;;
    vscode)
      vscode=1
      want nodejs command -v node
      want npm command -v npm
      want python3 command -v python3
      ;;
    *)
      echo "setup: unknown profile $profile (run, test, bench, fuzz, windows, browser or vscode)" >&2
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

# The Node packages, after apt (which may have brought Node): installed again only when the lock
# file differs from the one they were installed from. Chromium is Debian's, never downloaded.
npm_ci() { # npm_ci FOLDER: the packages of FOLDER's package-lock.json
  local folder
  folder="$(cd "$(dirname "$0")/../$1" && pwd)"
  if ! cmp -s "$folder/package-lock.json" "$folder/node_modules/.installed-lock.json"; then
    echo "setup: npm ci in $1"
    (cd "$folder" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --ignore-scripts --no-audit --no-fund)
    cp "$folder/package-lock.json" "$folder/node_modules/.installed-lock.json"
  fi
}
[ $browser -eq 0 ] || npm_ci tests/serve
[ $vscode -eq 0 ] || npm_ci editors/vscode

#!/usr/bin/env bash
# Runs the Windows build's tests (make test-windows): under Wine, in a Wine prefix made in a
# fresh temporary folder and removed afterwards, with one Wine server for the whole run.
# Usage: esegui_sotto_wine.sh BUILD_DIR JOBS
set -euo pipefail

cartella=$(mktemp -d)
export WINEPREFIX=$cartella/wine WINEDEBUG=-all
# Only this prefix's server (and the prefix's processes with it), which this script started.
trap 'wineserver -k 2>/dev/null || true; rm -rf "$cartella"' EXIT
# The server and the prefix's own services start here, on /dev/null: started by a test's
# program, they would outlive it holding its output pipes, and Python's subprocess, for one,
# waits for those to close.
mkdir "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
wine wineboot -i </dev/null >/dev/null 2>&1
ctest --test-dir "$1" --output-on-failure -j "$2" --timeout 900

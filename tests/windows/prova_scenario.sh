#!/usr/bin/env bash
# The built-in run of genera_scenario.exe under Wine, started from another folder, writes the
# six files into its own folder (found with GetModuleFileNameW, not the current one), byte for
# byte what the Linux program writes beside itself, and leaves nothing else.
# Usage: prova_scenario.sh WINDOWS_PROGRAM LINUX_PROGRAM   (WINEPREFIX set)
set -euo pipefail

lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
export WINEDEBUG=-all
unset DISPLAY  # a message box would wait for a click; without a display it goes to stderr

mkdir "$lavoro/linux" "$lavoro/windows" "$lavoro/altrove"
cp "$2" "$lavoro/linux/genera_scenario"
cp "$1" "$lavoro/windows/genera_scenario.exe"
fallito=0
(cd "$lavoro/altrove" && "$lavoro/linux/genera_scenario" >/dev/null)
stato=0
(cd "$lavoro/altrove" && wine "$lavoro/windows/genera_scenario.exe") >"$lavoro/out" 2>&1 || stato=$?
if [ "$stato" -ne 0 ]; then
  echo "FAIL: exit status $stato: $(cat "$lavoro/out")" >&2
  fallito=1
fi
if [ -s "$lavoro/out" ]; then
  echo "FAIL: the GUI program wrote to the console: $(cat "$lavoro/out")" >&2
  fallito=1
fi
if [ -n "$(ls -A "$lavoro/altrove")" ]; then
  echo "FAIL: files in the current folder: $(ls "$lavoro/altrove")" >&2
  fallito=1
fi
rm "$lavoro/linux/genera_scenario" "$lavoro/windows/genera_scenario.exe"
[ "$(ls "$lavoro/linux" | wc -l)" -eq 6 ] || { echo "FAIL: Linux wrote $(ls "$lavoro/linux")" >&2; fallito=1; }
if ! diff -r "$lavoro/linux" "$lavoro/windows" >&2; then
  echo "FAIL: the built-in run's files differ between Linux and Windows" >&2
  fallito=1
fi
[ $fallito -eq 0 ] && echo "scenario: six files, byte for byte the same on Linux and Windows"
exit $fallito

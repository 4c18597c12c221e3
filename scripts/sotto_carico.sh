#!/usr/bin/env bash
# Runs a test command N times in a row on a busy machine: two busy loops per core run beside
# it for as long as it takes. Each run gets GS_SEME=i (the random-kill test's seed). Prints the
# count of runs that failed and the output of the first few; exits 1 when any failed.
#
#   scripts/sotto_carico.sh 200 python3 tests/run/test_interruzioni.py build/genera_scenario build/scrivi_sintetico
#   scripts/sotto_carico.sh 50 ctest --test-dir build -R serve_pagina
set -uo pipefail
if [[ $# -lt 2 ]]; then
  echo "usage: $0 N COMMAND..." >&2
  exit 2
fi
volte=$1
shift
carico=()
for ((i = 0; i < 2 * $(nproc); ++i)); do
  (while :; do :; done) &
  carico+=($!)
done
trap 'kill "${carico[@]}" 2>/dev/null' EXIT
uscita=$(mktemp)
falliti=0
inizio=$SECONDS
for ((i = 1; i <= volte; ++i)); do
  if ! GS_SEME=$i "$@" >"$uscita" 2>&1; then
    falliti=$((falliti + 1))
    if ((falliti <= 3)); then
      echo "--- run $i failed:"
      tail -20 "$uscita"
    fi
  fi
done
rm -f "$uscita"
echo "$((volte - falliti)) passed, $falliti failed ($volte runs in $((SECONDS - inizio)) s, under load)"
((falliti == 0))

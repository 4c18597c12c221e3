#!/usr/bin/env bash
# Runs each fuzz target for a fixed time on its corpus; fails on any finding.
# usage: scripts/fuzz.sh BUILD_DIR SECONDS [TARGET...]
set -euo pipefail
build=$1
seconds=$2
shift 2
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(campi linea compila compilati lsp)
root=$(cd "$(dirname "$0")/.." && pwd)

status=0
for t in "${targets[@]}"; do
  work="$build/fuzz-corpus/$t"
  artifacts="$build/fuzz-artifacts"
  mkdir -p "$work" "$artifacts"
  # The kept seeds and earlier findings start every run; new inputs stay in the build folder.
  cp -n "$root/fuzz/corpus/$t/"* "$work/" 2>/dev/null || true
  cp -n "$root/fuzz/regressioni/$t/"* "$work/" 2>/dev/null || true
  echo "fuzz: $t for ${seconds}s"
  if ! "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -dict="$root/fuzz/parole.dict" \
      -artifact_prefix="$artifacts/$t-" -print_final_stats=1 "$work" > "$build/fuzz-$t.log" 2>&1; then
    echo "fuzz: $t found a failure; see $build/fuzz-$t.log and $artifacts" >&2
    tail -n 40 "$build/fuzz-$t.log" >&2
    status=1
  else
    grep -E "stat::number_of_executed_units|cov:" "$build/fuzz-$t.log" | tail -n 2
  fi
done
exit $status

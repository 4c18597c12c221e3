# The checks of a test script, counted: `ok` after one that passed, `fallito WHAT` after one
# that failed, and `esito NAME` last, which prints the counts and fails the script on any
# failure. Sourced by the Windows test scripts.
passati=0
falliti=0
ok() { passati=$((passati + 1)); }
fallito() {
  echo "FAIL: $*" >&2
  falliti=$((falliti + 1))
}
esito() {
  echo "$1: $passati passed, $falliti failed"
  [ "$falliti" -eq 0 ]
}

#!/usr/bin/env bash
# Sources end with a newline and carry no trailing blanks (the CR LF text the program writes is
# output, not source, and the fuzz corpora are data).
set -u
cd "$(dirname "$0")/.."
status=0
while IFS= read -r -d '' f; do
  if grep -nE '[[:space:]]+$' "$f" >/dev/null; then
    grep -nE '[[:space:]]+$' "$f" | sed "s|^|$f:|" | head -n 5
    status=1
  fi
  if [ -s "$f" ] && [ "$(tail -c 1 "$f" | od -An -tx1 | tr -d ' ')" != "0a" ]; then
    echo "$f: no newline at the end"
    status=1
  fi
done < <(git ls-files -z -- '*.cc' '*.h' '*.cmake' 'CMakeLists.txt' '*/CMakeLists.txt' '*.sh' 'Makefile' '*.md')
[ $status -eq 0 ] && echo "lint: clean"
exit $status

#!/usr/bin/env bash
# Sources end with a newline and carry no trailing blanks (the CR LF text the program writes is
# output, not source, and the fuzz corpora are data), are formatted, and keep their functions
# short.
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
# The C++ sources as clang-format 14 (Debian 12's) formats them with the tree's .clang-format;
# another version may format otherwise, so it is only asked when it is 14.
formatter=$(command -v clang-format-14 || command -v clang-format || true)
if [ -n "$formatter" ] && "$formatter" --version | grep -q "version 14\."; then
  while IFS= read -r -d '' f; do
    if ! "$formatter" --dry-run --Werror "$f" 2>/dev/null; then
      echo "$f: not formatted (run: $formatter -i $f)"
      status=1
    fi
  done < <(git ls-files -z -- '*.cc' '*.h')
else
  echo "lint: clang-format 14 not found, formatting not checked"
fi
# No function of src/ runs over 80 lines: one that does holds several jobs.
python3 scripts/funzioni_lunghe.py || status=1
[ $status -eq 0 ] && echo "lint: clean"
exit $status

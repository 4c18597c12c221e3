#!/usr/bin/env bash
# Packages the extension into OUT (a .vsix) with the pinned @vscode/vsce; the packages must be
# installed (scripts/setup.sh vscode). The extension's version must be the program's.
# usage: editors/vscode/impacchetta.sh OUT.vsix
set -euo pipefail
out=$(realpath -m "$1")
cd "$(dirname "$0")"
programma=$(grep -m1 -o 'genera_scenario VERSION [0-9.]*' ../../CMakeLists.txt | cut -d' ' -f3)
estensione=$(node -p 'require("./package.json").version')
if [ "$programma" != "$estensione" ]; then
  echo "impacchetta: editors/vscode/package.json has version $estensione, the program $programma" >&2
  exit 1
fi
node node_modules/@vscode/vsce/vsce package --out "$out" --skip-license --allow-missing-repository

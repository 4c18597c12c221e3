#!/usr/bin/env bash
# Rewrites the SYNOPSIS section of docs/genera_scenario.1 from the program's table of commands,
# which a test compares with the page.
# usage: scripts/aggiorna_man.sh [BUILD_DIR]   (default: build; a build with the tests)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
sinossi=$(mktemp)
trap 'rm -f "$sinossi"' EXIT
"$build/tests/run/scrivi_sinossi" >"$sinossi"
python3 - "$sinossi" docs/genera_scenario.1 <<'PY'
import sys
sinossi, pagina = sys.argv[1], sys.argv[2]
inizio, fine = ".SH SYNOPSIS\n", ".SH DESCRIPTION\n"
testo = open(pagina, encoding="utf-8").read()
a, b = testo.index(inizio) + len(inizio), testo.index(fine)
open(pagina, "w", encoding="utf-8").write(testo[:a] + open(sinossi, encoding="utf-8").read() + testo[b:])
PY
echo "updated docs/genera_scenario.1"

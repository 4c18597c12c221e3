#!/usr/bin/env bash
# Rewrites what docs/genera_scenario.1 holds from the program's tables: the SYNOPSIS section from
# the table of commands, and the list of errors and warnings under DIAGNOSTICS from the table of
# diagnostics. Tests compare both with the page.
# usage: scripts/aggiorna_man.sh [BUILD_DIR]   (default: build; a build with the tests)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
sinossi=$(mktemp)
elenco=$(mktemp)
trap 'rm -f "$sinossi" "$elenco"' EXIT
"$build/tests/run/scrivi_sinossi" >"$sinossi"
"$build/tests/run/scrivi_sinossi" diagnostics >"$elenco"
python3 - "$sinossi" "$elenco" docs/genera_scenario.1 <<'PY'
import sys
sinossi, elenco, pagina = sys.argv[1], sys.argv[2], sys.argv[3]
testo = open(pagina, encoding="utf-8").read()
def sostituisci(testo, inizio, fine, nuovo):
    a, b = testo.index(inizio) + len(inizio), testo.index(fine)
    return testo[:a] + open(nuovo, encoding="utf-8").read() + testo[b:]
testo = sostituisci(testo, ".SH SYNOPSIS\n", ".SH DESCRIPTION\n", sinossi)
testo = sostituisci(testo, '.\\" BEGIN generated: the table of diagnostics\n',
                    '.\\" END generated\n', elenco)
open(pagina, "w", encoding="utf-8").write(testo)
PY
echo "updated docs/genera_scenario.1"

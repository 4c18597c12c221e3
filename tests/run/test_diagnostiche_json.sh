#!/usr/bin/env bash
# The JSON report of compile and check parses with Python's own parser, holds every
# diagnostic with its place and its related records, and is all that goes to standard output.
# Usage: test_diagnostiche_json.sh PATH_TO_genera_scenario
set -euo pipefail

exe=$1
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
cd "$lavoro"

printf '%s\r\n' "[generale]" "lunghezza percorso, 12000" "[curve]" "pendenzza, 100, 5" \
  "cartello_indicatore, 4650, (GALLERIA)" "[fine]" >"MIA_linea.txt"
printf '%s\r\n' "[generale]" "stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 5,0,0, ALF$(printf '\xc0')" \
  "rallentamento, 9000, 60, 200, 1, 0, 0" "segnale, 9000, 1,0,0,0,0,0,0,0,0,0" >"MIA_R1-.txt"
mkdir out
stato=0
"$exe" compile MIA_linea.txt MIA_R1-.txt -o out --diagnostics-format=json >report.json 2>err.txt || stato=$?

python3 - "$stato" <<'PY'
import json, sys
stato = int(sys.argv[1])
r = json.load(open("report.json", encoding="utf-8"))
assert stato == 1, stato
assert open("err.txt").read() == "", "nothing on standard error"
assert r["line_name"] == "MIA" and r["train_name"] == "R1", r
assert r["exit_status"] == 1 and r["n_errore"] == 16 and r["pos_errore"] == 9000, r
d = r["diagnostics"]
assert [x["severity"] for x in d] == ["warning", "error"], d
w, e = d
assert w["warning"] == "unknown-record" and w["error"] is None and w["position_m"] is None, w
assert (w["file"], w["line"], w["column"]) == ("MIA_linea.txt", 4, 1), w
assert (e["file"], e["line"], e["column"], e["error"], e["position_m"]) == ("MIA_R1-.txt", 4, 10, 16, 9000), e
assert "the start of the slowdown at 9000 m from MIA_R1-.txt:3" in e["message"], e
assert (w["cause"], e["cause"]) == ("unknown-record", "signal-cell-taken"), d
# The keyword the warning suggests, as a value of its own beside the message; none for the error.
assert (w["suggestion"], e["suggestion"]) == ("pendenza", None), d
assert e["title"] == "a signal falls on a grid cell that is already taken", e
rel = e["related"]
assert len(rel) == 1 and (rel[0]["file"], rel[0]["line"], rel[0]["column"]) == ("MIA_R1-.txt", 3, 1), rel
paths = sorted(f["path"] for f in r["files_written"])
assert paths == ["out/MIA_R1.dat", "out/MIA_R1.sim", "out/MIA_linea.dat"], paths
import os
for f in r["files_written"]:
    assert os.path.getsize(f["path"]) == f["bytes"], f
PY

# A clean check: no diagnostics, no files, the names from the file names (Windows-1252 as UTF-8).
printf '%s\r\n' "[generale]" "stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 5,0,0, A" >"MIA_R$(printf '\xc3\xa0')-.txt"
"$exe" check MIA_linea.txt "MIA_R$(printf '\xc3\xa0')-.txt" --diagnostics-format=json -Werror >check.json || true
python3 - <<'PY'
import json
r = json.load(open("check.json", encoding="utf-8"))
assert r["train_name"] == "R\u00e0", r
assert r["warnings_as_errors"] is True and r["exit_status"] == 1, r
assert r["diagnostics"][0]["severity"] == "error" and r["diagnostics"][0]["warning"] == "unknown-record", r
assert r["files_written"] == [], r
PY
echo "diagnostics JSON: ok"

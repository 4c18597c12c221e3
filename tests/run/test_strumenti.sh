#!/usr/bin/env bash
# inspect and plot end to end: compiles a small scenario with the program itself, then checks
# that inspect's JSON and plot's SVG parse with Python's own parsers and hold what the
# sources put in, and that damaged or unknown files give the documented exit statuses.
# Usage: test_strumenti.sh PATH_TO_genera_scenario
set -euo pipefail

exe=$1
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
cd "$lavoro"

fallito=0
errore() {
  echo "FAIL: $*" >&2
  fallito=1
}

# Exit status of a command that is expected to fail, without stopping the script.
esito() {
  local e=0
  "$@" >"$lavoro/out" 2>"$lavoro/err" || e=$?
  echo "$e"
}

# A station name with characters XML must escape and a Windows-1252 degree sign (0xB0).
nome_stazione=$(printf 'BETA & <SUD> 2\xb0')
printf '%s\r\n' \
  "[generale]" \
  "lunghezza percorso,    10000" \
  "progressiva chilometrica uno,    0,    10000,    1" \
  "ripetizione segnali 4 codici,    0    ,0" \
  "[curve]" \
  "curvad6,  2000,  300" \
  "pendenza,  0,   0" \
  "pendenza,  3000,   12" \
  "indicatori_vmax,  1150,  70,  75,  75,  0,  ,  ,  ,  0" \
  "cartello_indicatore,  4650,   (GALLERIA PROVA  )(Mt.140)" \
  "[fine]" >"PROVA_linea.txt"
printf '%s\r\n' \
  "[generale]" \
  "numero vetture,    10" \
  "aderenza,       0,    90" \
  "velocita,       0,    75" \
  "stazione,       0,  8,  500,  0, 0, 1,  1,1,0,  4,1,1,    1,   5,27, 0, ALFA" \
  "stazione,    6000, 12,  800,  1, 0, 0,  4,1,0,  2,1,1,   99,   5,37,10, $nome_stazione" \
  "segnale,    4500,   1, 3, 0,  0, 0,    0,  0,0,0, 0" \
  "segnale,    5700,   2, 2, 3,  0, 0,    0,  0,0,0, 210" \
  "segnale,    8000,   1, 3, 0,  0, 0,    0,  0,0,0, 0" \
  "rallentamento,    3650,    30,  300, 1,  0,  0" \
  "[fine]" >"PROVA_T 1-.txt"

mkdir con senza
"$exe" compile PROVA_linea.txt "PROVA_T 1-.txt" -o con
"$exe" compile PROVA_linea.txt "PROVA_T 1-.txt" -o senza --no-geometry

# inspect: one JSON document over the three files, with the values the sources gave.
"$exe" inspect --json "con/PROVA_T 1.sim" "con/PROVA_T 1.dat" con/PROVA_linea.dat >ispezione.json
python3 - ispezione.json <<'EOF' || errore "inspect --json"
import json, sys
d = json.load(open(sys.argv[1], encoding="utf-8"))
tabella, griglia, geometria = d["files"]
assert [f["type"] for f in d["files"]] == ["table", "grid", "geometry"], d["files"]
beta = tabella["entries"][2]
assert beta["name"] == "BETA & <SUD> 2\u00b0", beta
assert (beta["kind"], beta["position_m"], beta["time"]) == (12, 6000, "05:37:10"), beta
segnali = [c for c in griglia["cells"] if c["kind"] == "signal"]
assert [c["position_m"] for c in segnali] == [4500, 5700, 8000], segnali
assert segnali[1]["signal"]["s2"] == 3 and segnali[1]["signal"]["time_value"] == 210
fermata = [c for c in griglia["cells"] if c["kind"] == "station stop"][1]
assert fermata["name"] == "BETA & <SUD> 2\u00b0", fermata
assert geometria["metres"] == 17001 and abs(geometria["turning_deg"] - 51.566) < 0.01, geometria
EOF

# The text view of the grid finds the table beside it on disk.
"$exe" inspect "con/PROVA_T 1.dat" >griglia.txt
grep -q 'station entry 2 "BETA & <SUD> 2°"' griglia.txt || errore "grid text names the station"
grep -q 'plain race code .* (the code of the train and line names in the table)' griglia.txt ||
  errore "grid text checks the race code"

# plot: well-formed XML with every signal marked and the stations named.
"$exe" plot con --line-name PROVA --train-name "T 1" >/dev/null
[ -f "con/PROVA_T 1.svg" ] || errore "plot writes LINE_TRAIN.svg into the folder"
"$exe" plot senza --line-name PROVA --train-name "T 1" -o senza.svg >/dev/null
for svg in "con/PROVA_T 1.svg" senza.svg; do
  python3 -c 'import xml.dom.minidom,sys; xml.dom.minidom.parse(sys.argv[1])' "$svg" || errore "$svg is not well-formed"
done
python3 - "con/PROVA_T 1.svg" senza.svg <<'EOF' || errore "plot content"
import sys, xml.dom.minidom
def classi(percorso, classe):
    d = xml.dom.minidom.parse(percorso)
    return [e for e in d.getElementsByTagName("*") if e.getAttribute("class") == classe]
def testi(percorso):
    d = xml.dom.minidom.parse(percorso)
    return " ".join(t.firstChild.data for t in d.getElementsByTagName("text") if t.firstChild)
con, senza = sys.argv[1], sys.argv[2]
assert len(classi(con, "segnale")) == 3, len(classi(con, "segnale"))
assert len(classi(senza, "segnale")) == 3
assert "ALFA" in testi(con) and "BETA & <SUD> 2\u00b0" in testi(con)
assert len(classi(con, "tracciato")) == 1 and not classi(senza, "tracciato")
assert "No plan view" in testi(senza) and "No plan view" not in testi(con)
EOF

# plot without both names finds the scenario itself: only a .sim that the names in its own
# table would have written counts, so a renamed copy, a damaged table and a folder ending in
# .sim are passed over without a word; a name that is given narrows the choice.
mkdir una due nulla una/CARTELLA.sim
"$exe" compile PROVA_linea.txt "PROVA_T 1-.txt" -o una --no-geometry >/dev/null
cp "una/PROVA_T 1.sim" "una/COPIA_T 1.sim"
head -c 100 "una/PROVA_T 1.sim" >una/ROTTA_X.sim
"$exe" compile PROVA_linea.txt "PROVA_T 1-.txt" -o due --no-geometry >/dev/null
# An apostrophe and a Windows-1252 degree sign, which the list of choices must quote and
# print as UTF-8.
"$exe" compile PROVA_linea.txt "PROVA_T 1-.txt" -o due --no-geometry --train-name "D'ORO 2°" \
  >/dev/null
caso_plot() {  # STATUS STDERR_PATTERN SVG_WRITTEN PLOT_ARGUMENTS...; status 0 wants stderr empty
  local atteso=$1 modello=$2 svg=$3 e
  shift 3
  [ -z "$svg" ] || rm -f -- "$svg"
  e=$(esito "$exe" plot "$@")
  [ "$e" = "$atteso" ] || errore "plot $*: exit $e, expected $atteso"
  if [ "$atteso" = 0 ]; then
    [ ! -s err ] || errore "plot $*: unexpected message $(cat err)"
  else
    grep -qE -- "$modello" err || errore "plot $*: no \"$modello\" in: $(cat err)"
  fi
  [ -z "$svg" ] || [ -f "$svg" ] || errore "plot $*: $svg not written"
}
caso_plot 0 '' "una/PROVA_T 1.svg" una
caso_plot 0 '' "una/PROVA_T 1.svg" una --line-name PROVA
caso_plot 0 '' "due/PROVA_T 1.svg" due --train-name "T 1"
caso_plot 2 '^genera_scenario: error: due holds 2 compiled scenarios' '' due
caso_plot 2 '^genera_scenario: error: due holds 2 compiled scenarios' '' due --line-name PROVA
caso_plot 2 '^genera_scenario: error: no compiled scenario \(\.sim\) in nulla; ' '' nulla
caso_plot 2 '^genera_scenario: error: no compiled scenario \(\.sim\) of line "ALTRA" in due; ' '' \
  due --line-name ALTRA
caso_plot 2 'no compiled scenario \(\.sim\) of train "T 9" in una; ' '' una --train-name "T 9"

# Each choice listed, pasted back as it stands, plots the scenario of the file it names.
esito "$exe" plot due >/dev/null
grep '^  ' err | sort >scelte
printf '%s\n' "PROVA_D'ORO 2°.sim" "PROVA_T 1.sim" >attese
sed 's/: --line-name .*//; s/^  //' scelte | cmp -s - attese || errore "plot lists $(cat scelte)"
opzioni=()
while IFS= read -r scelta; do
  file=${scelta%%: --line-name*}
  file=${file#  }
  rm -f "due/${file%.sim}.svg"
  { eval "opzioni=(${scelta#*: })" 2>/dev/null && "$exe" plot due "${opzioni[@]}" >/dev/null &&
    [ -f "due/${file%.sim}.svg" ]; } || errore "the choice \"$scelta\" does not plot its file"
done <scelte

# Damaged and unknown files: 1 names the file and the fault, 2 a file that cannot be used.
head -c 100 "con/PROVA_T 1.sim" >"tronca_T.sim"
[ "$(esito "$exe" inspect tronca_T.sim)" = 1 ] || errore "a truncated table exits with 1"
grep -q 'tronca_T.sim: not a valid scenario table file' err || errore "the message names the file"
{ cat "con/PROVA_T 1.dat"; printf 'xxxxxxx'; } >"lunga_T.dat"
[ "$(esito "$exe" inspect lunga_T.dat)" = 1 ] || errore "a grid of 15 k + 7 bytes exits with 1"
grep -q 'lunga_T.dat: .*(7 bytes over)' err || errore "the grid message says what is wrong"
[ "$(esito "$exe" inspect PROVA_linea.txt)" = 2 ] || errore "an unknown ending exits with 2"
grep -q 'PROVA_linea.txt' err || errore "the unknown file is named"
[ "$(esito "$exe" inspect manca.sim)" = 2 ] || errore "a missing file exits with 2"
grep -q 'manca.sim' err || errore "the missing file is named"
[ "$(esito "$exe" plot vuota)" = 2 ] || errore "plot of a missing folder exits with 2"
cp "con/PROVA_T 1.sim" con/PROVA_X.sim
head -c 50 "con/PROVA_T 1.dat" >con/PROVA_X.dat
[ "$(esito "$exe" plot con --line-name PROVA --train-name X)" = 1 ] || errore "plot of a damaged grid exits with 1"

exit $fallito

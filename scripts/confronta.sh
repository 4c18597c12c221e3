#!/usr/bin/env bash
# Shows that two builds of genera_scenario give the same results: both compile the same sources
# and must agree on the exit status, on the final error state and on every file they write.
#
# usage: scripts/confronta.sh OLD_BINARY NEW_BINARY [CORPUS_DIR...]
#
# Inputs, when no CORPUS_DIR is given:
#   fuzz/corpus/compila/  a line source, "\n#TRENO#\n", then a train source. An input without the
#                         separator is compiled with an empty train source (the program accepts
#                         one). An input whose last byte is odd is compiled with --no-geometry.
#   fuzz/corpus/linea/    a line source, compiled with the small train source of the line fuzz
#                         target.
#   generated inputs      the built-in sources (fuzz/corpus/compila/incorporato.txt) with a few
#                         numbers changed, lines duplicated, deleted or swapped and keywords
#                         misspelt; a fixed seed makes every run build the same ones.
# CORPUS_DIR arguments replace those inputs: a folder named "linea" holds line sources, any other
# whole-compile inputs. Nothing is generated then unless CONFRONTA_GENERATI asks for it, so the
# inputs kept from a run can be compared again on their own:
#   scripts/confronta.sh OLD NEW /tmp/confronta-diff/compila /tmp/confronta-diff/linea
#
# Each binary runs in a fresh folder holding a copy of the two sources, with the same command line
# for both: compile linea.txt treno.txt -o out --line-name L --train-name T [--no-geometry], plus
# --no-caret and -q for a binary whose --help or compile --help offers them. What is compared:
#   - the exit status;
#   - the final error state, the run's error number and position: from the last "[EN at P m]"
#     bracket of an error or note line, or from the lines "error N at P m:" / "error N:", where
#     the number is the last line's and the position the last one printed on any line (an error
#     recorded without a position leaves the run's position as it was), or "no error" when there
#     is no such line; messages, warnings, notes and standard output are not compared;
#   - every file left in the run folder (the outputs, and the sources, which must stay as they
#     were), by name and byte for byte.
#
# Each disagreement keeps its input under /tmp/confronta-diff/compila/ or .../linea/ (generated
# inputs in the whole-compile form), the standard error of both runs under .../stderr/, and its
# reason in .../motivi.txt. Exit status: 0 all agree, 1 a disagreement, 2 a bad command line.
#
# Settings from the environment:
#   CONFRONTA_GENERATI  how many inputs to generate (default 300 without CORPUS_DIR, else 0)
#   CONFRONTA_SEME      seed of the generator (default 1)
#   CONFRONTA_PARALLELI inputs compared at once (default 2)
#   CONFRONTA_TEMPO     seconds one compile may take before it counts as hung (default 60)
set -euo pipefail
# Plain text from both: no translated messages, no colour codes around the diagnostics.
export LC_ALL=C NO_COLOR=1

radice=$(cd "$(dirname "$0")/.." && pwd)
diff_dir=/tmp/confronta-diff

uso() {
  echo "usage: scripts/confronta.sh OLD_BINARY NEW_BINARY [CORPUS_DIR...]" >&2
  exit 2
}
[ $# -ge 2 ] || uso

# An absolute path to the binary, so that it can be run from each run folder.
percorso_binario() {
  local b=$1
  if [[ $b != */* ]]; then
    b=$(command -v -- "$b") || { echo "confronta: $1 not found" >&2; exit 2; }
  fi
  if [ ! -f "$b" ] || [ ! -x "$b" ]; then
    echo "confronta: $1 is not an executable file" >&2
    exit 2
  fi
  echo "$(cd "$(dirname "$b")" && pwd)/$(basename "$b")"
}

# The options that quieten a binary, taken only when its help mentions them: the source echo
# under each diagnostic and the list of written files are not compared. A build may list the
# options of compile only in "compile --help"; one that does not know that form just fails it.
opzioni_binario() {
  local aiuto opzioni=()
  aiuto=$("$1" --help 2>&1 || true; "$1" compile --help 2>&1 </dev/null || true)
  if ! grep -q 'compile' <<<"$aiuto"; then
    echo "confronta: $1 --help does not mention compile" >&2
    exit 2
  fi
  grep -q -- '--no-caret' <<<"$aiuto" && opzioni+=(--no-caret)
  grep -Eq -- '(^|[^[:alnum:]-])-q([^[:alnum:]-]|$)' <<<"$aiuto" && opzioni+=(-q)
  echo "${opzioni[*]:-}"
}

GS_VECCHIO=$(percorso_binario "$1")
GS_NUOVO=$(percorso_binario "$2")
OPZ_VECCHIO=$(opzioni_binario "$GS_VECCHIO")
OPZ_NUOVO=$(opzioni_binario "$GS_NUOVO")
shift 2

corpora=("$@")
generati_default=0
if [ ${#corpora[@]} -eq 0 ]; then
  corpora=("$radice/fuzz/corpus/compila" "$radice/fuzz/corpus/linea")
  generati_default=300
fi
for d in "${corpora[@]}"; do
  [ -d "$d" ] || { echo "confronta: $d is not a folder" >&2; exit 2; }
done
generati=${CONFRONTA_GENERATI:-$generati_default}
seme=${CONFRONTA_SEME:-1}
paralleli=${CONFRONTA_PARALLELI:-2}
CONFRONTA_TEMPO=${CONFRONTA_TEMPO:-60}
base="$radice/fuzz/corpus/compila/incorporato.txt"
if [ "$generati" -gt 0 ] && [ ! -f "$base" ]; then
  echo "confronta: $base is missing; it is the base of the generated inputs" >&2
  exit 2
fi

lavoro=$(mktemp -d /tmp/confronta.XXXXXX)
trap 'rm -rf "$lavoro"' EXIT

# Lays out one folder per input under casi/: linea.txt, treno.txt, geometria (yes or no), tipo
# (compila, linea or generato), nome, ingresso (the input as one file in the form of its corpus)
# and senza_treno, present when a whole-compile input has no train source.
python3 - "$lavoro/casi" "$generati" "$seme" "$base" "${corpora[@]}" <<'PY'
import os
import random
import re
import sys

casi, generati, seme, base = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
corpora = sys.argv[5:]
SEPARATORE = b"\n#TRENO#\n"
TRENO_LINEA = b"[generale]\r\nvelocita, 0, 75\r\nsegnale, 4500, 1,3,0,0,0,0,0,0,0,0\r\n"

os.makedirs(casi)
contati = 0


def scrivi(tipo, nome, ingresso):
    global contati
    contati += 1
    d = os.path.join(casi, "%05d" % contati)
    os.makedirs(d)
    if tipo == "linea":
        linea, treno, geometria = ingresso, TRENO_LINEA, True
    else:
        s = ingresso.find(SEPARATORE)
        linea = ingresso if s < 0 else ingresso[:s]
        treno = b"" if s < 0 else ingresso[s + len(SEPARATORE):]
        geometria = not (ingresso and ingresso[-1] & 1)
        if s < 0:
            open(os.path.join(d, "senza_treno"), "wb").close()
    for nome_file, dati in (("linea.txt", linea), ("treno.txt", treno), ("ingresso", ingresso),
                            ("tipo", tipo.encode()), ("nome", nome.encode()),
                            ("geometria", b"yes" if geometria else b"no")):
        with open(os.path.join(d, nome_file), "wb") as f:
            f.write(dati)


for cartella in corpora:
    tipo = "linea" if os.path.basename(os.path.normpath(cartella)) == "linea" else "compila"
    for nome in sorted(os.listdir(cartella)):
        p = os.path.join(cartella, nome)
        if os.path.isfile(p):
            with open(p, "rb") as f:
                scrivi(tipo, nome, f.read())

# The generated inputs: the built-in sources, each changed in one to three places.
rng = random.Random(seme)
with open(base, "rb") as f:
    tutto = f.read()
s = tutto.find(SEPARATORE)
parti_base = [tutto[:s], tutto[s + len(SEPARATORE):]]

NUMERO = re.compile(rb"-?\d+")
SOLO_NUMERI = re.compile(rb"^\s*-?\d+(\s+-?\d+)*\s*$")
GRANDI = [32767, 32768, 65535, 65536, 99950, 99999, 100000, 100050, 199999, 200000, 1000000,
          2147483647, 2147483648, -2147483648, -2147483649, 4294967296, 10**12]


def nuovo_valore(v):
    scelta = rng.randrange(8)
    if scelta == 0:
        return rng.randint(-3, 3)
    if scelta == 1:
        return -rng.choice([1, 49, 50, 51, 100, abs(v) or 50, rng.randint(2, 100000)])
    if scelta == 2:
        return 50 * rng.randint(0, 2100)
    if scelta == 3:
        return 50 * rng.randint(0, 2100) + rng.choice([1, 7, 25, 49])
    if scelta == 4:
        return rng.choice(GRANDI)
    if scelta == 5:
        return v + rng.choice([-50, -1, 1, 50])
    if scelta == 6:
        return v * rng.choice([2, 10, -1])
    return v // 2


def righe(testo):
    return testo.splitlines(keepends=True)


def record(rr):
    return [i for i, r in enumerate(rr) if b"," in r]


def cambia_numero(rr):
    indici = record(rr)
    rng.shuffle(indici)
    for i in indici:
        corpo = rr[i].rstrip(b"\r\n")
        fine = rr[i][len(corpo):]
        campi = corpo.split(b",")
        posti = []  # (field, start, end) of every number in an all-number field
        for k in range(1, len(campi)):
            if SOLO_NUMERI.match(campi[k]):
                posti += [(k, m.start(), m.end()) for m in NUMERO.finditer(campi[k])]
        if not posti:
            continue
        k, a, b = rng.choice(posti)
        valore = str(nuovo_valore(int(campi[k][a:b]))).encode()
        campi[k] = campi[k][:a] + valore + campi[k][b:]
        rr[i] = b",".join(campi) + fine
        return


def storpia(parola):
    if not parola:
        return b"x"
    i = rng.randrange(len(parola))
    scelta = rng.randrange(5)
    if scelta == 0:
        return parola[:i] + parola[i + 1:]
    if scelta == 1:
        return parola[:i] + parola[i:i + 1] * 2 + parola[i + 1:]
    if scelta == 2 and len(parola) > 1:
        i = min(i, len(parola) - 2)
        return parola[:i] + parola[i + 1:i + 2] + parola[i:i + 1] + parola[i + 2:]
    if scelta == 3:
        return parola.upper()
    return parola[:i] + bytes([rng.choice(b"abcdefghijklmnopqrstuvwxyz_ ")]) + parola[i + 1:]


def storpia_parola(rr):
    i = rng.randrange(len(rr))
    corpo = rr[i].rstrip(b"\r\n")
    fine = rr[i][len(corpo):]
    m = re.match(rb"^(\[)([^\]]*)(\].*)$", corpo)
    if m:
        rr[i] = m.group(1) + storpia(m.group(2)) + m.group(3) + fine
    else:
        testa, virgola, resto = corpo.partition(b",")
        rr[i] = storpia(testa) + virgola + resto + fine


def cambia_righe(rr):
    scelta = rng.randrange(3)
    i = rng.randrange(len(rr))
    if scelta == 0:
        rr.insert(rng.choice([i, rng.randrange(len(rr) + 1)]), rr[i])
    elif scelta == 1 and len(rr) > 1:
        del rr[i]
    else:
        j = rng.choice([min(i + 1, len(rr) - 1), rng.randrange(len(rr))])
        rr[i], rr[j] = rr[j], rr[i]


for n in range(1, generati + 1):
    parti = [righe(p) for p in parti_base]
    for _ in range(rng.choice([1, 1, 2, 3])):
        rr = parti[0 if rng.random() < 0.5 else 1]
        scelta = rng.random()
        if scelta < 0.6:
            cambia_numero(rr)
        elif scelta < 0.8:
            cambia_righe(rr)
        else:
            storpia_parola(rr)
    testi = []
    for rr in parti:
        # A line moved away from the end still needs its line break.
        for k in range(len(rr) - 1):
            if not rr[k].endswith(b"\n"):
                rr[k] += b"\r\n"
        testi.append(b"".join(rr))
    ingresso = testi[0] + SEPARATORE + testi[1]
    # A quarter of them without the geometry; text after [fine] is not read.
    if rng.random() < 0.25 and not ingresso[-1] & 1:
        ingresso += b"\t"
    elif ingresso[-1] & 1:
        ingresso += b"\n"
    scrivi("generato", "generato-%04d" % n, ingresso)
PY

# The final error state of one run from its standard error: "EN at P m", "EN" or "no error".
# Only diagnostic lines count: their location holds no blank, and a source echo starts with one.
# shellcheck disable=SC2317
stato_finale() {
  tr -d '\r' <"$1" | awk '
    function numero(testo, da) {
      match(substr(testo, da), /-?[0-9]+/)
      return substr(testo, da + RSTART - 1, RLENGTH)
    }
    # Old form: "FILE:LINE: error N at P m: MESSAGE" or "FILE:LINE: error N: MESSAGE".
    match($0, /^([^ ]*:[0-9]+: )?error -?[0-9]+( at -?[0-9]+ m)?: /) {
      riga = substr($0, 1, RLENGTH)
      sub(/^([^ ]*:[0-9]+: )?error /, "", riga)
      n = numero(riga, 1)
      if (riga ~ / at -?[0-9]+ m: $/) p = numero(riga, index(riga, " at ") + 4)
      stato = "E" n (p == "" ? "" : " at " p " m")
      next
    }
    # New form: the closing bracket of an error or note line holds the whole state.
    /^([^ ]+: )?(error|note): .*\[E-?[0-9]+( at -?[0-9]+ m)?\][ \t]*$/ {
      match($0, /\[E-?[0-9]+( at -?[0-9]+ m)?\][ \t]*$/)
      stato = substr($0, RSTART + 1, RLENGTH)
      sub(/\][ \t]*$/, "", stato)
    }
    END { print (stato == "" ? "no error" : stato) }'
}

# Compiles one input with both binaries and writes its verdict to esito: "same", or "differs"
# and the reasons on one line. Both functions run under xargs, where shellcheck cannot see them.
# shellcheck disable=SC2317
confronta_uno() {
  local caso=$1 lato bin opz geo=() motivi=() a b f
  local run="$caso/run"
  [ "$(cat "$caso/geometria")" = yes ] || geo=(--no-geometry)
  for lato in vecchio nuovo; do
    bin=$GS_NUOVO opz=$OPZ_NUOVO
    [ "$lato" = nuovo ] || bin=$GS_VECCHIO opz=$OPZ_VECCHIO
    mkdir -p "$run/$lato/out"
    cp "$caso/linea.txt" "$caso/treno.txt" "$run/$lato/"
    # shellcheck disable=SC2086  # the options are single words
    (cd "$run/$lato" && exec timeout -k 5 "$CONFRONTA_TEMPO" "$bin" compile linea.txt treno.txt \
        -o out --line-name L --train-name T "${geo[@]}" $opz) \
      </dev/null >"$run/$lato.out" 2>"$run/$lato.err" && echo 0 >"$run/$lato.rc" \
      || echo $? >"$run/$lato.rc"
  done

  a=$(cat "$run/vecchio.rc") b=$(cat "$run/nuovo.rc")
  [ "$a" = "$b" ] || motivi+=("exit status $a vs $b")
  [ "$a" = 124 ] && motivi+=("the old binary hung")
  [ "$b" = 124 ] && motivi+=("the new binary hung")
  a=$(stato_finale "$run/vecchio.err") b=$(stato_finale "$run/nuovo.err")
  [ "$a" = "$b" ] || motivi+=("final error state $a vs $b")

  (cd "$run/vecchio" && find . ! -type d | sort) >"$run/vecchio.files"
  (cd "$run/nuovo" && find . ! -type d | sort) >"$run/nuovo.files"
  a=$(comm -23 "$run/vecchio.files" "$run/nuovo.files" | sed 's|^\./||' | paste -sd' ')
  b=$(comm -13 "$run/vecchio.files" "$run/nuovo.files" | sed 's|^\./||' | paste -sd' ')
  [ -z "$a" ] || motivi+=("only the old wrote $a")
  [ -z "$b" ] || motivi+=("only the new wrote $b")
  while IFS= read -r f; do
    if ! cmp -s "$run/vecchio/$f" "$run/nuovo/$f"; then
      a=$(cmp "$run/vecchio/$f" "$run/nuovo/$f" 2>&1 \
        | sed -nE 's/.*differ: (byte|char) ([0-9]+).*/at byte \2/p')
      b="$(stat -c %s "$run/vecchio/$f") vs $(stat -c %s "$run/nuovo/$f") bytes"
      motivi+=("${f#./} differs ${a:-in length} ($b)")
    fi
  done < <(comm -12 "$run/vecchio.files" "$run/nuovo.files")

  # The written files are large and no longer needed; standard error is kept for the report.
  rm -rf "$run/vecchio" "$run/nuovo"
  if [ ${#motivi[@]} -eq 0 ]; then
    echo same >"$caso/esito"
  else
    a="differs ${motivi[0]}"
    for b in "${motivi[@]:1}"; do a+="; $b"; done
    echo "$a" >"$caso/esito"
  fi
}
export GS_VECCHIO GS_NUOVO OPZ_VECCHIO OPZ_NUOVO CONFRONTA_TEMPO
export -f confronta_uno stato_finale

# The earlier disagreements go only now: they may have been this run's inputs.
rm -rf "$diff_dir"
mkdir -p "$diff_dir"

echo "confronta: $GS_VECCHIO${OPZ_VECCHIO:+ ($OPZ_VECCHIO)} vs $GS_NUOVO${OPZ_NUOVO:+ ($OPZ_NUOVO)}"
# shellcheck disable=SC2016  # $1 belongs to the inner shell
find "$lavoro/casi" -mindepth 1 -maxdepth 1 -type d -print0 | sort -z \
  | xargs -0 -r -n 1 -P "$paralleli" bash -c 'confronta_uno "$1"' _ || true

totale=0 uguali=0 senza_treno=0 senza_geometria=0
declare -A per_tipo=()
: >"$diff_dir/motivi.txt"
for caso in "$lavoro"/casi/*/; do
  caso=${caso%/}
  tipo=$(cat "$caso/tipo") nome=$(cat "$caso/nome")
  totale=$((totale + 1))
  per_tipo[$tipo]=$((${per_tipo[$tipo]:-0} + 1))
  [ "$(cat "$caso/geometria")" = yes ] || senza_geometria=$((senza_geometria + 1))
  [ ! -e "$caso/senza_treno" ] || senza_treno=$((senza_treno + 1))
  esito=$(cat "$caso/esito" 2>/dev/null || echo "differs no verdict (the comparison itself failed)")
  if [ "$esito" = same ]; then
    uguali=$((uguali + 1))
    continue
  fi
  # Generated inputs are kept in the whole-compile form, as the corpus of whole compiles.
  cartella="$diff_dir/compila"
  [ "$tipo" = linea ] && cartella="$diff_dir/linea"
  mkdir -p "$cartella" "$diff_dir/stderr"
  [ ! -e "$cartella/$nome" ] || nome="$nome.$(basename "$caso")"
  cp "$caso/ingresso" "$cartella/$nome"
  cp "$caso/run/vecchio.err" "$diff_dir/stderr/$nome.old" 2>/dev/null || true
  cp "$caso/run/nuovo.err" "$diff_dir/stderr/$nome.new" 2>/dev/null || true
  echo "${cartella#"$diff_dir"/}/$nome: ${esito#differs }" >>"$diff_dir/motivi.txt"
done

dettaglio=""
for tipo in compila linea generato; do
  [ -z "${per_tipo[$tipo]:-}" ] || dettaglio+="${dettaglio:+, }$tipo ${per_tipo[$tipo]}"
done
echo "confronta: $totale inputs compared ($dettaglio; $senza_treno without a train source," \
  "compiled with an empty one; $senza_geometria with --no-geometry)"
echo "confronta: $uguali agree, $((totale - uguali)) disagree"
if [ "$uguali" -ne "$totale" ]; then
  echo "confronta: disagreements, kept under $diff_dir/ (reasons also in $diff_dir/motivi.txt):"
  sed "s|^|  $diff_dir/|" "$diff_dir/motivi.txt"
  exit 1
fi
exit 0

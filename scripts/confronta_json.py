#!/usr/bin/env python3
"""Shows that two builds of genera_scenario give the same diagnostics, messages aside.

usage: scripts/confronta_json.py OLD_BINARY NEW_BINARY [INPUT...]

Each input is a whole-compile input of the fuzz corpus (a line source, "\\n#TRENO#\\n", then a
train source; default: every file of fuzz/corpus/compila/). Both binaries run `check` on it with
--diagnostics-format=json; what is compared is the exit status and, for every diagnostic, its
severity, error number, warning name, file, line, column and related places: everything but the
message texts, which may be reworded. Prints each disagreement and a count; exit 1 on any.
"""
import glob
import json
import os
import subprocess
import sys
import tempfile

VECCHIO, NUOVO = sys.argv[1], sys.argv[2]
ingressi = sys.argv[3:] or sorted(glob.glob(os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "fuzz", "corpus", "compila", "*")))


def senza_messaggi(valore):
    if isinstance(valore, dict):
        return {k: senza_messaggi(v) for k, v in valore.items()
                if k not in ("message", "messaggio", "title", "cause")}
    if isinstance(valore, list):
        return [senza_messaggi(v) for v in valore]
    return valore


def esegui(programma, cartella):
    p = subprocess.run([programma, "check", "L_linea.txt", "L_T-.txt", "--diagnostics-format=json"],
                       cwd=cartella, capture_output=True, timeout=120)
    try:
        documento = json.loads(p.stdout or p.stderr)
    except ValueError:
        documento = None
    return p.returncode, senza_messaggi(documento)


diversi = 0
with tempfile.TemporaryDirectory() as cartella:
    for ingresso in ingressi:
        dati = open(ingresso, "rb").read()
        linea, _, treno = dati.partition(b"\n#TRENO#\n")
        open(os.path.join(cartella, "L_linea.txt"), "wb").write(linea)
        open(os.path.join(cartella, "L_T-.txt"), "wb").write(treno)
        a, b = esegui(VECCHIO, cartella), esegui(NUOVO, cartella)
        if a != b:
            diversi += 1
            print(f"{ingresso}: exit {a[0]} -> {b[0]}; diagnostics differ" if a[1] != b[1]
                  else f"{ingresso}: exit {a[0]} -> {b[0]}")
print(f"{len(ingressi)} inputs, {diversi} disagreements")
sys.exit(1 if diversi else 0)

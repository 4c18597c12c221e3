#!/usr/bin/env python3
"""Lists the functions of src/ longer than 80 lines, from the opening brace's line to the closing
one's: a definition at the left margin whose line ends in "{", and the first "}" back at the
left margin after it (as clang-format lays out every function outside a class). Exits 1 when
there is one.

usage: scripts/funzioni_lunghe.py [FILE...]   (default: every .cc file of src/ git tracks)"""
import re
import subprocess
import sys

MASSIMO = 80
NON_FUNZIONI = ("namespace", "struct", "class", "enum", "union", "extern", "template", "#", "//")


def apertura(righe, i):
    """The line of the brace that opens a function defined from line i, or None: its head may
    run over a few lines, the brace ending the last."""
    if not re.match(r"[A-Za-z_]", righe[i]) or righe[i].startswith(NON_FUNZIONI):
        return None
    for j in range(i, min(i + 8, len(righe))):
        if j > i and not righe[j].startswith(" "):
            return None
        if righe[j].rstrip().endswith(";"):
            return None
        if righe[j].rstrip().endswith("{"):
            return j if "(" in "".join(righe[i:j + 1]) else None
    return None


def lunghe(percorso):
    with open(percorso, encoding="utf-8", errors="replace") as f:
        righe = f.read().split("\n")
    trovate = []
    i = 0
    while i < len(righe):
        graffa = apertura(righe, i)
        if graffa is not None:
            fine = next((j for j in range(graffa + 1, len(righe)) if righe[j].startswith("}")),
                        None)
            if fine is None:
                break
            if fine - graffa + 1 > MASSIMO:
                trovate.append((i + 1, fine - graffa + 1, righe[i]))
            i = fine
        i += 1
    return trovate


file = sys.argv[1:] or subprocess.run(["git", "ls-files", "src/*.cc"], capture_output=True,
                                      text=True, check=True).stdout.split()
stato = 0
for percorso in file:
    for riga, lunghezza, testo in lunghe(percorso):
        print(f"{percorso}:{riga}: a function of {lunghezza} lines, over {MASSIMO}: {testo}")
        stato = 1
sys.exit(stato)

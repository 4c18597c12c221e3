#!/usr/bin/env python3
"""The manual page names the commands that the program's own table has, no more and no fewer.

Usage: test_manuale.py GENERA_SCENARIO_EXE MAN_PAGE

The commands are read from `genera_scenario --help`, whose usage lines the program makes from
its table of commands; the manual page must give each a line in its SYNOPSIS and an entry
under COMMANDS, and must name no command the program does not have.
"""
import re
import subprocess
import sys

programma, pagina = sys.argv[1], sys.argv[2]
aiuto = subprocess.run([programma, "--help"], capture_output=True, text=True, check=True).stdout
comandi = []
for riga in aiuto.splitlines():
    m = re.match(r"^(?:usage:)?\s+genera_scenario ([a-z]+)\b", riga)
    if m and m.group(1) not in comandi:
        comandi.append(m.group(1))

testo = open(pagina, encoding="utf-8").read()
sinossi = testo.split(".SH SYNOPSIS", 1)[1].split(".SH ", 1)[0]
nella_sinossi = []
for m in re.finditer(r"^\.B genera_scenario ([a-z]+)$", sinossi, re.M):
    if m.group(1) not in nella_sinossi:
        nella_sinossi.append(m.group(1))
sezione = testo.split(".SH COMMANDS", 1)[1].split("\n.SH ", 1)[0] if ".SH COMMANDS" in testo else ""
descritti = re.findall(r"^\.TP\n\.B ([a-z]+)$", sezione, re.M)

errori = []
if not comandi:
    errori.append("no command found in genera_scenario --help")
if nella_sinossi != comandi:
    errori.append(f"SYNOPSIS names {nella_sinossi}, the program's table {comandi}")
if sorted(descritti) != sorted(comandi):
    errori.append(f"COMMANDS describes {descritti}, the program's table has {comandi}")
for e in errori:
    print(f"{pagina}: {e}")
sys.exit(1 if errori else 0)

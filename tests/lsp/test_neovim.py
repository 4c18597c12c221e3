#!/usr/bin/env python3
"""Neovim from Debian (0.7, headless) talks to `genera_scenario lsp` through its built-in
client (neovim.lua): a mistake typed after an accented name is shown by the editor under the
text of the field, with its code; a hover on it names the field and gives its explain entry;
and it goes when it is taken away. Skipped (77) without nvim;
scripts/setup.sh neovim installs it.

Usage: test_neovim.py GENERA_SCENARIO_EXE
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

programma = os.path.abspath(sys.argv[1])
nvim = shutil.which("nvim")
if nvim is None:
    print("nvim not found: skipped (scripts/setup.sh neovim installs it)")
    sys.exit(77)

with tempfile.TemporaryDirectory() as cartella:
    subprocess.run([programma, "new", cartella, "--line-name", "MIA", "--train-name", "D 1"],
                   check=True, capture_output=True)
    esito_file = os.path.join(cartella, "esito.json")
    ambiente = dict(os.environ, GS_PROGRAMMA=programma,
                    GS_TRENO=os.path.join(cartella, "MIA_D 1-.txt"), GS_ESITO=esito_file,
                    HOME=cartella, XDG_CONFIG_HOME=cartella, XDG_DATA_HOME=cartella,
                    XDG_STATE_HOME=cartella, XDG_CACHE_HOME=cartella)
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "neovim.lua")
    r = subprocess.run([nvim, "--headless", "--clean", "-n", "-c", "luafile " + script],
                       env=ambiente, capture_output=True, timeout=120, stdin=subprocess.DEVNULL)
    if not os.path.exists(esito_file):
        print(f"nvim wrote no result (status {r.returncode})\n{r.stdout!r}\n{r.stderr!r}")
        sys.exit(1)
    with open(esito_file, encoding="utf-8") as f:
        esito = json.load(f)

print(json.dumps(esito, ensure_ascii=False))
errori = []

# The guide gives the configuration this test uses.
qui = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(qui, "neovim.lua"), encoding="utf-8") as f:
    lua = f.read()
configurazione = lua[lua.index("local client_id"):lua.index("-- The test's steps.")].strip()
with open(os.path.join(qui, "..", "..", "docs", "authoring.md"), encoding="utf-8") as f:
    guida = f.read()
segno = "<!-- neovim configuration: tests/lsp/neovim.lua -->\n```text\n"
if segno not in guida:
    errori.append("the guide gives no Neovim configuration")
else:
    blocco = guida[guida.index(segno) + len(segno):]
    blocco = blocco[:blocco.index("```")].split("\n", 1)[1].strip()
    if blocco != configurazione:
        errori.append("the guide's Neovim configuration is not the one neovim.lua uses")
if esito.get("errore"):
    errori.append(esito["errore"])
else:
    if esito["diagnostiche"] != 1:
        errori.append(f"one diagnostic expected, the editor shows {esito['diagnostiche']}")
    if esito["riga"] != esito["attesa"]:
        errori.append(f"on line {esito['riga']}, not {esito['attesa']}")
    if esito["sotto"] != "3O0":
        errori.append(f"the diagnostic stands under {esito['sotto']!r}, not under '3O0'")
    if esito["codice"] != "E25" or esito["gravita"] != 1:
        errori.append(f"an error E25 expected: {esito['codice']} severity {esito['gravita']}")
    if esito["codifica"] != "cp1252":
        errori.append(f"the source was read as {esito['codifica']}, not as cp1252")
    hover = esito.get("hover") or ""
    if "**sabbia**: sand" not in hover or "### E25:" not in hover:
        errori.append(f"the hover on the mistake lacks its field or its explain entry: {hover!r}")
    if not esito["tolta"]:
        errori.append("the diagnostic stayed after the mistake was taken away")
for e in errori:
    print("FAIL: " + e)
sys.exit(1 if errori else 0)

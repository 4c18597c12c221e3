#!/usr/bin/env python3
"""`genera_scenario lsp` against messages and sources far past the ordinary, each of which once
ended the server or held it for minutes; each case then asks for more and is answered.

- A notification whose params nest 131,000 lists, before initialize: logged, and initialize is
  answered after it (it once overflowed the server's stack).
- A train source with 300,000 characters Windows-1252 lacks: 1,001 diagnostics published, the
  last saying how many more there are, with the server's peak memory under 300 MB (it once took
  1.4 GB); a hover is answered after. The sanitizer build, whose allocator keeps freed memory
  aside, skips the memory bound.
- 330,000 values too many on one line of a train source (and so a warning for each):
  its diagnostics come, and shutdown and exit end the server (every column was once counted
  from the line's start: about 15 minutes).

Usage: test_limiti.py GENERA_SCENARIO_EXE [--sanitizzato]
"""
import os
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # nothing left in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cliente_lsp import Cliente, cornice  # noqa: E402
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from verifiche import caso, controlla, concludi  # noqa: E402

PROGRAMMA = os.path.abspath(sys.argv[1])
SANITIZZATO = "--sanitizzato" in sys.argv[2:]
PICCO_MASSIMO_KB = 300 * 1024
SCADENZA = 120  # seconds, for each answer below; the sanitizer build is the slow one


def picco_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        for riga in f:
            if riga.startswith("VmHWM:"):
                return int(riga.split()[1])
    return 0


def profondo():
    c = Cliente(PROGRAMMA)
    c.invia_byte(cornice(b'{"jsonrpc": "2.0", "method": "x", "params": ' + b"[" * 131000 +
                         b"]" * 131000 + b"}"))
    m = c.prossimo(SCADENZA)
    controlla(m.get("method") == "window/logMessage" and "512" in m["params"]["message"],
             f"a message too deep is logged: {m}")
    r = c.richiesta("initialize", {"capabilities": {}}, timeout=SCADENZA)
    controlla("result" in r, f"initialize after a message too deep: {r}")
    controlla(c.chiudi(SCADENZA)[1] == 0, "shutdown and exit after a message too deep")


def molte_diagnostiche(cartella, treno):
    # Before the general section nothing is read but the characters: one diagnostic each.
    pupazzi = ("\u2603" * 1000 + "\r\n") * 300
    c = Cliente(PROGRAMMA, cartella)
    c.inizializza()
    u = c.apri(os.path.join(cartella, "MIA_D 1-.txt"), pupazzi + treno)
    d = c.diagnostiche(u, SCADENZA)["diagnostics"]
    picco = picco_kb(c.processo.pid)
    if SANITIZZATO:
        print(f"300,000 diagnostics: peak {picco} kB, not bounded in the sanitizer build")
    else:
        controlla(picco < PICCO_MASSIMO_KB,
                 f"300,000 diagnostics: the server's peak memory is {picco} kB")
    if controlla(len(d) == 1001, f"1001 diagnostics published, got {len(d)}"):
        controlla(all(x["code"] == "not-windows-1252" for x in d[:1000])
                 and d[999]["range"]["start"] == {"line": 0, "character": 999},
                 f"the first 1000, in the text's order: {d[999]}")
        ultima = d[-1]
        controlla(ultima["severity"] == 3 and ultima["code"] == "more-diagnostics"
                 and ultima["data"] == {"cause": "more-diagnostics"}
                 and ultima["message"].startswith("299000 more diagnostics in this source"),
                 f"the last says how many more: {ultima}")
    r = c.richiesta("textDocument/hover", {"textDocument": {"uri": u},
                                           "position": {"line": 0, "character": 5}},
                    timeout=SCADENZA)
    controlla("not a Windows-1252 character" in str(r.get("result")),
             f"hover after 300,000 diagnostics: {str(r)[:300]}")
    controlla(c.chiudi(SCADENZA)[1] == 0, "shutdown and exit after 300,000 diagnostics")


def riga_lunga(cartella, treno):
    inizio = treno.index("\r\n", treno.index("aderenza,")) + 2
    riga = "aderenza, 0, 90" + ", 1" * 330000 + "\r\n"
    c = Cliente(PROGRAMMA, cartella)
    c.inizializza()
    u = c.apri(os.path.join(cartella, "MIA_D 1-.txt"), treno[:inizio] + riga + treno[inizio:])
    d = c.diagnostiche(u, SCADENZA)["diagnostics"]
    controlla(len(d) == 1001 and d[-1]["message"].startswith("329001 more diagnostics"),
             f"330,000 values on one line: {len(d)} diagnostics, the last {d[-1:]}")
    controlla(c.chiudi(SCADENZA)[1] == 0, "shutdown and exit after a line of 330,000 values")


with tempfile.TemporaryDirectory() as cartella:
    subprocess.run([PROGRAMMA, "new", cartella, "--line-name", "MIA", "--train-name", "D 1"],
                   check=True, capture_output=True)
    with open(os.path.join(cartella, "MIA_D 1-.txt"), "rb") as f:
        treno = f.read().decode("cp1252")
    casi = [("a message nested 131,000 deep", profondo),
            ("300,000 characters Windows-1252 lacks", lambda: molte_diagnostiche(cartella, treno)),
            ("330,000 values on one line", lambda: riga_lunga(cartella, treno))]
    for nome, prova in casi:
        with caso(nome):
            prova()

concludi()

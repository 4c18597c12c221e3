#!/usr/bin/env python3
"""Formatting through `genera_scenario lsp`, over the built-in sources and every source example
of the authors' guide: the edits change only blanks, formatting the formatted text changes
nothing, and the formatted sources compile to the same bytes (and the same exit status) as the
originals.

Usage: test_formattazione.py GENERA_SCENARIO_EXE GUIDE_MD
"""
import filecmp
import os
import subprocess
import sys
import tempfile

QUI = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, QUI)
sys.path.insert(0, os.path.join(QUI, "..", "docs"))
from cliente_lsp import Cliente  # noqa: E402
sys.path.insert(0, os.path.join(QUI, "..", "support"))
from verifiche import controlla, concludi  # noqa: E402
import test_guida  # noqa: E402

PROGRAMMA = os.path.abspath(sys.argv[1])
GUIDA = sys.argv[2]


def applica(testo, modifiche):
    """The text with the edits made (the sources hold no character beyond U+FFFF, so a UTF-16
    column is a character's index)."""
    righe = testo.split("\n")
    inizi = [0]
    for r in righe:
        inizi.append(inizi[-1] + len(r) + 1)
    def offset(p):
        return inizi[p["line"]] + p["character"]
    for m in sorted(modifiche, key=lambda m: offset(m["range"]["start"]), reverse=True):
        a, b = offset(m["range"]["start"]), offset(m["range"]["end"])
        controlla(testo[a:b].strip(" ") == "" and m["newText"].strip(" ") == "",
                 f"an edit that is not blanks: {testo[a:b]!r} -> {m['newText']!r}")
        testo = testo[:a] + m["newText"] + testo[b:]
    return testo


def compila(cartella, linea, treno):
    """Writes the pair as Windows-1252 with CR LF and compiles it: the exit status and the
    files written."""
    os.makedirs(cartella, exist_ok=True)
    for nome, testo in (("G_linea.txt", linea), ("G_T-.txt", treno)):
        with open(os.path.join(cartella, nome), "wb") as f:
            f.write(testo.replace("\n", "\r\n").encode("cp1252"))
    uscita = os.path.join(cartella, "out")
    p = subprocess.run([PROGRAMMA, "compile", os.path.join(cartella, "G_linea.txt"),
                        os.path.join(cartella, "G_T-.txt"), "-o", uscita, "-q"],
                       capture_output=True, timeout=60)
    return p.returncode, sorted(os.listdir(uscita)) if os.path.isdir(uscita) else []


with tempfile.TemporaryDirectory() as lavoro:
    coppie = []
    incorporato = os.path.join(lavoro, "incorporato")
    subprocess.run([PROGRAMMA, "new", incorporato, "--built-in"], check=True, capture_output=True)
    testi = {}
    for nome in os.listdir(incorporato):
        with open(os.path.join(incorporato, nome), "rb") as f:
            testi["linea" if nome.endswith("_linea.txt") else "treno"] = \
                f.read().decode("cp1252").replace("\r\n", "\n")
    coppie.append(("the built-in sources", testi["linea"], testi["treno"]))
    base_linea, base_treno = test_guida.scenario_from_new(PROGRAMMA, lavoro)
    with open(GUIDA, encoding="utf-8") as f:
        blocchi, _ = test_guida.read_blocks(f.read().split("\n"))
    for esempio in test_guida.group_examples(blocchi):
        sorgenti, problema = test_guida.sources_of(esempio, base_linea, base_treno, base_linea)
        if sorgenti is not None:
            coppie.append((f"{GUIDA}:{esempio[0].line}", sorgenti[0], sorgenti[1]))
    controlla(len(coppie) > 50, f"only {len(coppie)} pairs of sources found")

    formattati = 0
    c = Cliente(PROGRAMMA, lavoro)
    c.inizializza()
    for n, (dove, linea, treno) in enumerate(coppie):
        cartella = os.path.join(lavoro, str(n))
        dopo = []
        for nome, testo in (("G_linea.txt", linea), ("G_T-.txt", treno)):
            u = c.apri(os.path.join(cartella, "prima", nome), testo)
            m = c.richiesta("textDocument/formatting", {"textDocument": {"uri": u},
                                                        "options": {"tabSize": 4, "insertSpaces": True}})
            formattato = applica(testo, m["result"])
            formattati += formattato != testo
            c.cambia(u, 2, [{"text": formattato}])
            m = c.richiesta("textDocument/formatting", {"textDocument": {"uri": u},
                                                        "options": {"tabSize": 4, "insertSpaces": True}})
            controlla(m["result"] == [], f"{dove}: {nome} formatted twice changes again: {m['result'][:3]}")
            c.notifica("textDocument/didClose", {"textDocument": {"uri": u}})
            dopo.append(formattato)
        stato_prima, file_prima = compila(os.path.join(cartella, "prima"), linea, treno)
        stato_dopo, file_dopo = compila(os.path.join(cartella, "dopo"), dopo[0], dopo[1])
        controlla(stato_prima == stato_dopo and file_prima == file_dopo,
                 f"{dove}: exit {stato_prima} {file_prima} before formatting, {stato_dopo} {file_dopo} after")
        for nome in file_prima:
            if nome in file_dopo:
                controlla(filecmp.cmp(os.path.join(cartella, "prima", "out", nome),
                                     os.path.join(cartella, "dopo", "out", nome), shallow=False),
                         f"{dove}: {nome} differs once the sources are formatted")
        if n == 0:
            controlla(dopo != [linea, treno], "formatting changes nothing in the built-in sources")
    c.chiudi()
    print(f"{len(coppie)} pairs of sources, {formattati} sources changed by formatting")

concludi()

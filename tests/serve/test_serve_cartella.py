#!/usr/bin/env python3
"""serve goes on watching when the sources' folder is deleted and made again.

Usage: test_serve_cartella.py PROGRAM

serve is started on two sources in a folder, which is then deleted as a checkout or an unpacked
archive does: the page says it is waiting for the folder, and stays so. The folder is made again
with the sources: a compile without errors follows. A source saved afterwards in the new folder
is compiled too, so the folder now there is the one watched. The folder is then swapped in one
step with another holding the sources (renameat2's exchange), so that serve learns of the old
one's going only once the new one is there: once serve has compiled what is there, a save in it
is compiled too.
"""
import ctypes
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # nothing left in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from aiuto_serve import LIMITE, Eventi, controlla, esito, testi  # noqa: E402

PROGRAMMA = sys.argv[1]
AT_FDCWD, RENAME_EXCHANGE = -100, 2  # from <fcntl.h> and <linux/fs.h>


def scambia(a, b):
    """Swaps the folders `a` and `b` in one step."""
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.renameat2(AT_FDCWD, os.fsencode(a), AT_FDCWD, os.fsencode(b), RENAME_EXCHANGE) != 0:
        errore = ctypes.get_errno()
        raise OSError(errore, os.strerror(errore), a)


def ignoti(evento):
    """How many unknown records the compile warned of."""
    return sum("[unknown-record]" in t for t in testi(evento))


def senza_errori(evento):
    return evento["ok"] and all(d["severity"] != "error" for d in evento["diagnostics"])


with tempfile.TemporaryDirectory() as radice:
    cartella = os.path.join(radice, "sorgenti")
    subprocess.run([PROGRAMMA, "new", cartella, "--line-name", "L", "--train-name", "T"],
                   check=True, stdout=subprocess.DEVNULL)
    copia = os.path.join(radice, "copia")
    shutil.copytree(cartella, copia)
    linea = os.path.join(cartella, "L_linea.txt")
    treno = os.path.join(cartella, "L_T-.txt")
    p = subprocess.Popen([PROGRAMMA, "serve", linea, treno, "--port", "0"],
                         stdout=subprocess.PIPE, stdin=subprocess.DEVNULL)
    flusso = None
    try:
        pronto, _, _ = select.select([p.stdout], [], [], LIMITE)
        riga = p.stdout.readline().decode() if pronto else ""
        if not riga.startswith("serving http://127.0.0.1:"):
            controlla(False, f"serve's first line: {riga!r}")
            sys.exit(1)
        indirizzo = riga.split()[1]
        flusso = Eventi(indirizzo)
        flusso.finche(senza_errori, "the first compile")

        # Gone, as `git checkout` or an archive tool's own cleaning leaves it for a while.
        shutil.rmtree(cartella)
        attesa = f"error: the folder {cartella} of L_linea.txt is gone: waiting for it to come back"
        visto = flusso.finche(lambda e: attesa in testi(e), "the page waiting for the folder")
        # A page opened now is shown the latest compile: still the wait.
        nuovo = Eventi(indirizzo)
        ultimo = nuovo.finche(lambda e: True, "the latest event")
        nuovo.chiudi()
        controlla(ultimo is not None and visto is not None and testi(ultimo) == testi(visto),
                  f"the latest event is not the wait: {ultimo}")

        # Made again with the sources: compiled at once, without errors.
        shutil.copytree(copia, cartella)
        flusso.finche(senza_errori, "a compile without errors once the folder is back")

        # Later saves are seen in the new folder.
        with open(treno, "a", encoding="ascii") as f:
            f.write("pippo, 1\n")
        flusso.finche(lambda e: ignoti(e) == 1, "a save in the new folder")

        # Replaced before serve can look: the compile of what is there, with none of the record
        # added above, then a save of two such records.
        altra = os.path.join(radice, "altra")
        shutil.copytree(copia, altra)
        scambia(altra, cartella)
        flusso.finche(lambda e: senza_errori(e) and ignoti(e) == 0,
                      "a compile of the folder swapped for another")
        with open(treno, "a", encoding="ascii") as f:
            f.write("pippo, 1\npippo, 2\n")
        flusso.finche(lambda e: ignoti(e) == 2, "a save in the folder swapped in")

        p.send_signal(signal.SIGINT)
        try:
            p.wait(timeout=LIMITE)
        except subprocess.TimeoutExpired:
            pass
        controlla(p.returncode == 0, f"serve ended with {p.returncode} after Ctrl-C")
    finally:
        if flusso is not None:
            flusso.chiudi()
        if p.poll() is None:
            p.kill()
            p.wait()

sys.exit(esito())

#!/usr/bin/env python3
"""Outputs are written as toolchains write them, and a lost standard output is a failure.

Usage: test_uscite.py PROGRAM

- An output path that is there and is not a regular file is written through, never replaced: a
  FIFO receives the stream (and with no reader it is an error at once, not a wait), a device
  node made here (the null device) stays the node it was.
- A symbolic link is followed: its target is replaced and the link stays a link.
- An output that is one of the command's own inputs is refused with exit status 2.
- Every command that writes standard output exits 2 with "cannot write the output" when its
  output goes to a device that is always full, made here.
The device nodes are made in a temporary folder; without the permission to make them (not
root), those cases are skipped.
"""
import os
import stat
import subprocess
import sys
import tempfile
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from verifiche import caso, controlla, concludi  # noqa: E402

PROGRAMMA = sys.argv[1]
LIMITE = 60  # seconds for any one run, with room for a loaded machine


def esegui(argomenti, stdout=subprocess.PIPE):
    try:
        p = subprocess.run([PROGRAMMA, *argomenti], stdout=stdout, stderr=subprocess.PIPE,
                           stdin=subprocess.DEVNULL, timeout=LIMITE)
    except subprocess.TimeoutExpired:
        return None, "", "still running after %d s" % LIMITE
    uscita = p.stdout.decode("utf-8", "replace") if p.stdout is not None else ""
    return p.returncode, uscita, p.stderr.decode("utf-8", "replace")


def nodo(percorso, minore):
    """A character device of the memory driver (3: null, 7: full); False without permission."""
    try:
        os.mknod(percorso, 0o666 | stat.S_IFCHR, os.makedev(1, minore))
        return True
    except PermissionError:
        return False


def leggi(p):
    with open(p, "rb") as f:
        return f.read()


with tempfile.TemporaryDirectory() as radice:
    sorgenti = os.path.join(radice, "sorgenti")
    subprocess.run([PROGRAMMA, "new", sorgenti, "--line-name", "L", "--train-name", "T"],
                   check=True, stdout=subprocess.DEVNULL)
    linea = os.path.join(sorgenti, "L_linea.txt")
    treno = os.path.join(sorgenti, "L_T-.txt")
    compilati = os.path.join(radice, "compilati")
    subprocess.run([PROGRAMMA, "compile", linea, treno, "-o", compilati, "-q"], check=True)
    tabella = os.path.join(compilati, "L_T.sim")
    svg_atteso = None
    stato, _, errore = esegui(["plot", compilati, "-o", os.path.join(radice, "atteso.svg")])
    controlla(stato == 0, f"plot to a new file: {stato} {errore!r}")
    svg_atteso = leggi(os.path.join(radice, "atteso.svg"))

    # A FIFO with a reader receives the whole drawing; the FIFO is still a FIFO.
    fifo = os.path.join(radice, "disegno.fifo")
    os.mkfifo(fifo)
    ricevuto = []

    def lettore():
        with open(fifo, "rb") as f:
            ricevuto.append(f.read())

    t = threading.Thread(target=lettore, daemon=True)
    t.start()
    # Until the reader waits in open(), the program finds no one there: it is asked again.
    for _ in range(2000):
        stato, _, errore = esegui(["plot", compilati, "-o", fifo])
        if stato != 2 or "no process is reading" not in errore:
            break
    t.join(LIMITE)
    controlla(stato == 0, f"plot to a FIFO with a reader: {stato} {errore!r}")
    controlla(ricevuto == [svg_atteso], "plot to a FIFO: the reader did not get the drawing")
    controlla(stat.S_ISFIFO(os.lstat(fifo).st_mode), "plot replaced the FIFO")

    # With no reader: an error at once that says so, not a wait for one.
    stato, _, errore = esegui(["plot", compilati, "-o", fifo])
    controlla(stato == 2 and fifo in errore and "no process is reading" in errore,
              f"plot to a FIFO without a reader: {stato} {errore!r}")
    controlla(stat.S_ISFIFO(os.lstat(fifo).st_mode), "plot replaced the FIFO with no reader")
    controlla(not [n for n in os.listdir(radice) if ".tmp-" in n], "a temporary file was left")

    # A symbolic link, through another: the last target is replaced, the links stay links.
    bersagli = os.path.join(radice, "bersagli")
    os.mkdir(bersagli)
    with open(os.path.join(bersagli, "vero.svg"), "wb") as f:
        f.write(b"old")
    os.symlink(os.path.join("bersagli", "vero.svg"), os.path.join(radice, "primo.svg"))
    os.symlink("primo.svg", os.path.join(radice, "link.svg"))
    stato, _, errore = esegui(["plot", compilati, "-o", os.path.join(radice, "link.svg")])
    controlla(stato == 0, f"plot to a link: {stato} {errore!r}")
    controlla(os.path.islink(os.path.join(radice, "link.svg")) and
              os.path.islink(os.path.join(radice, "primo.svg")), "plot replaced a link")
    controlla(leggi(os.path.join(bersagli, "vero.svg")) == svg_atteso,
              "plot did not write the link's target")
    controlla(sorted(os.listdir(bersagli)) == ["vero.svg"], "a temporary file was left")

    # compile into a folder whose table is a link elsewhere: the same.
    altrove = os.path.join(radice, "altrove")
    os.mkdir(altrove)
    uscita = os.path.join(radice, "uscita")
    os.mkdir(uscita)
    os.symlink(os.path.join(altrove, "T.sim"), os.path.join(uscita, "L_T.sim"))
    stato, _, errore = esegui(["compile", linea, treno, "-o", uscita, "-q"])
    controlla(stato == 0, f"compile to a link: {stato} {errore!r}")
    controlla(os.path.islink(os.path.join(uscita, "L_T.sim")), "compile replaced a link")
    controlla(leggi(os.path.join(altrove, "T.sim")) == leggi(tabella),
              "compile did not write the link's target")

    # The command's own input as its output: refused, the input untouched.
    prima = leggi(tabella)
    for nome in ["L_T.sim", "L_T.dat", "L_linea.dat"]:
        stato, _, errore = esegui(["plot", compilati, "-o", os.path.join(compilati, nome)])
        controlla(stato == 2 and "would replace the input" in errore,
                  f"plot -o its own input {nome}: {stato} {errore!r}")
    controlla(leggi(tabella) == prima, "plot overwrote its input")

    # A device node: written through, still the same node after.
    nulla = os.path.join(radice, "nulla")
    if nodo(nulla, 3):
        for argomenti in (["plot", compilati, "-o", nulla],):
            stato, _, errore = esegui(argomenti)
            controlla(stato == 0, f"{argomenti[0]} to a device: {stato} {errore!r}")
            s = os.lstat(nulla)
            controlla(stat.S_ISCHR(s.st_mode) and s.st_rdev == os.makedev(1, 3),
                      f"{argomenti[0]} replaced the device node")
        # One in place of a compiled file.
        os.unlink(os.path.join(uscita, "L_T.sim"))
        os.mknod(os.path.join(uscita, "L_T.sim"), 0o666 | stat.S_IFCHR, os.makedev(1, 3))
        stato, _, errore = esegui(["compile", linea, treno, "-o", uscita, "-q"])
        controlla(stato == 0, f"compile to a device: {stato} {errore!r}")
        controlla(stat.S_ISCHR(os.lstat(os.path.join(uscita, "L_T.sim")).st_mode),
                  "compile replaced the device node")
    else:
        print("SKIP: no permission to make a device node", flush=True)

    # Standard output to a device that is always full.
    pieno = os.path.join(radice, "pieno")
    if nodo(pieno, 7):
        comandi = [
            ["check", linea, treno],
            ["check", linea, treno, "--diagnostics-format=json"],
            ["explain", "16"],
            ["explain", "--all"],
            ["explain", "--list"],
            ["inspect", tabella],
            ["inspect", tabella, "--json"],
            ["--help"],
            ["compile", "--help"],
            ["compile", linea, treno, "-o", os.path.join(radice, "pieni")],
            ["compile", linea, treno, "-o", os.path.join(radice, "pieni"),
             "--diagnostics-format=json"],
            ["plot", compilati, "-o", os.path.join(radice, "pieno.svg")],
            ["new", os.path.join(radice, "nuovo"), "--line-name", "L", "--train-name", "T"],
        ]
        for argomenti in comandi:
            with open(pieno, "wb") as f:
                stato, _, errore = esegui(argomenti, stdout=f)
            opzioni = [a for a in argomenti[1:] if a.startswith("-") or a.isdigit()]
            with caso(f"{' '.join(argomenti[:1] + opzioni)} to a full device"):
                controlla(stato == 2 and
                          "error: cannot write the output: No space left on device" in errore,
                          f"{stato} {errore!r}")
    else:
        print("SKIP: no permission to make a device node", flush=True)

concludi()

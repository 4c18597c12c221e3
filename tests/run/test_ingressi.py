#!/usr/bin/env python3
"""Every command refuses an input that is not a regular file, or is too large, at once.

Usage: test_ingressi.py PROGRAM

Each command that reads a file (compile, check, inspect, plot, serve) is handed a FIFO with no
writer, a folder, a link to /dev/zero, a device node made here (when the test may make one) and
a file one byte over 64 MiB in place of one of its inputs: it ends within seconds with exit
status 2 and a message naming the file and why, and never opens it (opening a device can have
effects of its own): the system's own record of what is opened in the folder is asked. serve
started on good sources that are then replaced by a FIFO keeps serving, shows the error, and
still stops on Ctrl-C.
"""
import ctypes
import json
import os
import stat
import struct
import signal
import subprocess
import sys
import tempfile
import time
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from verifiche import caso, controlla, concludi  # noqa: E402

PROGRAMMA = sys.argv[1]
MASSIMO = 64 << 20
LIMITE = 20  # seconds: "at once", with room for a loaded machine


class Aperture:
    """The names in a folder that are opened while it lives (inotify's IN_OPEN)."""
    IN_OPEN = 0x20

    def __init__(self, cartella):
        self.libc = ctypes.CDLL(None, use_errno=True)
        self.fd = self.libc.inotify_init1(os.O_NONBLOCK | os.O_CLOEXEC)
        if self.fd < 0 or self.libc.inotify_add_watch(self.fd, os.fsencode(cartella),
                                                       self.IN_OPEN) < 0:
            raise OSError(ctypes.get_errno(), "inotify")

    def nomi(self):
        visti = set()
        try:
            while True:
                dati = os.read(self.fd, 65536)
                i = 0
                while i + 16 <= len(dati):
                    _, _, _, lunghezza = struct.unpack_from("iIII", dati, i)
                    visti.add(dati[i + 16:i + 16 + lunghezza].rstrip(b"\0").decode())
                    i += 16 + lunghezza
        except BlockingIOError:
            pass
        os.close(self.fd)
        return visti


def esegui(argomenti, cartella):
    try:
        p = subprocess.run([PROGRAMMA, *argomenti], cwd=cartella, capture_output=True,
                           timeout=LIMITE, stdin=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        return None, "still running after %d s" % LIMITE
    return p.returncode, p.stderr.decode("utf-8", "replace")


with tempfile.TemporaryDirectory() as radice:
    subprocess.run([PROGRAMMA, "new", os.path.join(radice, "buoni"), "--built-in"], check=True,
                   stdout=subprocess.DEVNULL)
    buoni = os.path.join(radice, "buoni")
    linea = next(os.path.join(buoni, n) for n in os.listdir(buoni) if n.endswith("_linea.txt"))
    treno = next(os.path.join(buoni, n) for n in os.listdir(buoni) if n.endswith("-.txt"))
    compilati = os.path.join(radice, "compilati")
    subprocess.run([PROGRAMMA, "compile", linea, treno, "-o", compilati, "-q",
                    "--line-name", "L", "--train-name", "T"], check=True)

    # The bad inputs, each with the words its message must hold.
    def fifo(p):
        os.mkfifo(p)

    def cartella(p):
        os.mkdir(p)

    def zero(p):
        os.symlink("/dev/zero", p)

    def enorme(p):
        with open(p, "wb") as f:
            f.truncate(MASSIMO + 1)  # sparse: no disk is spent on it

    def dispositivo(p):
        os.mknod(p, 0o666 | stat.S_IFCHR, os.makedev(1, 5))  # the zero device, made here

    cattivi = [("a FIFO", fifo, "is not a regular file"),
               ("a folder", cartella, "Is a directory"),
               ("a link to /dev/zero", zero, "is not a regular file"),
               ("a file over 64 MiB", enorme, "larger than 64 MiB")]
    try:
        dispositivo(os.path.join(radice, "prova"))
        os.unlink(os.path.join(radice, "prova"))
        cattivi.append(("a device node", dispositivo, "is not a regular file"))
    except PermissionError:
        print("SKIP: no permission to make a device node", flush=True)

    for cosa, fai, parole in cattivi:
        for comando in ["compile line", "compile train", "check", "inspect", "plot", "serve"]:
            nome_caso = f"{comando} given {cosa}"
            dove = tempfile.mkdtemp(dir=radice)
            if comando == "inspect":
                cattivo = os.path.join(dove, "L_T.sim")
            elif comando == "plot":
                for n in os.listdir(compilati):
                    if n != "L_T.sim":
                        os.link(os.path.join(compilati, n), os.path.join(dove, n))
                cattivo = os.path.join(dove, "L_T.sim")
            else:
                cattivo = os.path.join(dove, "L_linea.txt" if comando != "compile train"
                                       else "L_T-.txt")
            fai(cattivo)
            aperture = Aperture(dove)
            argomenti = {
                "compile line": ["compile", cattivo, treno, "-o", dove, "--train-name", "T"],
                "compile train": ["compile", linea, cattivo, "-o", dove,
                                  "--line-name", "L", "--train-name", "T"],
                "check": ["check", cattivo, treno, "--train-name", "T"],
                "inspect": ["inspect", cattivo],
                "plot": ["plot", dove, "--line-name", "L", "--train-name", "T"],
                "serve": ["serve", cattivo, treno, "--port", "0", "--train-name", "T"],
            }[comando]
            inizio = time.monotonic()
            stato, errore = esegui(argomenti, dove)
            durata = time.monotonic() - inizio
            with caso(nome_caso):
                controlla(stato == 2, f"exit status {stato}, {errore!r}")
                controlla(cattivo in errore and parole in errore,
                          f"the message names neither the file nor why: {errore!r}")
                controlla("Traceback" not in errore and "terminate" not in errore, errore)
                controlla(os.path.basename(cattivo) not in aperture.nomi(),
                          "the program opened it before refusing it")
            print(f"{nome_caso}: exit {stato} in {durata:.2f} s", flush=True)

    # serve on good sources, one of them then replaced by a FIFO: the page tells it, and Ctrl-C
    # still ends the server.
    dove = tempfile.mkdtemp(dir=radice)
    mia_linea = os.path.join(dove, "L_linea.txt")
    with open(linea, "rb") as f, open(mia_linea, "wb") as g:
        g.write(f.read())
    p = subprocess.Popen([PROGRAMMA, "serve", mia_linea, treno, "--port", "0",
                          "--train-name", "T"], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                         stdin=subprocess.DEVNULL)
    try:
        riga = p.stdout.readline().decode()
        controlla(riga.startswith("serving http://127.0.0.1:"), riga)
        indirizzo = riga.split()[1]
        os.unlink(mia_linea)
        os.mkfifo(mia_linea)
        visto = ""
        fine = time.monotonic() + LIMITE
        # The event stream's first message is the latest compile: wait for the FIFO's.
        while "is not a regular file" not in visto and time.monotonic() < fine:
            richiesta = urllib.request.Request(indirizzo + "eventi",
                                               headers={"Host": indirizzo[7:-1]})
            with urllib.request.urlopen(richiesta, timeout=LIMITE) as r:
                for riga in r:
                    if riga.startswith(b"data:"):
                        visto = json.dumps(json.loads(riga[5:]))
                        break
            time.sleep(0.05)
        controlla("is not a regular file" in visto, f"serve's page after a FIFO: {visto}")
        p.send_signal(signal.SIGINT)
        try:
            p.wait(timeout=LIMITE)
        except subprocess.TimeoutExpired:
            pass
        controlla(p.returncode == 0, f"serve on a FIFO ended with {p.returncode} after Ctrl-C")
    finally:
        if p.poll() is None:
            p.kill()
            p.wait()

concludi()

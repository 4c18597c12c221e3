#!/usr/bin/env python3
"""Runs that are interrupted, or that run at the same time, never leave a trace.

Usage: test_interruzioni.py PROGRAM SCRIVI_SINTETICO

- Compiles of the 1000000 m line killed at random moments (SIGKILL, SIGTERM, SIGINT) leave no
  temporary file after Ctrl-C or SIGTERM, and never a half-written output; the next run removes
  whatever a killed one left, and its outputs are those of a clean compile.
- A run that finds the output folder held by another waits for it, and says so.
- Two runs writing the same scenario into one folder at once leave the files of one of them.
"""
import fcntl
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from verifiche import controlla, concludi  # noqa: E402

PROGRAMMA, SINTETICO = sys.argv[1], sys.argv[2]
NOMI = ["--line-name", "L", "--train-name", "T"]
USCITE = ["L_linea.dat", "L_T.sim", "L_T.dat"]


def compila(sorgenti, cartella, **kw):
    return subprocess.Popen([PROGRAMMA, "compile", *sorgenti, "-o", cartella, "-q", *NOMI],
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, **kw)


def contenuti(cartella):
    return {nome: open(os.path.join(cartella, nome), "rb").read()
            for nome in sorted(os.listdir(cartella))}


def temporanei(cartella):
    return [n for n in os.listdir(cartella) if ".tmp-" in n]


def riferimento(sorgenti, cartella):
    os.mkdir(cartella)
    p = compila(sorgenti, cartella)
    _, errore = p.communicate()
    assert p.returncode == 0, errore.decode()
    return contenuti(cartella)


with tempfile.TemporaryDirectory() as radice:
    grande = [os.path.join(radice, "grande_linea.txt"), os.path.join(radice, "grande_T-.txt")]
    subprocess.run([SINTETICO, *grande], check=True)
    piccolo_dir = os.path.join(radice, "piccolo")
    subprocess.run([PROGRAMMA, "new", piccolo_dir, "--built-in"], check=True,
                   stdout=subprocess.DEVNULL)
    piccolo = sorted(os.path.join(piccolo_dir, n) for n in os.listdir(piccolo_dir))
    piccolo = [p for p in piccolo if p.endswith("_linea.txt")] + \
              [p for p in piccolo if not p.endswith("_linea.txt")]

    rif_grande = riferimento(grande, os.path.join(radice, "rif_grande"))
    # The shortest of a few compiles, so that a busy machine still sees most runs killed
    # halfway.
    durate = []
    for i in range(3):
        inizio = time.monotonic()
        riferimento(grande, os.path.join(radice, f"misura{i}"))
        durate.append(time.monotonic() - inizio)
    durata = min(durate)
    print(f"a compile of the large line takes {durata * 1000:.0f} ms", flush=True)
    rif_piccolo = riferimento(piccolo, os.path.join(radice, "rif_piccolo"))
    controlla(rif_grande != rif_piccolo, "the two scenarios differ")

    # Killed at random moments, through the whole run: reading, compiling and writing.
    out = os.path.join(radice, "out")
    os.mkdir(out)
    caso = random.Random(os.environ.get("GS_SEME", "12"))
    segnali = [signal.SIGKILL, signal.SIGTERM, signal.SIGINT]
    # Signals until 18 runs were killed while still running: a run that ended first (a busy
    # machine's compiles vary) makes the next wait shorter, so a loaded machine still kills
    # runs halfway.
    uccisi, tentativi, limite = 0, 0, durata
    while uccisi < 18 and tentativi < 100:
        segnale = segnali[tentativi % 3]
        tentativi += 1
        # A run killed with SIGKILL between naming a file and moving it leaves its temporary
        # file for the next run that writes the same file: only new ones count against a run.
        prima = set(temporanei(out))
        p = compila(grande, out)
        time.sleep(caso.uniform(0, limite))
        p.send_signal(segnale)
        p.communicate()
        if p.returncode == -segnale:
            uccisi += 1
        else:
            limite /= 2
        resti = sorted(set(temporanei(out)) - prima)
        if segnale != signal.SIGKILL:
            controlla(resti == [], f"{segnale.name} left {resti}")
        # Every output there is whole: the one a clean compile writes.
        for nome, dati in contenuti(out).items():
            if ".tmp-" not in nome:
                controlla(dati == rif_grande[nome], f"{nome} half written after {segnale.name}")
    print(f"{uccisi} of {tentativi} runs were killed before they ended", flush=True)
    controlla(uccisi == 18, f"only {uccisi} of {tentativi} runs were still running when signalled")
    # What a killed run left (kill -9 between naming a file and renaming it), as a power cut
    # would: the next run writing the same files removes it.
    for nome in USCITE:
        open(os.path.join(out, nome + ".tmp-Ab3dE9"), "wb").write(b"left by a dead run")
    p = compila(piccolo, out)
    _, errore = p.communicate()
    controlla(p.returncode == 0, f"exit {p.returncode}: {errore.decode()}")
    controlla(temporanei(out) == [], f"the last run left {temporanei(out)}")
    controlla(contenuti(out) == rif_piccolo, "the outputs are those of the last run")

    # A folder held by another run: this one waits, says why, and writes once it is let go.
    shutil.rmtree(out)
    os.mkdir(out)
    cartella = os.open(out, os.O_RDONLY)
    fcntl.flock(cartella, fcntl.LOCK_EX)
    p = compila(piccolo, out)
    # The note is the sign that it has found the folder held and waits; a slow start (a
    # sanitizer build on a busy machine) only makes it later.
    nota = "genera_scenario: note: waiting for another run to finish " f"writing into {out}\n"
    prima = p.stderr.readline().decode()
    controlla(prima == nota, f"the waiting run said {prima!r}")
    controlla(p.poll() is None, "a run waits while another holds the folder")
    controlla(os.listdir(out) == [], "nothing is written while it waits")
    os.close(cartella)
    _, errore = p.communicate(timeout=60)
    controlla(p.returncode == 0, f"exit {p.returncode}: {errore.decode()}")
    controlla(errore.decode() == "", f"after its note the waiting run said {errore.decode()!r}")
    controlla(contenuti(out) == rif_piccolo, "written once the folder is let go")

    # Two runs at once, one slow to write and one quick: all three files are one run's.
    for prova in range(10):
        shutil.rmtree(out)
        os.mkdir(out)
        lenta = compila(grande, out)
        time.sleep(caso.uniform(0, durata))
        veloce = compila(piccolo, out)
        for q in (lenta, veloce):
            _, errore = q.communicate(timeout=120)
            controlla(q.returncode == 0, f"exit {q.returncode}: {errore.decode()}")
        finale = contenuti(out)
        controlla(finale in (rif_grande, rif_piccolo),
                  "two runs at once mixed their files: " +
                  ", ".join(n for n in USCITE if finale.get(n) == rif_grande.get(n)) +
                  " from the large line")

concludi()

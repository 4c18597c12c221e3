#!/usr/bin/env python3
"""serve's page, terminal and stop do not depend on writing -o's files, and the writing never
touches a source.

Usage: test_serve_scrittura.py PROGRAM

- An output folder held by another process (flock): the compile reaches the page while it is
  held, and Ctrl-C ends serve with 0 within seconds, writing nothing.
- Saves while the output folder is held: each is compiled, on the page and the terminal, with
  a note of its waiting write; once the folder is let go, the files written are the latest
  save's, byte for byte as compile writes them, and no older write lands after it.
- A write that fails (a folder where an output goes): the page gets an error naming the file
  and "ok": false, and the terminal says "1 error".
- An output folder that is a link turned, while serving, to the sources' folder, where the train
  source has an output's name: the write is refused, the source is unchanged, the page says why.
- A restart on the same port right after a stop with a keep-alive connection and an event
  stream open: the new serve gets the port.
- A standard output whose reader has gone: serve keeps compiling and serving, and Ctrl-C ends
  it with 0.
- One terminal line per compile, with its counts, and the page's first error below it.
"""
import contextlib
import fcntl
import http.client
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # nothing left in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from aiuto_serve import (Eventi, Serve, attendi, caso, controlla, errori, esito,  # noqa: E402
                         nuovo_scenario, sorgente_salvata, testi)

PROGRAMMA = sys.argv[1]
FERMATA = 10  # seconds from Ctrl-C to the end: serve promises about one, a loaded machine more


def scritti(evento):
    return [t for t in testi(evento) if t.startswith("wrote ")]


def ferma_con_ctrl_c(s, caso):
    inizio = time.monotonic()
    stato = s.ferma(signal.SIGINT)
    durata = time.monotonic() - inizio
    controlla(stato == 0, f"{caso}: serve ended with {stato} after Ctrl-C")
    controlla(durata < FERMATA, f"{caso}: serve took {durata:.1f} s to stop")
    return durata


@contextlib.contextmanager
def serve_in_cartella_bloccata(sorgenti, uscita, errore):
    """serve -o into `uscita`, which this test holds locked as another run would (the lock's
    descriptor is given, to let it go), its standard error into `errore`: the serve, or None
    when it did not start; the lock goes with the block."""
    blocco = os.open(uscita, os.O_RDONLY)
    fcntl.flock(blocco, fcntl.LOCK_EX)
    try:
        with open(errore, "wb") as err, Serve(PROGRAMMA, sorgenti, "-o", uscita, stderr=err) as s:
            avviato = controlla(s.indirizzo, f"serve's first line {s.prima_riga!r}")
            yield (s if avviato else None), blocco
    finally:
        os.close(blocco)


def cartella_bloccata(radice):
    sorgenti = nuovo_scenario(PROGRAMMA, os.path.join(radice, "bloccata"))
    uscita = os.path.join(radice, "bloccata_out")
    os.mkdir(uscita)
    errore = os.path.join(radice, "bloccata.err")
    with serve_in_cartella_bloccata(sorgenti, uscita, errore) as (s, _):
        if s is not None:
            flusso = Eventi(s.indirizzo)
            controlla(flusso.finche(lambda e: e["version"] == 1 and e["ok"],
                                    "the page while the output folder is held") is not None,
                      "the page waited for the folder")
            flusso.chiudi()
            # The write has begun and waits for the folder: Ctrl-C now.
            controlla(attendi(lambda: b"waiting for another run" in open(errore, "rb").read()),
                      f"no word of the wait: {open(errore, 'rb').read()!r}")
            durata = ferma_con_ctrl_c(s, "a held folder")
            controlla(os.listdir(uscita) == [], f"written while held: {os.listdir(uscita)}")
            print(f"a held folder: stopped in {durata:.2f} s", flush=True)


def salvataggi_mentre_bloccata(radice):
    sorgenti = nuovo_scenario(PROGRAMMA, os.path.join(radice, "salvataggi"))
    with open(sorgenti[1], "rb") as f:
        treno = f.read()
    # The second speed limit of each save: each compiles to a grid of its own.
    limite = b"velocita,    5700,    60"
    controlla(limite in treno, "the small scenario has no limit of 60 at 5700 m")
    salvati = [treno.replace(limite, b"velocita,    5700,    %d" % v) for v in (60, 50, 55, 65)]
    ultima = len(salvati)
    uscita = os.path.join(radice, "salvataggi_out")
    os.mkdir(uscita)
    errore = os.path.join(radice, "salvataggi.err")

    def note():
        with open(errore, "rb") as f:
            return f.read().count(b"waiting for another run")

    with serve_in_cartella_bloccata(sorgenti, uscita, errore) as (s, blocco):
        if s is None:
            return
        flusso = Eventi(s.indirizzo)
        for versione, testo in enumerate(salvati, 1):
            if versione > 1:
                sorgente_salvata(sorgenti[1], testo)
            if flusso.finche(lambda e: e["version"] == versione and e["ok"],
                             f"compile {versione} on the page, the folder held") is None:
                return
            # Told as its write begins to wait: the next save comes while it waits.
            riga = s.terminale.riga()
            if not controlla(riga is not None and
                             re.fullmatch(rf"compile {versione}: no errors \(\d+ ms\)", riga),
                             f"compile {versione}, the folder held: the terminal says {riga!r}"):
                return
        controlla(attendi(lambda: note() == ultima),
                  f"{note()} notes of a waiting write, not one for each of {ultima} saves")
        controlla(os.listdir(uscita) == [], f"written while held: {os.listdir(uscita)}")

        fcntl.flock(blocco, fcntl.LOCK_UN)
        riga = s.terminale.riga()
        controlla(riga is not None and re.fullmatch(
            rf"compile {ultima}: files written after waiting \d+ ms for the folder", riga),
            f"the terminal once the folder is let go: {riga!r}")
        controlla(flusso.finche(lambda e: e["version"] == ultima and scritti(e) != [],
                                "the latest compile's files on the page") is not None,
                  "the page was not told of the files written")
        flusso.chiudi()
        ferma_con_ctrl_c(s, "saves while the folder was held")
        # Nothing after the latest write: no older one, no second note.
        resto = []
        while (r := s.terminale.riga()) is not None:
            resto.append(r)
        controlla(resto == ["stopped"], f"the terminal after the latest write: {resto}")
        controlla(note() == ultima, f"{note()} notes of a waiting write after the last")

    # The files are those of the latest save, as compile writes them, and not the first's.
    def compilati(treno_salvato, nome):
        cartella = os.path.join(radice, nome)
        linea, treno_qui = nuovo_scenario(PROGRAMMA, cartella)
        sorgente_salvata(treno_qui, treno_salvato)
        subprocess.run([PROGRAMMA, "compile", linea, treno_qui, "-o", cartella + "_out"],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return contenuti(cartella + "_out")

    scritti_ora = contenuti(uscita)
    controlla(scritti_ora == compilati(salvati[-1], "salvataggi_ultimo"),
              f"the files written are not the latest save's: {sorted(scritti_ora)}")
    controlla(scritti_ora != compilati(salvati[0], "salvataggi_primo"),
              "the first save and the latest compile alike: the check above tells nothing")


def contenuti(cartella):
    nomi = sorted(os.listdir(cartella))
    contenuto = {}
    for nome in nomi:
        with open(os.path.join(cartella, nome), "rb") as f:
            contenuto[nome] = f.read()
    return contenuto


def scrittura_fallita(radice):
    sorgenti = nuovo_scenario(PROGRAMMA, os.path.join(radice, "fallita"))
    uscita = os.path.join(radice, "fallita_out")
    os.makedirs(os.path.join(uscita, "L_T.sim"))  # a folder where an output goes
    with Serve(PROGRAMMA, sorgenti, "-o", uscita) as s:
        if not controlla(s.indirizzo, f"serve's first line {s.prima_riga!r}"):
            return
        flusso = Eventi(s.indirizzo)
        evento = flusso.finche(lambda e: e["version"] == 1 and len(errori(e)) > 0,
                               "the failed write on the page")
        flusso.chiudi()
        if evento is not None:
            controlla(not evento["ok"], f"a failed write with \"ok\": true: {evento}")
            controlla("L_T.sim" in errori(evento)[0], f"the error names no file: {evento}")
        # One line for the compile, written once the write has failed.
        riga, errore = s.terminale.riga(), s.terminale.riga()
        controlla(riga is not None and re.fullmatch(r"compile 1: 1 error \(\d+ ms\)", riga),
                  f"the terminal after a failed write: {riga!r}")
        controlla(errore is not None and "L_T.sim" in errore,
                  f"the terminal's error line after a failed write: {errore!r}")


def uscita_girata(radice):
    cartella = os.path.join(radice, "girata")
    linea, treno = nuovo_scenario(PROGRAMMA, cartella)
    # The train source bears the name the train's grid is written under.
    sorgente = os.path.join(cartella, "L_T.dat")
    os.rename(treno, sorgente)
    with open(sorgente, "rb") as f:
        originale = f.read()
    vera = os.path.join(radice, "girata_vera")
    os.mkdir(vera)
    uscita = os.path.join(radice, "girata_out")
    os.symlink(vera, uscita)
    with Serve(PROGRAMMA, [linea, sorgente], "-o", uscita, "--line-name", "L",
               "--train-name", "T") as s:
        if not controlla(s.indirizzo, f"serve's first line {s.prima_riga!r}"):
            return
        flusso = Eventi(s.indirizzo)
        controlla(flusso.finche(lambda e: e["version"] == 1 and scritti(e) != [],
                                "the first compile written") is not None, "nothing written")
        controlla("L_T.dat" in os.listdir(vera), f"written: {os.listdir(vera)}")
        # The link now leads to the sources: the next write would put the grid over the train.
        os.symlink(cartella, uscita + ".nuovo")
        os.replace(uscita + ".nuovo", uscita)
        with open(linea, "rb") as f:
            sorgente_salvata(linea, f.read())
        evento = flusso.finche(lambda e: e["version"] == 2 and errori(e) != [],
                               "the refused write on the page")
        flusso.chiudi()
        if evento is not None:
            controlla(not evento["ok"], f"a refused write with \"ok\": true: {evento}")
            controlla(any("L_T.dat" in t and "source" in t for t in errori(evento)),
                      f"the error does not say the output is a source: {errori(evento)}")
        with open(sorgente, "rb") as f:
            controlla(f.read() == originale, "the train source was overwritten")
        avanzi = [n for n in os.listdir(cartella) if ".tmp-" in n]
        controlla(avanzi == [], f"left in the sources' folder: {avanzi}")


def ripartenza(radice):
    sorgenti = nuovo_scenario(PROGRAMMA, os.path.join(radice, "ripartenza"))
    with Serve(PROGRAMMA, sorgenti) as s:
        if not controlla(s.indirizzo, f"serve's first line {s.prima_riga!r}"):
            return
        # A browser's two connections: a page loaded over keep-alive, and its event stream.
        pagina = http.client.HTTPConnection("127.0.0.1", s.porta, timeout=30)
        pagina.request("GET", "/")
        risposta = pagina.getresponse()
        risposta.read()
        controlla(risposta.status == 200 and not risposta.will_close,
                  f"the page: {risposta.status}, kept open: {not risposta.will_close}")
        flusso = Eventi(s.indirizzo)
        flusso.finche(lambda e: True, "the first event")
        ferma_con_ctrl_c(s, "the first serve")
        porta = s.porta
    # At once, the client's connections still open.
    with Serve(PROGRAMMA, sorgenti, porta=porta, stderr=subprocess.PIPE) as s:
        if s.prima_riga == f"serving http://127.0.0.1:{porta}/":
            ferma_con_ctrl_c(s, "the restarted serve")
        else:
            s.p.wait(timeout=30)
            controlla(False, f"a restart on port {porta}: {s.prima_riga!r} "
                      f"{s.p.stderr.read().decode(errors='replace')!r}")
    pagina.close()
    flusso.chiudi()


def lettore_andato(radice):
    sorgenti = nuovo_scenario(PROGRAMMA, os.path.join(radice, "andato"))
    with Serve(PROGRAMMA, sorgenti) as s:
        if not controlla(s.indirizzo, f"serve's first line {s.prima_riga!r}"):
            return
        # As `serve ... | head -1` leaves it: the line read, the pipe's reader gone.
        s.p.stdout.close()
        s.p.stdout = None
        flusso = Eventi(s.indirizzo)
        with open(sorgenti[1], "rb") as f:
            treno = f.read()
        # Each compile prints a line into the closed pipe: the second one after its event.
        for versione in [1, 2, 3]:
            if versione > 1:
                sorgente_salvata(sorgenti[1], treno)
            if flusso.finche(lambda e: e["version"] == versione,
                             f"compile {versione} with its terminal gone") is None:
                break
        flusso.chiudi()
        controlla(s.p.poll() is None, f"serve ended with {s.p.returncode} when its terminal went")
        if s.p.poll() is None:
            ferma_con_ctrl_c(s, "a serve whose terminal went")


def righe_del_terminale(radice):
    sorgenti = nuovo_scenario(PROGRAMMA, os.path.join(radice, "righe"))
    with open(sorgenti[1], "rb") as f:
        treno = f.read()
    ignoti = treno.replace(b"[aderenze]", b"pippo, 1\r\npippo, 2\r\n[aderenze]")
    # A signal in the slowdown's cell: one error, with a note that is not counted.
    errato = ignoti.replace(b"[codici]", b"segnale,    9000,   1, 0, 0,  0, 0,    0,  0,0,0, 0\r\n"
                            b"[codici]")
    casi = [(treno, r"no errors"),
            (ignoti.replace(b"pippo, 2\r\n", b""), r"no errors, 1 warning"),
            (errato, r"1 error, 2 warnings"),
            (ignoti, r"no errors, 2 warnings")]
    with Serve(PROGRAMMA, sorgenti) as s:
        if not controlla(s.indirizzo, f"serve's first line {s.prima_riga!r}"):
            return
        flusso = Eventi(s.indirizzo)
        for versione, (testo, conti) in enumerate(casi, 1):
            if versione > 1:
                sorgente_salvata(sorgenti[1], testo)
            evento = flusso.finche(lambda e: e["version"] == versione, f"compile {versione}")
            riga = s.terminale.riga()
            if not controlla(riga is not None and
                             re.fullmatch(rf"compile {versione}: {conti} \(\d+ ms\)", riga),
                             f"compile {versione}: the terminal says {riga!r}, not {conti}"):
                break
            if evento is not None and errori(evento):
                # What the page shows first is below the counts.
                errore = s.terminale.riga()
                controlla(errore == errori(evento)[0],
                          f"compile {versione}: the terminal's error {errore!r}, the page's "
                          f"{errori(evento)[0]!r}")
        flusso.chiudi()


with tempfile.TemporaryDirectory() as radice:
    for prova in [cartella_bloccata, salvataggi_mentre_bloccata, scrittura_fallita, uscita_girata,
                  ripartenza, lettore_andato, righe_del_terminale]:
        print(f"-- {prova.__name__}", flush=True)
        with caso(prova.__name__):
            prova(radice)

sys.exit(esito())

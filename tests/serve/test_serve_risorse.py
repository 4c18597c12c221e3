#!/usr/bin/env python3
"""serve holds its descriptors, memory and CPU against clients that connect and do nothing.

Usage: test_serve_risorse.py PROGRAM [--sanitizzato]

- Idle connections, 80 of them, against a server that can open 64 descriptors, and against one
  that can open many: over 2 s serve spends little CPU (it does not spin on a failing accept),
  holds at most 64 connections, and a new request for the page is answered.
- An event stream that is never read, while 40 saves each send about 1.7 MB of diagnostics:
  serve's memory stays near where it was (one copy of the latest event, not one per save).
  Such a stream is dropped once the progress deadline has passed, and a reader beside it is not.
- An event stream closed by its client, with no save after: its descriptor is let go at once.
"""
import json
import os
import shutil
import sys
import tempfile
import time
import urllib.request

sys.dont_write_bytecode = True  # nothing left in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from aiuto_serve import (LIMITE, Eventi, Serve, attendi, caso, controlla, esito,  # noqa: E402
                         nuovo_scenario, sorgente_salvata)

PROGRAMMA = sys.argv[1]
# The sanitizers' vptr check needs a pipe to read an object's type: with every descriptor taken
# it calls any object invalid and ends the run. Such a build skips the descriptor limit.
SANITIZZATO = "--sanitizzato" in sys.argv[2:]
CONNESSIONI = 64  # serve's cap on open connections
CPU_MASSIMA = 0.10  # of one core, over the window; a spinning accept loop takes all it gets
MARGINE_RSS_MIB = 30  # 40 saves once took 75 MiB more with a stream that was not read
SCADENZA_MS = 2000  # both deadlines, where a stalled stream is to be dropped
SENZA_SCADENZA_MS = 600_000  # and where it is to stay, beyond any run of this test


def prima_compilazione(s):
    riga = s.terminale.riga()
    return controlla(riga is not None and riga.startswith("compile 1: "),
                     f"serve's line after its address: {riga!r}")


def connessioni_inattive(sorgenti):
    """80 connections that send nothing, at a descriptor limit and at the connection cap."""
    if not controlla(shutil.which("prlimit"), "prlimit (util-linux) is needed"):
        return
    for limite, quale in [(64, "a limit of 64 descriptors"), (4096, "the cap on connections")]:
        if SANITIZZATO and limite == 64:
            print(f"{quale}: skipped in the sanitizer build, whose checks need descriptors")
            continue
        with Serve(PROGRAMMA, sorgenti, prima=["prlimit", f"--nofile={limite}:{limite}"]) as s:
            if not controlla(s.indirizzo, f"{quale}: serve's first line {s.prima_riga!r}"):
                continue
            if not prima_compilazione(s):
                continue
            base = s.descrittori()
            inattive = [s.connetti() for _ in range(80)]
            cpu = s.cpu_secondi()
            inizio = time.monotonic()
            massimo = base
            while time.monotonic() - inizio < 2:
                massimo = max(massimo, s.descrittori())
                time.sleep(0.05)
            quota = (s.cpu_secondi() - cpu) / (time.monotonic() - inizio)
            controlla(quota < CPU_MASSIMA,
                      f"{quale}: serve used {quota:.0%} of a core with 80 idle connections")
            # One more for a moment: a connection accepted before the oldest idle one goes.
            controlla(massimo - base <= CONNESSIONI + 1,
                      f"{quale}: {massimo - base} descriptors more than before the connections")
            inizio = time.monotonic()
            try:
                with urllib.request.urlopen(s.indirizzo, timeout=LIMITE) as r:
                    pagina = r.status == 200 and b"<html" in r.read().lower()
            except OSError as e:
                pagina = False
                print(f"{quale}: GET / failed: {e}")
            attesa = time.monotonic() - inizio
            controlla(pagina, f"{quale}: the page was not served beside 80 idle connections")
            controlla(s.p.poll() is None, f"{quale}: serve ended with {s.p.returncode}")
            print(f"{quale}: {quota:.1%} of a core over 2 s, descriptors {base} -> at most "
                  f"{massimo}, the page in {attesa:.2f} s", flush=True)
            for c in inattive:
                c.close()


def sorgenti_grandi(cartella):
    """The small scenario with 10,000 unknown records in its train, a warning each: about 1.7 MB
    of diagnostics in every event. The two paths, and the train's text for saving it again."""
    sorgenti = nuovo_scenario(PROGRAMMA, cartella)
    with open(sorgenti[1], "rb") as f:
        treno = f.read().replace(b"[fine]", b"pippo, 1\r\n" * 10000 + b"[fine]")
    sorgente_salvata(sorgenti[1], treno)
    return sorgenti, treno


def memoria_con_flusso_fermo(cartella):
    """A stream never read while 40 saves send large events: serve's memory."""
    sorgenti, treno = sorgenti_grandi(cartella)
    # No deadline within reach: the stream stays for all 40 saves, however long they take.
    with Serve(PROGRAMMA, sorgenti, ambiente={"GS_SERVE_SCADENZE_MS": str(SENZA_SCADENZA_MS)}) \
            as s:
        if not controlla(s.indirizzo, f"serve's first line {s.prima_riga!r}"):
            return
        lettore = Eventi(s.indirizzo)
        ultimo = lettore.finche(lambda e: e["version"] >= 1, "the first compile")
        if ultimo is None:
            return
        controlla(len(ultimo["diagnostics"]) == 10000,
                  f"{len(ultimo['diagnostics'])} diagnostics, not 10000")

        def salva(n):
            nonlocal ultimo
            for i in range(n):
                sorgente_salvata(sorgenti[1], treno)
                versione = ultimo["version"]
                ultimo = lettore.finche(lambda e: e["version"] > versione,
                                        f"the compile after save {i + 1}")
                if ultimo is None:
                    return False
            return True

        # Warmed up: the allocator has grown to what a compile and its events take.
        if not salva(3):
            return
        base = s.descrittori()
        fermo = s.richiesta("/eventi", s.connetti(rcvbuf=4096))
        controlla(attendi(lambda: s.descrittori() == base + 1),
                  f"the stalled stream is not among serve's descriptors ({s.descrittori()}, "
                  f"{base} before it)")
        prima = s.rss_mib()
        inizio = time.monotonic()
        if not salva(40):
            return
        dopo = s.rss_mib()
        print(f"a stalled stream and 40 saves: RSS {prima:.1f} -> {dopo:.1f} MiB "
              f"(at most +{MARGINE_RSS_MIB}), the saves in {time.monotonic() - inizio:.1f} s",
              flush=True)
        controlla(s.descrittori() == base + 1, "the stalled stream was dropped during the saves")
        controlla(dopo - prima < MARGINE_RSS_MIB,
                  f"RSS grew by {dopo - prima:.1f} MiB with a stalled stream")
        fermo.close()
        lettore.chiudi()


def flusso_fermo_lasciato(cartella):
    """A stream never read is dropped once the progress deadline has passed; a reader is not."""
    sorgenti, treno = sorgenti_grandi(cartella)
    with Serve(PROGRAMMA, sorgenti, ambiente={"GS_SERVE_SCADENZE_MS": str(SCADENZA_MS)}) as s:
        if not controlla(s.indirizzo, f"serve's first line {s.prima_riga!r}"):
            return
        lettore = Eventi(s.indirizzo)
        ultimo = lettore.finche(lambda e: e["version"] >= 1, "the first compile")
        if ultimo is None:
            return
        base = s.descrittori()
        inizio = time.monotonic()
        fermo = s.richiesta("/eventi", s.connetti(rcvbuf=4096))
        controlla(attendi(lambda: s.descrittori() == base + 1),
                  f"the stalled stream is not among serve's descriptors ({s.descrittori()}, "
                  f"{base} before it)")
        # Saves until serve has more to send than the system buffers for the socket: then its
        # write waits, and the deadline runs.
        with open("/proc/sys/net/ipv4/tcp_wmem", encoding="ascii") as f:
            buffer = int(f.read().split()[2])
        for i in range(buffer // len(json.dumps(ultimo)) + 3):
            sorgente_salvata(sorgenti[1], treno)
            versione = ultimo["version"]
            ultimo = lettore.finche(lambda e: e["version"] > versione,
                                    f"the compile after save {i + 1}")
            if ultimo is None:
                return
        lasciato = attendi(lambda: s.descrittori() == base, SCADENZA_MS / 1000 + LIMITE)
        durata = time.monotonic() - inizio
        controlla(lasciato, f"a stalled stream still open after {durata:.1f} s, with a deadline "
                            f"of {SCADENZA_MS} ms")
        controlla(durata >= SCADENZA_MS / 1000,
                  f"a stalled stream dropped after {durata:.2f} s, within the deadline of "
                  f"{SCADENZA_MS} ms")
        if lasciato:
            print(f"a stalled stream dropped after {durata:.2f} s (deadline {SCADENZA_MS} ms)",
                  flush=True)
        # The reader is still served.
        sorgente_salvata(sorgenti[1], treno)
        versione = ultimo["version"]
        lettore.finche(lambda e: e["version"] > versione, "a compile after the drop")
        fermo.close()
        lettore.chiudi()


def flusso_chiuso(sorgenti):
    """A stream read once and closed by its client, with nothing published after."""
    with Serve(PROGRAMMA, sorgenti) as s:
        if not controlla(s.indirizzo, f"serve's first line {s.prima_riga!r}"):
            return
        if not prima_compilazione(s):
            return
        base = s.descrittori()
        flusso = Eventi(s.indirizzo)
        flusso.finche(lambda e: e["version"] == 1, "the first event")
        controlla(attendi(lambda: s.descrittori() == base + 1),
                  f"the open stream is not among serve's descriptors ({s.descrittori()}, "
                  f"{base} before it)")
        flusso.chiudi()
        inizio = time.monotonic()
        # Well within the 30 s progress deadline, which does not apply to a stream with nothing
        # to send.
        if controlla(attendi(lambda: s.descrittori() == base, 10),
                     f"a closed stream still holds its descriptor after 10 s ({s.descrittori()}, "
                     f"{base} before it)"):
            print(f"a closed stream let go in {time.monotonic() - inizio:.2f} s", flush=True)


with tempfile.TemporaryDirectory() as radice:
    piccolo = nuovo_scenario(PROGRAMMA, os.path.join(radice, "piccolo"))
    with caso("idle connections"):
        connessioni_inattive(piccolo)
    with caso("memory with a stalled stream"):
        memoria_con_flusso_fermo(os.path.join(radice, "memoria"))
    with caso("a stalled stream let go"):
        flusso_fermo_lasciato(os.path.join(radice, "lasciato"))
    with caso("a closed stream"):
        flusso_chiuso(piccolo)

sys.exit(esito())

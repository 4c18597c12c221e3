"""What the tests of serve share: a serve started on sources, its terminal and event stream read
with a bound on every wait, and what the system says of its process.

Every wait here ends after LIMITE seconds at most, so a server that hangs fails its test."""
import json
import os
import select
import signal
import socket
import subprocess
import sys
import time
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from verifiche import caso, controlla, esito  # noqa: E402,F401 (for the tests that import them)

LIMITE = 30  # seconds for anything awaited: generous, for a loaded machine


def attendi(condizione, limite=LIMITE, passo=0.02):
    """Whether `condizione()` became true within `limite` seconds, asked every `passo`."""
    fine = time.monotonic() + limite
    while True:
        if condizione():
            return True
        if time.monotonic() >= fine:
            return False
        time.sleep(passo)


class Terminale:
    """serve's standard output, a line at a time."""

    def __init__(self, flusso):
        self.flusso = flusso
        self.resto = b""

    def riga(self, limite=LIMITE):
        """The next line without its newline, or None when none is whole within `limite`
        seconds or the output has ended."""
        fine = time.monotonic() + limite
        while b"\n" not in self.resto:
            pronto, _, _ = select.select([self.flusso], [], [], max(0, fine - time.monotonic()))
            if not pronto:
                return None
            dati = os.read(self.flusso.fileno(), 65536)
            if not dati:
                return None
            self.resto += dati
        riga, self.resto = self.resto.split(b"\n", 1)
        return riga.decode("utf-8", "replace")


class Serve:
    """serve on two sources, on a free port unless one is given; `prima` goes before the
    program on its command line (prlimit, say), `ambiente` is added to its environment."""

    def __init__(self, programma, sorgenti, *opzioni, porta=0, prima=(), ambiente=None,
                 stderr=subprocess.DEVNULL):
        env = dict(os.environ, **(ambiente or {}))
        self.p = subprocess.Popen([*prima, programma, "serve", *sorgenti, "--port", str(porta),
                                   *opzioni], stdout=subprocess.PIPE, stderr=stderr,
                                  stdin=subprocess.DEVNULL, env=env)
        self.terminale = Terminale(self.p.stdout)
        self.prima_riga = self.terminale.riga()
        self.indirizzo = None
        if self.prima_riga and self.prima_riga.startswith("serving http://127.0.0.1:"):
            self.indirizzo = self.prima_riga.split()[1]
            self.porta = int(self.indirizzo.rsplit(":", 1)[1].rstrip("/"))

    @property
    def pid(self):
        return self.p.pid

    def ferma(self, segnale=signal.SIGINT):
        """Sends `segnale` and waits LIMITE seconds at most: the exit status, or None."""
        self.p.send_signal(segnale)
        try:
            return self.p.wait(timeout=LIMITE)
        except subprocess.TimeoutExpired:
            return None

    def chiudi(self):
        if self.p.poll() is None:
            self.p.kill()
            self.p.wait()
        if self.p.stdout is not None:
            self.p.stdout.close()

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.chiudi()

    # What the system says of the process.
    def descrittori(self):
        return len(os.listdir(f"/proc/{self.pid}/fd"))

    def rss_mib(self):
        with open(f"/proc/{self.pid}/status", encoding="ascii") as f:
            for riga in f:
                if riga.startswith("VmRSS:"):
                    return int(riga.split()[1]) / 1024
        return 0.0

    def cpu_secondi(self):
        """User and system time used so far."""
        with open(f"/proc/{self.pid}/stat", encoding="ascii") as f:
            campi = f.read().rsplit(")", 1)[1].split()
        return (int(campi[11]) + int(campi[12])) / os.sysconf("SC_CLK_TCK")

    def connetti(self, rcvbuf=None):
        """A TCP connection to the server, with its receive buffer set small when asked."""
        s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        if rcvbuf is not None:
            s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, rcvbuf)
        s.settimeout(LIMITE)
        s.connect(("127.0.0.1", self.porta))
        return s

    def richiesta(self, percorso, s=None):
        """A raw GET of `percorso` on `s` (a new connection when none), with this server's
        Host; the socket, for what follows."""
        s = s or self.connetti()
        s.sendall(f"GET {percorso} HTTP/1.1\r\nHost: 127.0.0.1:{self.porta}\r\n\r\n".encode())
        return s


def sorgente_salvata(percorso, testo):
    """Saves `testo` as editors do: a new file renamed over the old one, so that serve sees one
    change however long the writing takes on a loaded machine."""
    nuovo = os.path.join(os.path.dirname(percorso), ".salvataggio")
    with open(nuovo, "wb") as f:
        f.write(testo)
    os.replace(nuovo, percorso)


class Eventi:
    """serve's event stream, read as the page reads it: the latest event first, then one per
    compile (a reader that falls behind skips to the latest)."""

    def __init__(self, indirizzo):
        self.indirizzo = indirizzo
        self.risposta = urllib.request.urlopen(indirizzo + "eventi", timeout=LIMITE)

    def chiudi(self):
        self.risposta.close()

    def finche(self, condizione, cosa, limite=LIMITE):
        """The first event that meets `condizione`, or None (a failure) when none has come
        within `limite` seconds."""
        fine = time.monotonic() + limite
        ultimo = None
        try:
            while time.monotonic() < fine:
                riga = self.risposta.readline()  # each read waits LIMITE seconds at most
                if not riga:
                    break
                if riga.startswith(b"data:"):
                    ultimo = json.loads(riga[5:])
                    if condizione(ultimo):
                        return ultimo
        except OSError as e:
            ultimo = f"{ultimo} ({e})"
        controlla(False, f"{cosa}: not within {limite} s; the last event: {str(ultimo)[:500]}")
        return None


def testi(evento):
    return [d["text"] for d in evento["diagnostics"]]


def errori(evento):
    return [d["text"] for d in evento["diagnostics"] if d["severity"] == "error"]


def nuovo_scenario(programma, cartella):
    """The guide's small scenario, as L_linea.txt and L_T-.txt in `cartella`: its two paths."""
    subprocess.run([programma, "new", cartella, "--line-name", "L", "--train-name", "T"],
                   check=True, stdout=subprocess.DEVNULL)
    return [os.path.join(cartella, "L_linea.txt"), os.path.join(cartella, "L_T-.txt")]

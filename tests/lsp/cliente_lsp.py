"""A small client of genera_scenario's language server for the tests: it starts the server,
frames and sends messages, and reads the server's messages on a thread of its own.

It talks to the program itself over its standard input and output, as an editor does, which the
in-process driver of the C++ tests (sessione.h) cannot: the framing on real pipes, the exit
status, the Windows program under Wine."""
import json
import os
import pathlib
import queue
import subprocess
import threading
import time
import urllib.parse


# A Windows program under Wine sees this machine's / as drive Z:. An editor on Windows names
# its files as VS Code does, "file:///z%3A/tmp/x.txt": GS_LSP_UNITA=Z: makes the tests do so.
UNITA = os.environ.get("GS_LSP_UNITA", "")


def uri(percorso):
    assoluto = pathlib.Path(percorso).absolute()
    if not UNITA:
        return assoluto.as_uri()
    unita = UNITA[0].lower() + "%3A"
    return "file:///" + unita + urllib.parse.quote(assoluto.as_posix(), safe="/")


def cornice(corpo):
    dati = corpo if isinstance(corpo, bytes) else json.dumps(corpo).encode("utf-8")
    return b"Content-Length: %d\r\n\r\n" % len(dati) + dati


class Cliente:
    def __init__(self, programma, cartella=None):
        self.processo = subprocess.Popen([programma, "lsp"], stdin=subprocess.PIPE,
                                         stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                         cwd=cartella)
        self.arrivati = queue.Queue()
        self.notifiche = []
        self.prossimo_id = 0
        self.lettore = threading.Thread(target=self._leggi, daemon=True)
        self.lettore.start()

    def _leggi(self):
        flusso = self.processo.stdout
        while True:
            testata = b""
            while not testata.endswith(b"\r\n\r\n"):
                b = flusso.read(1)
                if not b:
                    self.arrivati.put(None)
                    return
                testata += b
            lunghezza = None
            for riga in testata.decode("ascii").split("\r\n"):
                if riga.lower().startswith("content-length:"):
                    lunghezza = int(riga.split(":", 1)[1])
            assert lunghezza is not None, testata
            self.arrivati.put(json.loads(flusso.read(lunghezza).decode("utf-8")))

    def invia_byte(self, dati):
        self.processo.stdin.write(dati)
        self.processo.stdin.flush()

    def invia(self, messaggio):
        self.invia_byte(cornice(messaggio))

    def notifica(self, metodo, params=None):
        m = {"jsonrpc": "2.0", "method": metodo}
        if params is not None:
            m["params"] = params
        self.invia(m)

    def richiesta_senza_attesa(self, metodo, params=None):
        self.prossimo_id += 1
        m = {"jsonrpc": "2.0", "id": self.prossimo_id, "method": metodo}
        if params is not None:
            m["params"] = params
        self.invia(m)
        return self.prossimo_id

    def prossimo(self, timeout=20):
        m = self.arrivati.get(timeout=timeout)
        if m is None:
            # What the server said on its way out, for the failure's message.
            try:
                stato = self.processo.wait(5)
            except subprocess.TimeoutExpired:
                stato = "still running"
            errore = self.processo.stderr.read(4000) if stato != "still running" else b""
            raise EOFError(f"the server closed its output (status {stato}, standard error "
                           f"{errore!r})")
        if "id" not in m or "method" in m:
            self.notifiche.append(m)
        return m

    def risposta(self, id, timeout=20):
        fine = time.monotonic() + timeout
        while True:
            m = self.prossimo(max(0.1, fine - time.monotonic()))
            if m.get("id") == id and "method" not in m:
                return m

    def richiesta(self, metodo, params=None, timeout=20):
        return self.risposta(self.richiesta_senza_attesa(metodo, params), timeout)

    def inizializza(self, capacita=None):
        r = self.richiesta("initialize", {"processId": None, "rootUri": None,
                                          "capabilities": capacita or {}})
        self.notifica("initialized", {})
        return r

    def diagnostiche(self, uri_documento, timeout=20, condizione=lambda d: True):
        """The next diagnostics published for a document that satisfy `condizione`."""
        fine = time.monotonic() + timeout
        while True:
            m = self.prossimo(max(0.1, fine - time.monotonic()))
            if m.get("method") == "textDocument/publishDiagnostics" and \
                    m["params"]["uri"] == uri_documento and condizione(m["params"]["diagnostics"]):
                return m["params"]

    def apri(self, percorso, testo, lingua="plaintext"):
        u = uri(percorso)
        self.notifica("textDocument/didOpen", {"textDocument": {
            "uri": u, "languageId": lingua, "version": 1, "text": testo}})
        return u

    def cambia(self, u, versione, modifiche):
        self.notifica("textDocument/didChange", {"textDocument": {"uri": u, "version": versione},
                                                 "contentChanges": modifiche})

    def chiudi(self, timeout=20):
        r = self.richiesta("shutdown")
        self.notifica("exit")
        stato = self.processo.wait(timeout)
        return r, stato

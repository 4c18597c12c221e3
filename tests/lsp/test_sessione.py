#!/usr/bin/env python3
"""A session with `genera_scenario lsp` through the protocol, as an editor holds one: open a
train source, type a mistake, see its diagnostic at its exact range, fix it and see it go; an
accented name before a field shifts no range; hover, signature help, completion, the outline,
the quick fix and formatting each checked; bad messages get the protocol's errors and the
server goes on; shutdown and exit end it with status 0.

Usage: test_sessione.py GENERA_SCENARIO_EXE
"""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cliente_lsp import Cliente, cornice, uri  # noqa: E402
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from verifiche import controlla, concludi  # noqa: E402

PROGRAMMA = os.path.abspath(sys.argv[1])


def intervallo(riga, da, a):
    return {"start": {"line": riga, "character": da}, "end": {"line": riga, "character": a}}


def inserisci(riga, colonna, testo):
    return {"range": intervallo(riga, colonna, colonna), "text": testo}


with tempfile.TemporaryDirectory() as cartella:
    # The guide's scenario under a line name with an accent: its files' URIs carry it escaped.
    subprocess.run([PROGRAMMA, "new", cartella, "--line-name", "CITTÀ", "--train-name", "D 1"],
                   check=True, capture_output=True)
    file_treno = os.path.join(cartella, "CITTÀ_D 1-.txt")
    with open(file_treno, "rb") as f:
        treno = f.read().decode("cp1252")
    righe = treno.split("\r\n")
    r_segnale = next(i for i, r in enumerate(righe) if r.startswith("segnale,    4500"))
    r_stazione = next(i for i, r in enumerate(righe) if r.startswith("stazione,    6000"))

    prima = sorted(os.listdir(cartella))
    c = Cliente(PROGRAMMA, cartella)
    # Before initialize: a framing fault and a request, each answered, the server still there.
    c.invia_byte(b"Content-Type: x\r\n\r\n{}")
    m = c.prossimo()
    controlla(m.get("error", {}).get("code") == -32700 and m["id"] is None,
             f"a header without Content-Length: a parse error, got {m}")
    m = c.richiesta("textDocument/hover", {})
    controlla(m.get("error", {}).get("code") == -32002, f"a request before initialize: {m}")
    r = c.inizializza({"textDocument": {"completion": {"completionItem": {"snippetSupport": True}}}})
    controlla(r["result"]["capabilities"]["textDocumentSync"]["change"] == 2,
             f"incremental sync: {r}")

    u = c.apri(file_treno, treno)
    controlla("%C3%80" in u, u)
    p = c.diagnostiche(u)
    controlla(p["diagnostics"] == [], f"the scenario as written has no diagnostic: {p}")

    # Typing "x" then "yz" into the signal's position, fast: the last version's diagnostics come.
    versione = 1
    for colonna, testo in ((12, "x"), (13, "y"), (14, "z")):
        versione += 1
        c.cambia(u, versione, [inserisci(r_segnale, colonna, testo)])
    p = c.diagnostiche(u, condizione=lambda d: d != [])
    while p.get("version") != versione:
        p = c.diagnostiche(u)
    d = p["diagnostics"]
    controlla(len(d) == 1 and d[0]["code"] == "E25" and d[0]["severity"] == 1,
             f"one error 25 for \"xyz4500\": {d}")
    controlla(d and d[0]["range"] == intervallo(r_segnale, 12, 19),
             f"the range of \"xyz4500\": {d}")
    controlla(d and "xyz4500" in d[0]["message"], f"the message quotes the field: {d}")
    # A hover on it gives its explain entry.
    def hover(riga, colonna, documento=None):
        r = c.richiesta("textDocument/hover", {"textDocument": {"uri": documento or u},
                                               "position": {"line": riga, "character": colonna}})
        return (r.get("result") or {}).get("contents", {}).get("value", "")
    h = hover(r_segnale, 14)
    controlla("### E25: a value cannot be read or does not fit where it goes" in h
             and "xyz4500" in h, f"hover on a diagnostic: {h!r}")

    # The mistake taken away: its diagnostic goes.
    versione += 1
    c.cambia(u, versione, [{"range": intervallo(r_segnale, 12, 15), "text": ""}])
    p = c.diagnostiche(u)
    controlla(p["diagnostics"] == [] and p["version"] == versione, f"fixed: {p}")

    # Hover, from the table of the source records: on a keyword, the record and its fields; on
    # a position, the field's name, range and cell.
    h = hover(r_segnale, 3)
    controlla("segnale, POSITION, sx" in h and "`tempo`" in h, f"hover on a keyword: {h!r}")
    h = hover(r_segnale, 14)
    controlla("signal position" in h and "from -2147483648 to 2147483647 m" in h
             and "metre 4500, grid cell 91, chainage km 7+600" in h
             and "no code point" in h, f"hover on a position: {h!r}")
    r_rallentamento = next(i for i, r in enumerate(righe) if r.startswith("rallentamento,"))
    h = hover(r_rallentamento, 3)
    controlla("Code points the compiler added for it: cell " in h,
             f"hover on a slowdown: the code points added for it: {h!r}")
    # On a speed, what the compiled grid stores for it: 60 km/h from 5700 m, in fifths.
    r_limite = righe.index("velocita,    5700,    60")
    h = hover(r_limite, 22)
    controlla("Stored: `velocita` = 12 in grid cell 114" in h, f"hover on a speed: {h!r}")
    controlla(hover(len(righe) + 5, 0) == "", "hover past the text: nothing")

    # Signature help names the field being typed as commas are added.
    def firma(riga, colonna):
        return c.richiesta("textDocument/signatureHelp", {
            "textDocument": {"uri": u}, "position": {"line": riga, "character": colonna}})["result"]
    for colonna, attivo in ((8, 0), (16, 0), (17, 1), (21, 1), (23, 2)):
        f = firma(r_segnale, colonna)
        controlla(f and f["activeParameter"] == attivo
                 and f["signatures"][0]["label"].startswith("segnale, POSITION, sx, s1"),
                 f"signature help at column {colonna}: parameter {attivo} expected, got {f}")

    # Completion in a keyword field: the train's records as snippets with their fields named,
    # and the train's section heads.
    def completamento(documento, riga, colonna=0):
        r = c.richiesta("textDocument/completion", {
            "textDocument": {"uri": documento}, "position": {"line": riga, "character": colonna}})
        return {v["label"]: v for v in r["result"]}
    voci = completamento(u, r_segnale)
    controlla("segnale" in voci and "stazione" in voci and "[segnali]" in voci
             and "pendenza" not in voci and "[curve]" not in voci, f"train keywords: {list(voci)}")
    s = voci.get("segnale", {})
    controlla(s.get("insertTextFormat") == 2
             and s.get("textEdit", {}).get("newText", "").startswith("segnale,  ${1:POSITION},  ${2:sx}"),
             f"the signal's snippet: {s}")
    controlla(completamento(u, r_segnale, 10) == {}, "no keyword offered after the comma")
    # A client without snippets gets the fields' names as plain text.
    semplice = Cliente(PROGRAMMA, cartella)
    semplice.inizializza()
    us = semplice.apri(file_treno, treno)
    r = semplice.richiesta("textDocument/completion", {
        "textDocument": {"uri": us}, "position": {"line": r_segnale, "character": 0}})["result"]
    s = next((v for v in r if v["label"] == "segnale"), {})
    controlla(s.get("insertTextFormat") == 1
             and s.get("textEdit", {}).get("newText", "").startswith("segnale,  POSITION,  sx,  s1"),
             f"the signal without snippets: {s}")
    semplice.chiudi()
    # The outline: the heads, holding the stations by name and the signals and slowdowns by
    # position.
    r = c.richiesta("textDocument/documentSymbol", {"textDocument": {"uri": u}})["result"]
    figli = {s["name"]: [f["name"] for f in s.get("children", [])] for s in r}
    controlla(figli.get("[stazioni]") == ["ALFA", "BETA", "GAMMA"]
             and figli.get("[segnali]") == ["segnale 4500 m", "segnale 5700 m"]
             and figli.get("[rallentamenti]") == ["rallentamento 9000 m"]
             and figli.get("[generale]") == [], f"the outline: {figli}")

    # A misspelt keyword: the quick fix puts the suggested one in place, and the warning goes.
    versione += 1
    c.cambia(u, versione, [{"range": intervallo(r_segnale, 0, 7), "text": "segnlae"}])
    d = c.diagnostiche(u, condizione=lambda d: d != [])["diagnostics"]
    controlla(len(d) == 1 and d[0]["code"] == "unknown-record", f"a misspelt keyword: {d}")
    a = c.richiesta("textDocument/codeAction", {
        "textDocument": {"uri": u}, "range": d[0]["range"] if d else intervallo(0, 0, 0),
        "context": {"diagnostics": d}})["result"]
    modifiche = a[0]["edit"]["changes"][u] if a else []
    controlla(len(a) == 1 and a[0]["kind"] == "quickfix"
             and modifiche == [{"range": intervallo(r_segnale, 0, 7), "newText": "segnale"}],
             f"the quick fix: {a}")
    versione += 1
    c.cambia(u, versione, [{"range": m["range"], "text": m["newText"]} for m in modifiche])
    p = c.diagnostiche(u)
    controlla(p["diagnostics"] == [], f"the quick fix applied: {p}")

    # Formatting: blanks only, the signals' values in columns, and nothing more to do after.
    def formatta():
        return c.richiesta("textDocument/formatting", {
            "textDocument": {"uri": u}, "options": {"tabSize": 4, "insertSpaces": True}})["result"]
    modifiche = formatta()
    controlla(modifiche and all(m["newText"].strip(" ") == "" for m in modifiche),
             f"formatting's edits: {modifiche[:3]}")
    testo = treno
    inizi = [0]
    for r in testo.split("\n"):
        inizi.append(inizi[-1] + len(r) + 1)
    for m in sorted(modifiche, key=lambda m: (m["range"]["start"]["line"],
                                              m["range"]["start"]["character"]), reverse=True):
        a = inizi[m["range"]["start"]["line"]] + m["range"]["start"]["character"]
        b = inizi[m["range"]["end"]["line"]] + m["range"]["end"]["character"]
        testo = testo[:a] + m["newText"] + testo[b:]
    formattate = testo.split("\r\n")
    controlla(formattate[r_segnale] == "segnale, 4500, 1, 3, 0, 0, 0, 0, 0, 0, 0, 0"
             and formattate[r_segnale + 1] == "segnale, 5700, 2, 2, 3, 0, 0, 0, 0, 0, 0, 0",
             f"the signals formatted: {formattate[r_segnale:r_segnale + 2]}")
    versione += 1
    c.cambia(u, versione, [{"text": testo}])
    controlla(c.diagnostiche(u)["diagnostics"] == [], "the formatted source compiles clean")
    controlla(formatta() == [], "formatting twice changes nothing more")
    versione += 1
    c.cambia(u, versione, [{"text": treno}])
    c.diagnostiche(u)

    # In the line source: the general section's records, then the later ones after a head.
    file_linea = os.path.join(cartella, "CITTÀ_linea.txt")
    with open(file_linea, "rb") as f:
        linea = f.read().decode("cp1252")
    righe_linea = linea.split("\r\n")
    ul = c.apri(file_linea, linea)
    c.diagnostiche(ul)
    r_generale = righe_linea.index("[generale]")
    r_pendenza = next(i for i, r in enumerate(righe_linea) if r.startswith("pendenza"))
    voci = completamento(ul, r_generale + 1)
    controlla("lunghezza percorso" in voci and "ripetizione segnali 4 codici" in voci
             and "pendenza" not in voci, f"the general section's keywords: {list(voci)}")
    voci = completamento(ul, r_pendenza)
    controlla("pendenza" in voci and "curvas5" in voci and "lunghezza percorso" not in voci
             and "[montagne]" in voci and "[stazioni]" not in voci,
             f"the line's later keywords: {list(voci)}")

    # An accented station name, then a mistake after it on the same line: the mistake's range
    # counts "À" as one, as the editor does (its bytes are two in UTF-8, one in Windows-1252).
    riga = righe[r_stazione]
    nome = riga.rindex("BETA")
    versione += 1
    c.cambia(u, versione, [{"range": intervallo(r_stazione, nome, len(riga)),
                            "text": "BÈTA, sabbia, 3O0"}])
    p = c.diagnostiche(u)
    d = p["diagnostics"]
    inizio = nome + len("BÈTA, sabbia, ")
    controlla(len(d) == 1 and d[0]["range"] == intervallo(r_stazione, inizio, inizio + 3),
             f"\"3O0\" after \"BÈTA\": {d}")

    # Fast typing: fifty changes that come together are compiled together, and the diagnostics
    # that come are those of the last one.
    colonna = inizio + 3
    gruppo = b""
    for i in range(50):
        versione += 1
        gruppo += cornice({"jsonrpc": "2.0", "method": "textDocument/didChange",
                           "params": {"textDocument": {"uri": u, "version": versione},
                                      "contentChanges": [inserisci(r_stazione, colonna + i, "0")]}})
    pubblicate = len([m for m in c.notifiche if m.get("method") == "textDocument/publishDiagnostics"])
    c.invia_byte(gruppo)
    p = c.diagnostiche(u, condizione=lambda d: True)
    while p.get("version") != versione:
        p = c.diagnostiche(u)
    compilate = len([m for m in c.notifiche
                     if m.get("method") == "textDocument/publishDiagnostics"]) - pubblicate
    controlla(compilate < 10, f"50 changes sent at once were compiled {compilate} times")
    d = p["diagnostics"]
    controlla(len(d) == 1 and d[0]["range"] == intervallo(r_stazione, inizio, inizio + 53),
             f"\"3O0\" and fifty noughts: {d}")

    # Bad messages: answered or logged, and the server goes on.
    m = c.richiesta("no/such/method", {})
    controlla(m.get("error", {}).get("code") == -32601, f"an unknown method: {m}")
    c.invia_byte(cornice(b"{not json"))
    m = c.prossimo()
    controlla(m.get("error", {}).get("code") == -32700, f"a body that is not JSON: {m}")
    c.notifica("textDocument/didChange", {"textDocument": {"uri": u}, "contentChanges": 5})
    m = c.prossimo()
    controlla(m.get("method") == "window/logMessage", f"a bad change is logged: {m}")

    risposta, stato = c.chiudi()
    controlla(risposta.get("result", "x") is None, f"shutdown's answer: {risposta}")
    controlla(stato == 0, f"the exit status after shutdown and exit: {stato}")
    controlla(c.processo.stderr.read() == b"", "nothing on standard error")
    controlla(sorted(os.listdir(cartella)) == prima, "the server wrote no file")

# Without shutdown, exit ends the server with status 1, and so does the end of its input.
for come in ("exit", "eof"):
    c = Cliente(PROGRAMMA)
    c.inizializza()
    if come == "exit":
        c.notifica("exit")
    else:
        c.processo.stdin.close()
    stato = c.processo.wait(20)
    controlla(stato == 1, f"{come} without shutdown: status {stato}")

concludi()

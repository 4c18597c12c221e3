#!/usr/bin/env python3
"""Packages the editor extension with its pinned vsce and checks the .vsix: the manifest's
languages, file patterns, grammars, encoding default, activation and setting; the version (the
program's); the files (the extension's own, byte for byte, and its runtime packages, none of the
build and test ones).

Usage: test_vsix.py SOURCE_TREE
Exits 77 (skipped) when the extension's npm packages are not installed.
"""

import json
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

radice = sys.argv[1]
estensione = os.path.join(radice, "editors", "vscode")
if not os.path.isdir(os.path.join(estensione, "node_modules", "@vscode", "vsce")):
    print("skipped: the extension's npm packages are missing (bash scripts/setup.sh vscode)")
    sys.exit(77)

errori = []


def atteso(condizione, cosa):
    if not condizione:
        errori.append(cosa)


with open(os.path.join(radice, "CMakeLists.txt"), encoding="utf-8") as f:
    versione = re.search(r"genera_scenario VERSION ([0-9.]+)", f.read()).group(1)

with tempfile.TemporaryDirectory() as lavoro:
    vsix = os.path.join(lavoro, "genera_scenario.vsix")
    subprocess.run(["bash", os.path.join(estensione, "impacchetta.sh"), vsix], check=True,
                   stdout=subprocess.DEVNULL)
    with zipfile.ZipFile(vsix) as z:
        nomi = set(z.namelist())
        manifesto = json.loads(z.read("extension/package.json"))
        vsixmanifest = ET.fromstring(z.read("extension.vsixmanifest"))
        contenuti = {n: z.read(n) for n in nomi if n.startswith("extension/")}

lingue = {l["id"]: l for l in manifesto["contributes"]["languages"]}
atteso(sorted(lingue) == ["genera-scenario-linea", "genera-scenario-treno"],
       f"languages: {sorted(lingue)}")
schemi = {"genera-scenario-linea": ["*_linea.txt"], "genera-scenario-treno": ["*-.txt"]}
for lingua, schema in schemi.items():
    l = lingue.get(lingua, {})
    atteso(l.get("filenamePatterns") == schema,
           f"{lingua}: file patterns {l.get('filenamePatterns')}, not {schema}")
    atteso("extensions" not in l, f"{lingua}: claims every file with extensions {l.get('extensions')}")
    conf = l.get("configuration", "").lstrip("./")
    atteso(f"extension/{conf}" in nomi, f"{lingua}: its language configuration {conf} is not packaged")
    predefiniti = manifesto["contributes"].get("configurationDefaults", {}).get(f"[{lingua}]", {})
    atteso(predefiniti.get("files.encoding") == "windows1252",
           f"{lingua}: files.encoding default {predefiniti.get('files.encoding')}")
    atteso(f"onLanguage:{lingua}" in manifesto.get("activationEvents", []),
           f"{lingua}: no onLanguage activation")
    grammatiche = [g for g in manifesto["contributes"]["grammars"] if g.get("language") == lingua]
    atteso(len(grammatiche) == 1, f"{lingua}: {len(grammatiche)} grammars")
    for g in grammatiche:
        file = "extension/" + g["path"].lstrip("./")
        atteso(file in nomi, f"{lingua}: its grammar {file} is not packaged")
        if file in nomi:
            atteso(json.loads(contenuti[file]).get("scopeName") == g["scopeName"],
                   f"{lingua}: {file} is not {g['scopeName']}")

impostazione = manifesto["contributes"]["configuration"]["properties"].get("genera_scenario.path", {})
atteso(impostazione.get("type") == "string" and impostazione.get("default") == "",
       f"the genera_scenario.path setting: {impostazione}")
atteso(manifesto.get("version") == versione, f"version {manifesto.get('version')}, the program's is {versione}")
atteso("extension/" + manifesto["main"].lstrip("./") in nomi, f"main {manifesto['main']} is not packaged")

# The .vsix's own manifest: identity and the editor versions it installs into.
ns = {"v": "http://schemas.microsoft.com/developer/vsx-schema/2011"}
identita = vsixmanifest.find("v:Metadata/v:Identity", ns)
atteso(identita is not None and identita.get("Version") == versione and
       identita.get("Id") == manifesto["name"] and identita.get("Publisher") == manifesto["publisher"],
       f"extension.vsixmanifest identity: {identita.attrib if identita is not None else None}")
proprieta = {p.get("Id"): p.get("Value") for p in vsixmanifest.iterfind("v:Metadata/v:Properties/v:Property", ns)}
atteso(proprieta.get("Microsoft.VisualStudio.Code.Engine") == manifesto["engines"]["vscode"],
       f"engine: {proprieta.get('Microsoft.VisualStudio.Code.Engine')}")

# The files: the extension's own as they are in the tree; the language client and what it
# needs, at the pinned version; no build or test package, no lock file, no packaging script.
for proprio in ["extension.js", "programma.js", "language-configuration.json",
                "syntaxes/linea.tmLanguage.json", "syntaxes/treno.tmLanguage.json"]:
    with open(os.path.join(estensione, proprio), "rb") as f:
        atteso(contenuti.get(f"extension/{proprio}") == f.read(), f"{proprio} differs from the tree's or is missing")
client = "extension/node_modules/vscode-languageclient/package.json"
with open(os.path.join(estensione, "package.json"), encoding="utf-8") as f:
    fissata = json.load(f)["dependencies"]["vscode-languageclient"]
atteso(client in nomi and json.loads(contenuti[client])["version"] == fissata,
       f"vscode-languageclient {fissata} is not packaged")
for estraneo in ["@vscode/vsce", "vscode-textmate", "vscode-oniguruma"]:
    atteso(not any(n.startswith(f"extension/node_modules/{estraneo}/") for n in nomi),
           f"{estraneo} is packaged")
for estraneo in ["extension/package-lock.json", "extension/impacchetta.sh"]:
    atteso(estraneo not in nomi, f"{estraneo} is packaged")

for e in errori:
    print(e)
print(f"{len(nomi)} files in the .vsix, {len(errori)} problems")
sys.exit(1 if errori else 0)

// Loads the extension's two grammars with the TextMate library and the regular-expression
// engine that the editor itself uses, from editors/vscode/node_modules.
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';

export const ESTENSIONE = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../../editors/vscode');

// Exits with 77 (skipped) when the extension's packages are not installed.
export function richiedi_pacchetti() {
  if (!fs.existsSync(path.join(ESTENSIONE, 'node_modules', 'vscode-textmate'))) {
    console.log('skipped: the extension\'s npm packages are missing (bash scripts/setup.sh vscode)');
    process.exit(77);
  }
  return createRequire(path.join(ESTENSIONE, 'package.json'));
}

// The manifest's languages with their grammars: { language: { scopeName, grammar } }.
export async function carica() {
  const require = richiedi_pacchetti();
  const tm = require('vscode-textmate');
  const onig = require('vscode-oniguruma');
  const wasm = fs.readFileSync(path.join(path.dirname(require.resolve('vscode-oniguruma')), 'onig.wasm'));
  await onig.loadWASM(wasm.buffer.slice(wasm.byteOffset, wasm.byteOffset + wasm.byteLength));
  const manifesto = JSON.parse(fs.readFileSync(path.join(ESTENSIONE, 'package.json'), 'utf8'));
  const per_scope = new Map(manifesto.contributes.grammars.map((g) => [g.scopeName, g]));
  const registro = new tm.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (sorgenti) => new onig.OnigScanner(sorgenti),
      createOnigString: (s) => new onig.OnigString(s),
    }),
    loadGrammar: async (scope) => {
      const g = per_scope.get(scope);
      if (!g) return null;
      const file = path.join(ESTENSIONE, g.path);
      return tm.parseRawGrammar(fs.readFileSync(file, 'utf8'), file);
    },
  });
  const lingue = {};
  for (const g of manifesto.contributes.grammars) {
    const grammatica = await registro.loadGrammar(g.scopeName);
    if (!grammatica) throw new Error(`grammar ${g.scopeName} did not load`);
    lingue[g.language] = { scopeName: g.scopeName, grammatica, tm };
  }
  return lingue;
}

// The tokens of each line of `testo`: [{ riga, testo, gettoni: [{ testo, da, a, scope: [...] }] }].
export function tokenizza(lingua, testo) {
  const righe = testo.split(/\r\n|\r|\n/);
  let stato = lingua.tm.INITIAL;
  const esito = [];
  righe.forEach((riga, i) => {
    const r = lingua.grammatica.tokenizeLine(riga, stato);
    stato = r.ruleStack;
    esito.push({
      riga: i + 1,
      testo: riga,
      gettoni: r.tokens.map((t) => ({
        testo: riga.slice(t.startIndex, t.endIndex),
        da: t.startIndex,
        a: t.endIndex,
        scope: t.scopes.slice(1),
      })),
    });
  });
  return esito;
}

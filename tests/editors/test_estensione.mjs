// The extension's start-up with the editor and the language client replaced by recorders:
// where it finds the program (the setting, else PATH, .com before .exe on Windows), that it
// starts `PROGRAM lsp` for the two languages, and that a missing program is said once, naming
// the setting, until the setting changes.
import fs from 'node:fs';
import Module from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { ESTENSIONE, richiedi_pacchetti } from './grammatiche.mjs';

const require = richiedi_pacchetti();
let errori = 0;
function atteso(condizione, cosa) {
  if (!condizione) {
    errori++;
    console.log(`failed: ${cosa}`);
  }
}

// The program on PATH, by the platform's rules.
const { trova_programma } = require('./programma.js');
const presenti = (...file) => (f) => file.includes(f);
const casi = [
  ['the setting wins', '/opt/gs/genera_scenario', { PATH: '/usr/bin' }, 'linux', presenti('/opt/gs/genera_scenario', '/usr/bin/genera_scenario'), '/opt/gs/genera_scenario'],
  ['a set program that is missing', '/opt/gs/genera_scenario', { PATH: '/usr/bin' }, 'linux', presenti('/usr/bin/genera_scenario'), null],
  ['the first on PATH', '', { PATH: '/a::/b:/c' }, 'linux', presenti('/b/genera_scenario', '/c/genera_scenario'), '/b/genera_scenario'],
  ['a blank setting is PATH', '  ', { PATH: '/b' }, 'linux', presenti('/b/genera_scenario'), '/b/genera_scenario'],
  ['none on PATH', '', { PATH: '/a:/b' }, 'linux', presenti(), null],
  ['no PATH', '', {}, 'linux', presenti('genera_scenario'), null],
  ['Windows: .com before .exe', '', { Path: 'C:\\gs;C:\\x' }, 'win32', presenti('C:\\gs\\genera_scenario.exe', 'C:\\gs\\genera_scenario.com'), 'C:\\gs\\genera_scenario.com'],
  ['Windows: .exe alone', '', { PATH: '"C:\\Program Files\\gs"' }, 'win32', presenti('C:\\Program Files\\gs\\genera_scenario.exe'), 'C:\\Program Files\\gs\\genera_scenario.exe'],
  ['Windows: the bare name is not it', '', { PATH: 'C:\\gs' }, 'win32', presenti('C:\\gs\\genera_scenario'), null],
];
for (const [nome, impostato, ambiente, piattaforma, esiste, risultato] of casi)
  atteso(trova_programma(impostato, ambiente, piattaforma, esiste) === risultato, `${nome}: ${trova_programma(impostato, ambiente, piattaforma, esiste)}`);

// The editor and the language client, recorded.
const registro = { messaggi: [], clienti: [], fermati: 0 };
let impostazione = '';
let ascoltatore = null;
const vscode = {
  workspace: {
    getConfiguration: (sezione) => ({ get: (chiave, predefinito) => (sezione === 'genera_scenario' && chiave === 'path' ? impostazione : predefinito) }),
    onDidChangeConfiguration: (f) => {
      ascoltatore = f;
      return { dispose() {} };
    },
  },
  window: { showErrorMessage: async (testo) => (registro.messaggi.push(testo), undefined) },
  commands: { executeCommand: async () => undefined },
};
class LanguageClient {
  constructor(id, nome, server, cliente) {
    registro.clienti.push({ id, server, cliente });
  }
  async start() {}
  async stop() {
    registro.fermati++;
  }
}
const caricamento = Module._load;
Module._load = function (richiesta, ...resto) {
  if (richiesta === 'vscode') return vscode;
  if (richiesta === 'vscode-languageclient/node') return { LanguageClient };
  return caricamento.call(this, richiesta, ...resto);
};
const estensione = require('./extension.js');

const cartella = fs.mkdtempSync(path.join(os.tmpdir(), 'gs-estensione-'));
const programma = path.join(cartella, 'genera_scenario');
const cambia = async (valore) => {
  impostazione = valore;
  await ascoltatore({ affectsConfiguration: (s) => s === 'genera_scenario.path' });
};
try {
  process.env.PATH = path.join(cartella, 'vuota');
  await estensione.activate({ subscriptions: [] });
  atteso(registro.messaggi.length === 1 && registro.messaggi[0].includes('genera_scenario.path'), `the missing program said once, naming the setting: ${registro.messaggi}`);
  atteso(registro.clienti.length === 0, 'no client without the program');
  await ascoltatore({ affectsConfiguration: () => false });
  atteso(registro.messaggi.length === 1, 'another setting changed: said again');

  await cambia(path.join(cartella, 'altrove'));
  atteso(registro.messaggi.length === 2 && registro.messaggi[1].includes(path.join(cartella, 'altrove')), `a set path that is missing: ${registro.messaggi[1]}`);
  await ascoltatore({ affectsConfiguration: () => false });
  atteso(registro.messaggi.length === 2, 'said twice for one setting');

  fs.writeFileSync(programma, '');
  await cambia(programma);
  atteso(registro.clienti.length === 1, 'no client once the program is set');
  const c = registro.clienti[0];
  atteso(c && c.server.command === programma && JSON.stringify(c.server.args) === '["lsp"]', `started ${JSON.stringify(c && c.server)}`);
  const lingue = c ? c.cliente.documentSelector.map((d) => d.language).sort() : [];
  atteso(JSON.stringify(lingue) === '["genera-scenario-linea","genera-scenario-treno"]', `for ${lingue}`);

  await cambia('');
  atteso(registro.fermati === 1 && registro.messaggi.length === 3, `setting cleared, none on PATH: ${registro.fermati} stopped, ${registro.messaggi.length} said`);
  process.env.PATH = cartella;
  await cambia('');
  atteso(registro.clienti.length === 2 && registro.clienti[1].server.command === programma, `started from PATH: ${registro.clienti.length} started`);
  await estensione.deactivate();
  atteso(registro.fermati === 2, 'not stopped with the editor');
} finally {
  fs.rmSync(cartella, { recursive: true, force: true });
}
console.log(`extension ${errori === 0 ? 'ok' : 'failed'} (${path.relative(process.cwd(), ESTENSIONE)})`);
process.exit(errori === 0 ? 0 : 1);

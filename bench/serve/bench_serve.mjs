// How long a save of the train source takes to reach the open page of `genera_scenario serve`,
// for the built-in scenario and for the synthetic 1000000 m line: the median of a few saves,
// each renamed over the old file as editors save, against what an author should wait at most.
// Exits 0 whatever the times; 1 only when something broke.
//
// usage: node bench/serve/bench_serve.mjs PROGRAM SCRIVI_SINTETICO [SAVES]
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {
  CHROMIUM, apriBrowser, apriPagina, avviaServe, cartellaTemporanea, chromiumPresente, mediana,
  misuraSalvataggio, nomiStazioni, rinominaStazione, scriviRinominando,
} from '../../tests/serve/sessione.mjs';

const [programma, sintetico, quanti = '7'] = process.argv.slice(2).map((a, i) => (i < 2 ? path.resolve(a) : a));
if (!programma || !sintetico) {
  console.error('usage: node bench/serve/bench_serve.mjs PROGRAM SCRIVI_SINTETICO [SAVES]');
  process.exit(2);
}
const SALVATAGGI = Number(quanti);

function esegui(comando, argomenti) {
  const r = spawnSync(comando, argomenti, { encoding: 'utf8' });
  if (r.error) throw r.error;
  if (r.status !== 0) throw new Error(`${comando} ${argomenti.join(' ')}: status ${r.status}\n${r.stderr}`);
}

function sorgentiIn(cartella) {
  const nomi = fs.readdirSync(cartella);
  const linea = nomi.find((n) => n.endsWith('_linea.txt'));
  const treno = nomi.find((n) => n.endsWith('-.txt'));
  return [path.join(cartella, linea), path.join(cartella, treno)];
}

const SCENARI = [
  {
    nome: 'built-in scenario',
    obiettivo: 100,
    scrivi: (cartella) => esegui(programma, ['new', cartella, '--built-in']),
  },
  {
    nome: '1000000 m line',
    obiettivo: 1000,
    scrivi: (cartella) => {
      fs.mkdirSync(cartella);
      esegui(sintetico, [path.join(cartella, 'S_linea.txt'), path.join(cartella, 'S_T-.txt')]);
    },
  },
];

// Two versions that differ in the first station's name, so that every save changes the sheet
// and the page can tell which version it shows.
const NOMI = ['SALVATAGGIO UNO', 'SALVATAGGIO DUE'];

async function misuraScenario(scenario, browser, radice) {
  const cartella = path.join(radice, scenario.nome.replace(/\W+/g, '_'));
  scenario.scrivi(cartella);
  const [linea, treno] = sorgentiIn(cartella);
  const originale = fs.readFileSync(treno, 'latin1');
  const primo = nomiStazioni(originale)[0];
  const versioni = NOMI.map((n) => rinominaStazione(originale, primo, n));
  fs.writeFileSync(treno, versioni[0], 'latin1');

  const serve = await avviaServe(programma, [linea, treno]);
  try {
    const { pagina } = await apriPagina(browser, serve.url, 60000);
    const tempi = [];
    // The first save is not counted: it pays for what the page and serve set up once.
    for (let i = 1; i <= SALVATAGGI + 1; i++) {
      const ms = await misuraSalvataggio(pagina, () => scriviRinominando(treno, versioni[i % 2]),
                                         { stazione: NOMI[i % 2], senzaStazione: NOMI[(i + 1) % 2], errori: 0 },
                                         60000);
      if (i > 1) tempi.push(ms);
    }
    await pagina.close();
    const codice = await serve.ferma('SIGINT');
    if (codice !== 0) throw new Error(`serve after SIGINT: ${codice === null ? 'still running' : `status ${codice}`}`);
    return tempi;
  } finally {
    await serve.ferma('SIGKILL');
  }
}

if (!chromiumPresente()) {
  console.log(`serve save-to-page: skipped, ${CHROMIUM} is missing (scripts/setup.sh browser installs it)`);
  process.exit(0);
}
const radice = cartellaTemporanea('gs-bench-serve-');
const { browser, chiudi } = await apriBrowser();
let rotto = false;
try {
  for (const scenario of SCENARI) {
    try {
      const tempi = await misuraScenario(scenario, browser, radice);
      const m = mediana(tempi);
      console.log(`serve save-to-page, ${scenario.nome}: median ${m} ms (min ${Math.min(...tempi)}, ` +
                  `max ${Math.max(...tempi)}, ${tempi.length} saves); target ${scenario.obiettivo} ms: ` +
                  `${m <= scenario.obiettivo ? 'met' : 'MISSED'}`);
    } catch (e) {
      rotto = true;
      console.log(`serve save-to-page, ${scenario.nome}: FAILED: ${e.message}`);
    }
  }
} finally {
  await chiudi();
  fs.rmSync(radice, { recursive: true, force: true });
}
process.exit(rotto ? 1 : 0);

// Starting `genera_scenario serve`, opening its page in headless Chromium and timing a save of a
// source until the page shows it: shared by the browser test and the latency benchmark.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { performance } from 'node:perf_hooks';

export const CHROMIUM = '/usr/bin/chromium';

// The longest any step waits for the event it needs (a line from serve, a page showing a
// compile, a file written, a process ending). Every wait ends as soon as its event comes, so
// the limit only decides how long a broken run takes to say so: ample for a machine busy with
// other builds, where Chromium alone may take seconds to start.
export const ATTESA = 60000;

// The machine has no network: without these Chromium waits on connections of its own (updates,
// sync, QUIC probes) before it serves the page. --no-sandbox because the tests run as root.
const OPZIONI_CHROMIUM = [
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

export function chromiumPresente() {
  try {
    fs.accessSync(CHROMIUM, fs.constants.X_OK);
    return true;
  } catch {
    return false;
  }
}

export function cartellaTemporanea(prefisso) {
  return fs.mkdtempSync(path.join(os.tmpdir(), prefisso));
}

// serve prints its address once it listens; everything it writes later is kept (and the pipes
// drained, so that a chatty serve never blocks on a full pipe) for the report of a failure.
export async function avviaServe(programma, argomenti, { attesa = ATTESA, cwd } = {}) {
  const processo = spawn(programma, ['serve', ...argomenti, '--port', '0'], {
    stdio: ['ignore', 'pipe', 'pipe'],
    cwd,
  });
  let uscita = '';
  let errori = '';
  processo.stdout.setEncoding('utf8');
  processo.stderr.setEncoding('utf8');
  processo.stderr.on('data', (d) => {
    errori = (errori + d).slice(-20000);
  });
  const finito = new Promise((risolvi) => {
    processo.on('exit', (codice, segnale) => risolvi({ codice, segnale }));
  });
  const url = await new Promise((risolvi, rifiuta) => {
    const scaduto = setTimeout(() => {
      rifiuta(new Error(`serve printed no "serving" line in ${attesa} ms\n${uscita}${errori}`));
    }, attesa);
    processo.stdout.on('data', (d) => {
      uscita = (uscita + d).slice(-20000);
      const trovato = /^serving (http:\/\/127\.0\.0\.1:(\d+)\/)\r?$/m.exec(uscita);
      if (trovato) {
        clearTimeout(scaduto);
        risolvi(trovato[1]);
      }
    });
    finito.then(({ codice, segnale }) => {
      clearTimeout(scaduto);
      rifiuta(new Error(`serve ended (${codice ?? segnale}) before serving\n${uscita}${errori}`));
    });
  });
  return {
    processo,
    url,
    porta: Number(new URL(url).port),
    finito,
    testo: () => uscita + errori,
    // The exit status after the signal; null when it did not end within the wait (it is then
    // killed, so that no serve outlives its run).
    async ferma(segnale = 'SIGINT', attesaFine = ATTESA) {
      if (processo.exitCode === null && processo.signalCode === null) processo.kill(segnale);
      let orologio;
      const esito = await Promise.race([
        finito,
        new Promise((r) => { orologio = setTimeout(() => r(null), attesaFine); }),
      ]);
      clearTimeout(orologio);
      if (esito === null) {
        processo.kill('SIGKILL');
        await finito;
        return null;
      }
      return esito.codice;
    },
  };
}

export async function apriBrowser() {
  let puppeteer;
  try {
    puppeteer = (await import('puppeteer-core')).default;
  } catch (e) {
    throw new Error(`puppeteer-core is not installed in tests/serve (scripts/setup.sh browser): ${e.message}`);
  }
  const profilo = cartellaTemporanea('gs-chromium-');
  const browser = await puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    userDataDir: profilo,
    args: OPZIONI_CHROMIUM,
    timeout: ATTESA,
    protocolTimeout: ATTESA,
  });
  return {
    browser,
    async chiudi() {
      await chiudiBrowser(browser);
      fs.rmSync(profilo, { recursive: true, force: true });
    },
  };
}

// Closes a browser that puppeteer launched. A close waits for the browser to end, which it may
// never do when it is wedged: after the wait it is killed, with the processes it started.
export async function chiudiBrowser(browser, attesa = ATTESA) {
  const processo = browser.process();
  let orologio;
  await Promise.race([
    browser.close().catch(() => {}),
    new Promise((r) => { orologio = setTimeout(r, attesa); }),
  ]);
  clearTimeout(orologio);
  if (processo && processo.exitCode === null && processo.signalCode === null) {
    try {
      process.kill(-processo.pid, 'SIGKILL'); // its process group, as puppeteer starts it
    } catch {
      processo.kill('SIGKILL');
    }
  }
}

// Waits until `vero()` holds, trying it again at each change in the folder `cartella` (a file
// created, written, renamed or removed there). A `vero` that throws (a file gone between
// listing and reading it) has not held yet.
export async function attendiCartella(cartella, vero, descrizione, attesa = ATTESA) {
  const prova = () => {
    try {
      return vero();
    } catch {
      return false;
    }
  };
  const osservatore = fs.watch(cartella);
  let orologio;
  try {
    await new Promise((risolvi, rifiuta) => {
      orologio = setTimeout(() => {
        rifiuta(new Error(`${cartella}: not ${descrizione} within ${attesa} ms`));
      }, attesa);
      osservatore.on('change', () => { if (prova()) risolvi(); });
      osservatore.on('error', rifiuta);
      if (prova()) risolvi();
    });
  } finally {
    clearTimeout(orologio);
    osservatore.close();
  }
}

// Runs in the page. True once the page shows a compile after `oltre` that matches every key
// given in `atteso`; one predicate for every step, so that a step says what it expects as data.
function mostra(oltre, atteso) {
  if (!(Number(document.body.dataset.versione) > oltre)) return false;
  const foglio = document.querySelector('#foglio');
  const svg = foglio && foglio.querySelector('svg');
  const stazioni = document.querySelector('#stazioni')?.textContent ?? '';
  const voci = [...document.querySelectorAll('#diagnostiche li')];
  if ('sbiadito' in atteso && (!foglio || foglio.classList.contains('sbiadito') !== atteso.sbiadito))
    return false;
  if ('errori' in atteso && voci.filter((li) => li.classList.contains('errore')).length !== atteso.errori)
    return false;
  if (atteso.stazione && !(stazioni.includes(atteso.stazione) && svg && svg.textContent.includes(atteso.stazione)))
    return false;
  if (atteso.senzaStazione && stazioni.includes(atteso.senzaStazione)) return false;
  if (atteso.diagnostica) {
    const { classe, modello } = atteso.diagnostica;
    const re = new RegExp(modello);
    if (!voci.some((li) => (!classe || li.classList.contains(classe)) && re.test(li.textContent))) return false;
  }
  return true;
}

export async function statoPagina(pagina) {
  return pagina.evaluate(() => {
    const foglio = document.querySelector('#foglio');
    return {
      versione: document.body.dataset.versione,
      sbiadito: foglio ? foglio.classList.contains('sbiadito') : 'no #foglio',
      svg: Boolean(foglio && foglio.querySelector('svg')),
      stazioni: document.querySelector('#stazioni')?.textContent.replace(/\s+/g, ' ').trim(),
      diagnostiche: [...document.querySelectorAll('#diagnostiche li')]
        .map((li) => `[${li.className}] ${li.textContent}`),
    };
  });
}

export async function versione(pagina) {
  return pagina.evaluate(() => Number(document.body.dataset.versione));
}

// Waits for the page to show `atteso`; on time-out the error says what the page showed instead.
export async function attendiPagina(pagina, oltre, atteso, attesa = ATTESA) {
  try {
    await pagina.waitForFunction(mostra, { polling: 'mutation', timeout: attesa }, oltre, atteso);
  } catch (e) {
    const stato = await statoPagina(pagina).catch((e2) => e2.message);
    throw new Error(`the page did not show ${JSON.stringify(atteso)} after compile ${oltre} within ` +
                    `${attesa} ms (${e.message}); it shows ${JSON.stringify(stato, null, 1)}`);
  }
}

export async function apriPagina(browser, url, attesa = ATTESA) {
  const pagina = await browser.newPage();
  pagina.setDefaultTimeout(attesa);
  const eccezioni = [];
  pagina.on('pageerror', (e) => eccezioni.push(e.message));
  await pagina.goto(url, { waitUntil: 'domcontentloaded' });
  await attendiPagina(pagina, 0, {}, attesa);
  return { pagina, eccezioni };
}

// Milliseconds from just before the write until the page shows what the write should bring.
export async function misuraSalvataggio(pagina, scrivi, atteso, attesa) {
  const oltre = await versione(pagina);
  const inizio = performance.now();
  await scrivi();
  await attendiPagina(pagina, oltre, atteso, attesa);
  return Math.round(performance.now() - inizio);
}

// An editor that rewrites the file itself (the same inode, truncated first).
export function scriviSulPosto(file, testo) {
  fs.writeFileSync(file, testo);
}

// An editor that writes a new file beside it and renames it over the old one.
export function scriviRinominando(file, testo) {
  const nuovo = path.join(path.dirname(file), `.${path.basename(file)}.salva`);
  fs.writeFileSync(nuovo, testo);
  fs.renameSync(nuovo, file);
}

export function nomiStazioni(testo) {
  return [...testo.matchAll(/^stazione\s*,.*,[ \t]*([^,\r\n]*?)[ \t]*\r?$/gm)].map((m) => m[1]);
}

export function rinominaStazione(testo, vecchio, nuovo) {
  let trovate = 0;
  const risultato = testo.replace(/^(stazione\s*,.*,[ \t]*)([^,\r\n]*?)([ \t]*\r?)$/gm, (riga, testa, nome, coda) => {
    if (nome !== vecchio) return riga;
    trovate++;
    return testa + nuovo + coda;
  });
  if (trovate !== 1) throw new Error(`${trovate} stations named ${vecchio}`);
  return risultato;
}

export function mediana(valori) {
  const ordinati = [...valori].sort((a, b) => a - b);
  const m = Math.floor(ordinati.length / 2);
  return ordinati.length % 2 ? ordinati[m] : Math.round((ordinati[m - 1] + ordinati[m]) / 2);
}

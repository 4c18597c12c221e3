// serve's page in Firefox, which drives it through WebDriver BiDi: the first sheet, a save seen
// without a reload, the zoom kept and a source line shown on a click. The full walk through
// edits, mistakes and deleted sources is test_serve.mjs, in Chromium.
// usage: node test_firefox.mjs PROGRAM
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import {
  ATTESA, avviaServe, cartellaTemporanea, chiudiBrowser, rinominaStazione, scriviRinominando,
} from './sessione.mjs';

const FIREFOX = '/usr/bin/firefox-esr';
if (!fs.existsSync(FIREFOX)) {
  console.log(`skipped: ${FIREFOX} is missing (scripts/setup.sh browser installs it)`);
  process.exit(77);
}
const puppeteer = (await import('puppeteer-core')).default;
const [programma] = process.argv.slice(2);
const cartella = cartellaTemporanea('gs-firefox-');
const profilo = cartellaTemporanea('gs-firefox-profilo-');
execFileSync(programma, ['new', cartella, '--line-name', 'L', '--train-name', 'T'],
             { timeout: ATTESA, killSignal: 'SIGKILL' });
const treno = path.join(cartella, 'L_T-.txt');
const serve = await avviaServe(programma, ['L_linea.txt', 'L_T-.txt'], { cwd: cartella });
const browser = await puppeteer.launch({
  browser: 'firefox', executablePath: FIREFOX, headless: true, userDataDir: profilo,
  timeout: ATTESA, protocolTimeout: ATTESA,
});
const eccezioni = [];
try {
  const pagina = await browser.newPage();
  pagina.setDefaultTimeout(ATTESA); // the limit of every wait below, each for its own event
  pagina.on('pageerror', (e) => eccezioni.push(e.message));
  await pagina.setViewport({ width: 1200, height: 900 });
  await pagina.goto(serve.url);
  await pagina.waitForFunction(() => Number(document.body.dataset.versione) >= 1);
  await pagina.evaluate(() => { window.__marcato = 1; return window.gsVista(2000, 8000); });

  scriviRinominando(treno, rinominaStazione(fs.readFileSync(treno, 'latin1'), 'BETA', 'BETAVOLPE'));
  await pagina.waitForFunction(() => Number(document.body.dataset.versione) >= 2);
  const stato = await pagina.evaluate(() => ({
    marcato: window.__marcato,
    stazioni: document.querySelector('#stazioni').textContent,
    svg: document.querySelector('#foglio svg').textContent.includes('BETAVOLPE'),
    finestra: [document.querySelector('#da').value, document.querySelector('#a').value],
  }));
  assert.deepEqual(stato, {
    marcato: 1, stazioni: 'ALFA (km 0.000)BETAVOLPE (km 6.000)GAMMA (km 11.500)', svg: true,
    finestra: ['2.0', '8.0'],
  });

  const segnale = await pagina.$('#foglio g.segnale[data-fonte] circle');
  await segnale.click();
  await pagina.waitForSelector('#fonte:not([hidden])');
  assert.match(await pagina.$eval('#fonte-luogo', (e) => e.textContent), /^L_T-\.txt:\d+: the signal at /);
  assert.match(await pagina.$eval('#fonte-testo', (e) => e.textContent), /^segnale,/);
  assert.deepEqual(eccezioni, []);
  console.log('firefox: first sheet, a save without a reload, the zoom kept, a source line shown');
} finally {
  await chiudiBrowser(browser);
  assert.equal(await serve.ferma(), 0);
  fs.rmSync(cartella, { recursive: true, force: true });
  fs.rmSync(profilo, { recursive: true, force: true });
}

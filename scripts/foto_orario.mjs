// Takes docs/timetable.png: serve's route sheet of the built-in scenario with CARNIA's time moved
// ten minutes earlier, so that PONTEBBA to CARNIA is faster than the speed limits allow. Two bands
// of the sheet, km 28 to 62, at full size: the station names, then the speed limit and the
// timetable lane with the stretch marked.
// usage: node scripts/foto_orario.mjs build/genera_scenario docs/timetable.png
// (after scripts/setup.sh browser)
import fs from 'node:fs';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { apriBrowser, avviaServe, cartellaTemporanea } from '../tests/serve/sessione.mjs';

const programma = path.resolve(process.argv[2]);
const uscita = process.argv[3];
const cartella = cartellaTemporanea('gs-foto-');
execFileSync(programma, ['new', cartella, '--built-in']);
const file = fs.readdirSync(cartella).map((n) => path.join(cartella, n));
const linea = file.find((f) => f.endsWith('_linea.txt'));
const treno = file.find((f) => !f.endsWith('_linea.txt'));
const testo = fs.readFileSync(treno, 'latin1');
const presto = testo.replace(/^(stazione,\s*59850,.*,\s*6,)46(,\s*0,\s*CARNIA)/m, '$136$2');
if (presto === testo) throw new Error('CARNIA\'s time was not found in the built-in train source');
fs.writeFileSync(treno, presto, 'latin1');

const serve = await avviaServe(programma, [path.basename(linea), path.basename(treno)],
                               { cwd: cartella });
const { browser, chiudi } = await apriBrowser();
try {
  // The sheet as the page asks for it, once the first compile has made one.
  const indirizzo = `${serve.url}foglio?v=1&da=28000&a=62000`;
  let svg = '';
  for (let i = 0; i < 100 && !svg; ++i) {
    const r = await fetch(indirizzo);
    if (r.ok) svg = await r.text();
    else await new Promise((fatto) => { setTimeout(fatto, 100); });
  }
  if (!svg.includes('orario-impossibile')) throw new Error('the sheet marks no impossible stretch');
  const pagina = await browser.newPage();
  await pagina.setViewport({ width: 5000, height: 1000 });
  await pagina.setContent(`<!DOCTYPE html><html><body style="margin:0">${svg}</body></html>`);
  // Each band from the top of a strip to the top of another, found by the strips' titles.
  const bande = await pagina.evaluate(() => {
    const titolo = (t) => [...document.querySelectorAll('text')].find((e) => e.textContent === t);
    const y = (t) => Number(titolo(t).getAttribute('y'));
    return [[y('Stations') - 32, y('station spans') + 16], [y('Speed limit') - 28, y('Adhesion') - 32]];
  });
  // The bands one under the other: each a window onto the same drawing.
  const codificato = Buffer.from(svg).toString('base64');
  const html = bande.map(([da, a]) => `<div style="height:${a - da}px;overflow:hidden">` +
    `<img style="display:block;margin-top:${-da}px" src="data:image/svg+xml;base64,${codificato}"></div>`).join('');
  const altezza = bande.reduce((s, [da, a]) => s + a - da, 0);
  await pagina.setViewport({ width: 5000, height: Math.ceil(altezza) });
  await pagina.setContent(`<!DOCTYPE html><html><body style="margin:0">${html}</body></html>`,
                          { waitUntil: 'load' });
  await pagina.screenshot({ path: uscita });
} finally {
  await chiudi();
  await serve.ferma();
  fs.rmSync(cartella, { recursive: true, force: true });
}

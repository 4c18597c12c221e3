// Takes docs/serve.png: the live route sheet of the built-in scenario, zoomed on a stretch of
// the line, with a warning above it and the source line of a clicked signal.
// usage: node scripts/foto_serve.mjs build/genera_scenario docs/serve.png
// (after scripts/setup.sh browser)
import fs from 'node:fs';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import {
  apriBrowser, apriPagina, avviaServe, cartellaTemporanea, misuraSalvataggio, scriviSulPosto,
} from '../tests/serve/sessione.mjs';

const [programma, uscita] = process.argv.slice(2);
const cartella = cartellaTemporanea('gs-foto-');
execFileSync(programma, ['new', cartella, '--built-in']);
const file = fs.readdirSync(cartella).map((n) => path.join(cartella, n));
const linea = file.find((f) => f.endsWith('_linea.txt'));
const treno = file.find((f) => !f.endsWith('_linea.txt'));
const serve = await avviaServe(programma, [path.basename(linea), path.basename(treno)],
                               { cwd: cartella });
const { browser, chiudi } = await apriBrowser();
try {
  const { pagina } = await apriPagina(browser, serve.url);
  await pagina.setViewport({ width: 1500, height: 1100 });
  // A misspelt record: the compile still succeeds, with a warning on the page.
  const testo = fs.readFileSync(treno, 'latin1');
  await misuraSalvataggio(pagina, () => scriviSulPosto(treno, testo.replace(/^segnale,/m, 'segnal,')),
                          { diagnostica: { classe: 'avviso', modello: 'segnal' } });
  await pagina.evaluate(() => window.gsVista(18000, 52000));
  const segnale = await pagina.$('#foglio g.segnale[data-fonte] circle');
  await segnale.click();
  await pagina.waitForSelector('#fonte:not([hidden])');
  await pagina.screenshot({ path: uscita });
} finally {
  await chiudi();
  await serve.ferma();
  fs.rmSync(cartella, { recursive: true, force: true });
}

// The live route sheet of `genera_scenario serve` in headless Chromium: every save of a source,
// whatever way the editor writes it, reaches the open page without a reload; a failed compile
// shows its diagnostics as the console does and keeps the last good sheet, dimmed; the server
// answers only its own paths and only to its own host name; the sources are only ever read.
//
// usage: node test_serve.mjs PROGRAM
// Exit 77 (skipped) when Chromium is missing: scripts/setup.sh browser installs it.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import test from 'node:test';
import {
  ATTESA, CHROMIUM, apriBrowser, apriPagina, attendiCartella, attendiPagina, avviaServe, cartellaTemporanea,
  chromiumPresente, misuraSalvataggio, rinominaStazione, scriviRinominando, scriviSulPosto, statoPagina,
  versione,
} from './sessione.mjs';

const PROGRAMMA = path.resolve(process.argv[2] ?? '');
if (!process.argv[2]) {
  console.error('usage: node test_serve.mjs PROGRAM');
  process.exit(2);
}
if (!chromiumPresente()) {
  console.log(`skipped: ${CHROMIUM} is missing (scripts/setup.sh browser installs it)`);
  process.exit(77);
}

const LINEA = 'L_linea.txt';
const TRENO = 'L_T-.txt';

// A command run to its end. One still running after ATTESA is killed (SIGKILL: a wait for a
// process that ignores SIGTERM would have no end) and the step fails.
function esegui(argomenti, opzioni = {}) {
  const r = spawnSync(PROGRAMMA, argomenti, {
    encoding: 'utf8', env: { ...process.env, NO_COLOR: '1' }, timeout: ATTESA, killSignal: 'SIGKILL', ...opzioni,
  });
  if (r.error) throw r.error;
  return r;
}

const escape = (s) => s.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');

// What the console says of these sources: the page must say the same of the same mistake. The
// bracket's position is cut, as it records where the run stood, not where the mistake is.
function primoErroreSulConsole(testoLinea, testoTreno) {
  const cartella = cartellaTemporanea('gs-console-');
  try {
    fs.writeFileSync(path.join(cartella, LINEA), testoLinea);
    fs.writeFileSync(path.join(cartella, TRENO), testoTreno);
    const r = esegui(['check', LINEA, TRENO, '--no-caret'], { cwd: cartella });
    const riga = r.stderr.split('\n').find((l) => /^\S+:\d+:\d+: error: /.test(l));
    assert.ok(riga, `check found no error in the broken sources: ${r.stderr}`);
    return riga.replace(/\[(E\d+)[^\]]*\]\s*$/, '[$1');
  } finally {
    fs.rmSync(cartella, { recursive: true, force: true });
  }
}

const comeFinito = (codice) => (codice === null ? `still running after ${ATTESA / 1000} s` : `status ${codice}`);

// The page may print the file as given or by its name alone.
const diagnosticaCome = (rigaConsole) => ({ classe: 'error', modello: `(^|[/\\\\])${escape(rigaConsole)}` });

function chiedi(porta, percorso, host) {
  return new Promise((risolvi, rifiuta) => {
    const opzioni = { host: '127.0.0.1', port: porta, path: percorso, headers: { Host: host }, agent: false };
    const richiesta = http.get(opzioni, (r) => {
      let corpo = '';
      r.setEncoding('utf8');
      r.on('data', (d) => { corpo += d; });
      r.on('end', () => risolvi({ stato: r.statusCode, tipo: r.headers['content-type'] ?? '', corpo }));
    });
    richiesta.setTimeout(ATTESA, () => {
      richiesta.destroy(new Error(`no full answer to ${percorso} (Host ${host}) in ${ATTESA / 1000} s`));
    });
    richiesta.on('error', rifiuta);
  });
}

test('serve keeps the open page in step with the sources', async (t) => {
  const radice = cartellaTemporanea('gs-serve-');
  const sorgenti = path.join(radice, 'sorgenti');
  const linea = path.join(sorgenti, LINEA);
  const treno = path.join(sorgenti, TRENO);
  const r = esegui(['new', sorgenti, '--line-name', 'L', '--train-name', 'T']);
  assert.equal(r.status, 0, r.stderr);
  const lineaBuona = fs.readFileSync(linea, 'latin1');
  const trenoBuono = fs.readFileSync(treno, 'latin1');
  // What each source holds last, as the test wrote it: serve must never change a byte of it.
  const scritto = { [linea]: lineaBuona, [treno]: trenoBuono };
  const scrivi = (modo, file, testo) => () => { scritto[file] = testo; modo(file, testo); };
  const tempi = [];
  const misura = async (cosa, ...argomenti) => {
    const ms = await misuraSalvataggio(pagina, ...argomenti);
    tempi.push([cosa, ms]);
  };

  let serve;
  let chiudi;
  let pagina;
  let eccezioni;
  let fallito = true; // until the page is open, then by the steps
  t.after(async () => {
    if (fallito && pagina) {
      console.log('page:', JSON.stringify(await statoPagina(pagina).catch((e) => e.message), null, 1));
    }
    if (fallito && serve) console.log(`serve said:\n${serve.testo()}`);
    for (const [cosa, ms] of tempi) console.log(`save-to-page ${String(ms).padStart(6)} ms: ${cosa}`);
    await chiudi?.();
    await serve?.ferma('SIGKILL');
    fs.rmSync(radice, { recursive: true, force: true });
  });
  // A failed step does not stop the next ones; the page and serve's output are printed once at the end.
  const passo = (nome, corpo) => t.test(nome, async () => {
    try {
      await corpo();
    } catch (e) {
      fallito = true;
      throw e;
    }
  });

  const uscita = path.join(radice, 'uscita');
  serve = await avviaServe(PROGRAMMA, [linea, treno, '-o', uscita]);
  const aperto = await apriBrowser();
  chiudi = aperto.chiudi;
  ({ pagina, eccezioni } = await apriPagina(aperto.browser, serve.url));
  // Gone after a reload: every later step checks that the page was updated in place.
  await pagina.evaluate(() => { window.__marcato = 1; });
  fallito = false;
  const stessaPagina = async () => {
    assert.equal(await pagina.evaluate(() => window.__marcato), 1, 'the page was reloaded');
  };

  await passo('the first compile: every station, no diagnostic, a sheet at full strength', async () => {
    await attendiPagina(pagina, 0, { stazione: 'ALFA', errori: 0, sbiadito: false });
    await attendiPagina(pagina, 0, { stazione: 'BETA' });
    await attendiPagina(pagina, 0, { stazione: 'GAMMA' });
  });

  await passo('HTTP: only its own paths, only for its own host name', async () => {
    const proprio = `127.0.0.1:${serve.porta}`;
    const casi = [
      ['/', proprio, 200],
      ['/', `localhost:${serve.porta}`, 200],
      ['/nonexistent', proprio, 404],
      ['/../etc/passwd', proprio, 404],
      ['/%2e%2e/%2e%2e/etc/passwd', proprio, 404],
      [`/${encodeURIComponent(TRENO)}`, proprio, 404],
      ['/', `evil.example:${serve.porta}`, 403],
      ['/eventi', `evil.example:${serve.porta}`, 403],
      ['/foglio', `evil.example:${serve.porta}`, 403],
      ['/', `127.0.0.1:${serve.porta + 1}`, 403],
      ['/', `localhost:${serve.porta + 1}`, 403],
    ];
    for (const [percorso, host, stato] of casi) {
      const risposta = await chiedi(serve.porta, percorso, host);
      assert.equal(risposta.stato, stato, `GET ${percorso} with Host ${host}: ${risposta.corpo.slice(0, 200)}`);
      if (stato === 200) assert.match(risposta.tipo, /^text\/html/);
      if (stato !== 200) assert.doesNotMatch(risposta.corpo, /stazione|root:/, `GET ${percorso} gave a file away`);
    }
  });

  const trenoRinominato = rinominaStazione(trenoBuono, 'BETA', 'OMEGA');
  await passo('a station renamed in place reaches the list and the sheet', async () => {
    await misura('station renamed, written in place', scrivi(scriviSulPosto, treno, trenoRinominato),
                 { stazione: 'OMEGA', senzaStazione: 'BETA', errori: 0, sbiadito: false });
    await stessaPagina();
  });

  await passo('a mistake saved by rename: its error as on the console, the sheet dimmed', async () => {
    const sbagliato = trenoRinominato.replace(/^(velocita,\s*5700,\s*)60\b/m, '$12000');
    assert.notEqual(sbagliato, trenoRinominato);
    const attesa = primoErroreSulConsole(lineaBuona, sbagliato);
    await misura('speed limit out of range, renamed over', scrivi(scriviRinominando, treno, sbagliato),
                 { diagnostica: diagnosticaCome(attesa), sbiadito: true });
    // The last good sheet stays under the dimming.
    await attendiPagina(pagina, 0, { stazione: 'OMEGA' });
    await stessaPagina();
  });

  await passo('the mistake fixed in place: the sheet back, no error', async () => {
    await misura('mistake fixed, written in place', scrivi(scriviSulPosto, treno, trenoRinominato),
                 { stazione: 'OMEGA', errori: 0, sbiadito: false });
    await stessaPagina();
  });

  await passo('a deleted source is named in a diagnostic, and its return is seen', async () => {
    await misura('train source deleted', () => fs.unlinkSync(treno),
                 { diagnostica: { modello: escape(TRENO) }, sbiadito: true });
    await misura('train source written back', scrivi(scriviSulPosto, treno, trenoRinominato),
                 { stazione: 'OMEGA', errori: 0, sbiadito: false });
    await stessaPagina();
  });

  await passo('the line source is followed too', async () => {
    const sbagliata = lineaBuona.replace(/^(pendenza,\s*3000,\s*)12\b/m, '$199999');
    assert.notEqual(sbagliata, lineaBuona);
    const attesa = primoErroreSulConsole(sbagliata, trenoRinominato);
    await misura('line source broken, written in place', scrivi(scriviSulPosto, linea, sbagliata),
                 { diagnostica: diagnosticaCome(attesa), sbiadito: true });
    await misura('line source fixed, renamed over', scrivi(scriviRinominando, linea, lineaBuona),
                 { stazione: 'OMEGA', errori: 0, sbiadito: false });
    await stessaPagina();
  });

  await passo('an impossible timetable: its warning on the page, and its words over its stretch', async () => {
    // OMEGA two minutes earlier: three minutes from ALFA, where the limits allow no less than
    // 4 min 35 s.
    const presto = trenoRinominato.replace(/^(stazione,\s*6000,.*,\s*7,\s*)6(,\s*0,\s*OMEGA)/m, '$14$2');
    assert.notEqual(presto, trenoRinominato);
    const avviso = 'the train needs at least 4 min 35 s from ALFA (km 12.100) to OMEGA (km 6.100) ' +
                   'under its speed limits; the timetable gives 3 min 0 s';
    await misura('timetable too fast, written in place', scrivi(scriviSulPosto, treno, presto),
                 { diagnostica: { classe: 'warning', modello: `${escape(avviso)} \\[timetable\\]` },
                   errori: 0, sbiadito: false });
    await pagina.waitForFunction((avviso) => [...document.querySelectorAll('#foglio g.orario-impossibile > title')]
      .map((t) => t.textContent).join('|') === avviso, { polling: 'mutation', timeout: ATTESA }, avviso);
    await misura('timetable fixed, written in place', scrivi(scriviSulPosto, treno, trenoRinominato),
                 { stazione: 'OMEGA', errori: 0, sbiadito: false });
    await pagina.waitForFunction(() => !document.querySelector('#foglio g.orario-impossibile'),
                                 { polling: 'mutation', timeout: ATTESA });
    await stessaPagina();
  });

  await passo('a click on the sheet shows the source line that drew it', async () => {
    const elementi = await pagina.$$('#foglio [data-fonte]');
    assert.ok(elementi.length > 0, 'no element of the sheet has data-fonte');
    // #fonte must name a source line and show its text. It is emptied and hidden before each
    // click, so that what the wait sees is the answer to that click even when two elements
    // share a source line.
    const dove = `(?:^|[\\s/\\\\])(${escape(LINEA)}|${escape(TRENO)}):(\\d+)`;
    const righe = Object.fromEntries([LINEA, TRENO].map((n) => [n, scritto[path.join(sorgenti, n)].split(/\r?\n/)]));
    const fonteMostrata = async () => {
      const mostrato = await pagina.$eval('#fonte', (e) => e.textContent.replace(/\s+/g, ' ').trim());
      const trovato = new RegExp(dove).exec(mostrato);
      const attesa = trovato && (righe[trovato[1]][Number(trovato[2]) - 1] ?? '').replace(/\s+/g, ' ').trim();
      return { mostrato, dove: trovato && `${trovato[1]}:${trovato[2]}`, attesa };
    };
    for (const i of new Set([0, Math.floor(elementi.length / 2), elementi.length - 1])) {
      const fonte = await elementi[i].evaluate((e) => e.getAttribute('data-fonte'));
      // A real click, through whatever the sheet does with the pointer (its panning), on the
      // element's largest shape: a group's own box may be mostly empty space.
      const forma = await elementi[i].evaluateHandle((e) => {
        const area = (f) => { const r = f.getBoundingClientRect(); return r.width * r.height; };
        const forme = [...e.querySelectorAll('rect, circle, ellipse, path, polygon, polyline, text')];
        return forme.sort((x, y) => area(y) - area(x))[0] ?? e;
      });
      await pagina.evaluate(() => {
        document.querySelector('#fonte').hidden = true;
        document.querySelector('#fonte-luogo').textContent = '';
        document.querySelector('#fonte-testo').textContent = '';
      });
      await forma.click();
      try {
        await pagina.waitForFunction((dove, righe) => {
          const f = document.querySelector('#fonte');
          if (f.hidden) return false;
          const mostrato = f.textContent.replace(/\s+/g, ' ').trim();
          const trovato = new RegExp(dove).exec(mostrato);
          const attesa = trovato && (righe[trovato[1]][Number(trovato[2]) - 1] ?? '').replace(/\s+/g, ' ').trim();
          return Boolean(attesa && mostrato.includes(attesa));
        }, { polling: 'mutation', timeout: ATTESA }, dove, righe);
      } catch (e) {
        const visto = await fonteMostrata();
        throw new Error(`after a click on data-fonte="${fonte}", #fonte shows "${visto.mostrato}"` +
                        (visto.dove ? `, not the text of ${visto.dove}: "${visto.attesa}"` : ', which names no source line') +
                        ` (${e.message})`);
      }
    }
    await stessaPagina();
  });

  await passo('gsVista sets the window shown, in km in #da and #a, and redraws the sheet', async () => {
    const prima = await pagina.$eval('#foglio svg', (e) => e.outerHTML);
    await pagina.evaluate(() => window.gsVista(5000, 7000));
    try {
      await pagina.waitForFunction((prima) => {
        const svg = document.querySelector('#foglio svg');
        return Number(document.querySelector('#da').value) === 5 && Number(document.querySelector('#a').value) === 7 &&
          svg && svg.outerHTML !== prima;
      }, { polling: 'mutation', timeout: ATTESA }, prima);
    } catch (e) {
      const vista = await pagina.evaluate(() => ['#da', '#a'].map((q) => document.querySelector(q)?.value));
      throw new Error(`after gsVista(5000, 7000): #da, #a = ${JSON.stringify(vista)}, sheet redrawn: ` +
                      `${(await pagina.$eval('#foglio svg', (e) => e.outerHTML)) !== prima} (${e.message})`);
    }
    await stessaPagina();
  });

  await passo('the wheel zooms about the pointer and a drag pans, and a compile keeps the window', async () => {
    const finestra = () => pagina.evaluate(() => [Number(document.querySelector('#da').value),
                                                  Number(document.querySelector('#a').value)]);
    const [da, a] = await finestra();
    const box = await (await pagina.$('#foglio svg')).boundingBox();
    // Low on the sheet, below the points strip's marks, but inside the viewport: a pointer
    // outside it reaches no element.
    const y = Math.min(box.y + box.height * 0.8, pagina.viewport().height - 20);
    // The middle of the strips: the metre under the pointer stays where it is.
    await pagina.mouse.move(box.x + box.width * (190 + 4760 / 2) / 5000, y);
    await pagina.mouse.wheel({ deltaY: -100 });
    await pagina.waitForFunction((da, a) => {
      const d = Number(document.querySelector('#da').value), b = Number(document.querySelector('#a').value);
      return b - d < a - da - 0.2;
    }, { polling: 'mutation', timeout: ATTESA }, da, a);
    const [zda, za] = await finestra();
    assert.ok(Math.abs((zda + za) / 2 - (da + a) / 2) < 0.15, `zoomed about the middle: ${zda}..${za}`);
    // Dragged to the left by a quarter of the strips: the window moves right by a quarter of it.
    await pagina.mouse.move(box.x + box.width * 0.6, y);
    await pagina.mouse.down();
    await pagina.mouse.move(box.x + box.width * (0.6 - 4760 / 5000 / 4), y, { steps: 5 });
    await pagina.mouse.up();
    await pagina.waitForFunction((zda) => Number(document.querySelector('#da').value) > zda + 0.1,
                                 { polling: 'mutation', timeout: ATTESA }, zda);
    const [pda, pa] = await finestra();
    assert.ok(Math.abs((pda - zda) - (za - zda) / 4) < 0.15, `panned a quarter: ${zda}..${za} to ${pda}..${pa}`);
    assert.ok(Math.abs((pa - pda) - (za - zda)) < 0.15, 'a drag keeps the zoom');
    // A save keeps the author's window.
    const v = await versione(pagina);
    scriviSulPosto(treno, fs.readFileSync(treno));
    await attendiPagina(pagina, v, {});
    assert.deepEqual(await finestra(), [pda, pa]);
    await stessaPagina();
  });

  await passo('-o: the output folder holds what compile writes of the last sources', async () => {
    const riferimento = path.join(radice, 'riferimento');
    const r = esegui(['compile', linea, treno, '-o', riferimento, '-q']);
    assert.equal(r.status, 0, r.stderr);
    const contenuti = (cartella) => Object.fromEntries(
      (fs.existsSync(cartella) ? fs.readdirSync(cartella) : []).sort()
        .map((n) => [n, fs.readFileSync(path.join(cartella, n)).toString('base64')]));
    const atteso = contenuti(riferimento);
    // Written with the compile that the page already shows, so it may still be on its way.
    await attendiCartella(uscita, () => JSON.stringify(contenuti(uscita)) === JSON.stringify(atteso),
                          'holding what compile writes').catch(() => {});
    const visto = contenuti(uscita);
    assert.deepEqual(Object.keys(visto), Object.keys(atteso));
    for (const nome of Object.keys(atteso)) assert.ok(visto[nome] === atteso[nome], `${nome} differs from compile's`);
  });

  await passo('SIGINT ends serve with status 0; the sources hold what the test wrote', async () => {
    assert.deepEqual(eccezioni, [], 'uncaught exceptions in the page');
    const codice = await serve.ferma('SIGINT');
    assert.equal(codice, 0, `serve after SIGINT: ${comeFinito(codice)}\n${serve.testo()}`);
    for (const [file, testo] of Object.entries(scritto)) {
      assert.ok(fs.readFileSync(file).equals(Buffer.from(testo, 'latin1')), `${file} was changed`);
    }
    assert.deepEqual(fs.readdirSync(sorgenti).sort(), [TRENO, LINEA].sort(), 'files left beside the sources');
  });

  await passo('a port in use: status 2 and a message; SIGTERM ends serve with status 0', async () => {
    const altro = await avviaServe(PROGRAMMA, [linea, treno, '-o', path.join(radice, 'uscita2')]);
    try {
      const r2 = esegui(['serve', linea, treno, '-o', path.join(radice, 'uscita3'), '--port', String(altro.porta)]);
      assert.equal(r2.status, 2, `serve on a port in use: status ${r2.status ?? r2.signal}\n${r2.stdout}${r2.stderr}`);
      assert.match(r2.stderr, /\S/, 'serve on a port in use said nothing');
    } finally {
      const codice = await altro.ferma('SIGTERM');
      assert.equal(codice, 0, `serve after SIGTERM: ${comeFinito(codice)}\n${altro.testo()}`);
    }
  });
});

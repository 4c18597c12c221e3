// The extension's grammars, tokenised with the editor's own TextMate library: every keyword the
// readers know and every section head; the built-in sources, the guide's small scenario and
// every source example of the guide, each field checked against its kind as the reader splits
// it; and a table of the cases at the edges.
// usage: node test_grammatica.mjs GENERA_SCENARIO_EXE SOURCE_TREE [--show]
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { carica, tokenizza } from './grammatiche.mjs';

const [exe, radice, mostra] = process.argv.slice(2);
const lingue = await carica();
const LINEA = lingue['genera-scenario-linea'];
const TRENO = lingue['genera-scenario-treno'];
const S = '.genera-scenario';
const KEYWORD = 'keyword.other.record' + S;
const HEAD = 'entity.name.section' + S;
const BAD_HEAD = 'invalid.illegal.section' + S;
const NUMBER = 'constant.numeric' + S;
const TEXT = 'string.unquoted.text' + S;
const QUOTED = 'string.quoted.double' + S;
const SEPARATOR = 'comment.line.separator' + S;
const PREAMBLE = 'comment.block.preamble' + S;

let errori = 0;
let verifiche = 0;
function errore(dove, cosa) {
  errori++;
  console.log(`${dove}: ${cosa}`);
}

// The keywords as the table of the source records writes them, and the heads as the readers
// list them.
const parole_cc = fs.readFileSync(path.join(radice, 'src/compiler/parole.cc'), 'utf8');
function elenco(nome) {
  const m = parole_cc.match(new RegExp(`std::array<std::string_view, \\d+> ${nome} = \\{([^}]*)\\}`));
  if (!m) throw new Error(`${nome} not found in parole.cc`);
  return [...m[1].matchAll(/"([^"]*)"/g)].map((x) => x[1]);
}
function scritte(file) {
  const testo = fs.readFileSync(path.join(radice, 'src/compiler', file), 'utf8');
  const parole = [...testo.matchAll(/constexpr std::string_view kScritte\w+\[\] = \{([^}]*)\}/g)]
    .flatMap((m) => [...m[1].matchAll(/"([^"]*)"/g)].map((x) => x[1]));
  if (parole.length === 0) throw new Error(`no keywords found in ${file}`);
  return parole;
}
const PAROLE = { linea: scritte('record_linea.cc'), treno: scritte('record_treno.cc') };
const TESTATE = { linea: elenco('kTestateL'), treno: elenco('kTestateT') };
// Words that count only in lower case.
const MINUSCOLE = ['uno', 'due', 'tre', 'progressiva', 'sfondo', 'segnali', 'ripetizione'];

function parola_nota(campo, tipo) {
  const c = campo.trim().replace(/[ \t]+/g, ' ');
  const p = PAROLE[tipo].find((k) => k === c.toLowerCase() || (tipo === 'treno' && k === 'velocita' && c.toLowerCase() === 'velocit\u00e0'));
  if (!p) return false;
  return c.split(' ').every((w) => !MINUSCOLE.includes(w.toLowerCase()) || w === w.toLowerCase());
}

// The scopes at each character of a tokenised line.
function scope_per_carattere(r) {
  const per = Array.from({ length: r.testo.length }, () => []);
  for (const g of r.gettoni) for (let i = g.da; i < g.a && i < per.length; i++) per[i] = g.scope;
  return per;
}
function controlla(dove, r, per, da, a, scope, cosa) {
  verifiche++;
  for (let i = da; i < a; i++) {
    if (!per[i].includes(scope)) {
      errore(dove, `${cosa} "${r.testo.slice(da, a)}" (column ${i + 1}) lacks ${scope}: has ${per[i].join(' ') || 'none'}`);
      return;
    }
  }
}

// The fields of a line as the reader splits them: [{ da, a, virgolette }] (da..a without the
// leading blanks; a quoted field is what stands between its quotes).
function campi(testo) {
  const esito = [];
  let i = 0;
  for (;;) {
    while (i < testo.length && (testo[i] === ' ' || testo[i] === '\t')) i++;
    if (testo[i] === '"') {
      const chiusa = testo.indexOf('"', i + 1);
      const fine = chiusa < 0 ? testo.length : chiusa;
      esito.push({ da: i + 1, a: fine, virgolette: true });
      i = testo.indexOf(',', fine);
    } else {
      const virgola = testo.indexOf(',', i);
      const fine = virgola < 0 ? testo.length : virgola;
      esito.push({ da: i, a: fine, virgolette: false });
      i = virgola;
    }
    if (i < 0) return esito;
    i++;
  }
}

// Every line of `testo` against its kind: heads, dash lines, keywords, and each value field.
function verifica(nome, testo, tipo) {
  const lingua = tipo === 'linea' ? LINEA : TRENO;
  let letto = false;
  for (const r of tokenizza(lingua, testo)) {
    const dove = `${nome}:${r.riga}`;
    const per = scope_per_carattere(r);
    const t = r.testo;
    if (!letto && /\[generale\]/i.test(t)) letto = true;
    if (t.trim() === '') continue;
    if (!letto) {
      controlla(dove, r, per, 0, t.length, PREAMBLE, 'the text before [generale]');
      continue;
    }
    const testata = t.match(/^[ \t]*\[([^\]]*)\][ \t]*$/);
    if (testata) {
      const da = t.indexOf('[') + 1;
      const nota = TESTATE[tipo].includes(`[${testata[1].toLowerCase()}]`);
      controlla(dove, r, per, da, da + testata[1].length, nota ? HEAD : BAD_HEAD, 'the head');
      continue;
    }
    if (/^[ \t]*[-=][-= \t]*$/.test(t)) {
      controlla(dove, r, per, 0, t.length, SEPARATOR, 'the dash line');
      continue;
    }
    const [primo, ...valori] = campi(t);
    const parola = t.slice(primo.da, primo.a).trimEnd();
    if (parola_nota(parola, tipo)) controlla(dove, r, per, primo.da, primo.da + parola.length, KEYWORD, 'the keyword');
    for (const c of valori) {
      const v = t.slice(c.da, c.a);
      if (c.virgolette) {
        controlla(dove, r, per, c.da, c.a, QUOTED, 'the quoted text');
      } else if (/^[-+]?[0-9. \t]*$/.test(v)) {
        for (const n of v.matchAll(/[-+]?[0-9.]*[0-9][0-9.]*/g))
          controlla(dove, r, per, c.da + n.index, c.da + n.index + n[0].length, NUMBER, 'the number');
      } else {
        controlla(dove, r, per, c.da, c.da + v.trimEnd().length, TEXT, 'the text');
      }
    }
  }
}

const cp1252 = new TextDecoder('windows-1252');
const lavoro = fs.mkdtempSync(path.join(os.tmpdir(), 'gs-grammatica-'));
try {
  // Every keyword and head the readers know, and the case rules.
  for (const tipo of ['linea', 'treno']) {
    for (const p of PAROLE[tipo]) verifica(`keyword ${p}`, `[generale]\n${p},  100\n`, tipo);
    for (const h of TESTATE[tipo]) verifica(`head ${h}`, `[generale]\n${h}\n`, tipo);
    const altre = TESTATE[tipo === 'linea' ? 'treno' : 'linea'].filter((h) => !TESTATE[tipo].includes(h));
    for (const h of altre) verifica(`head ${h} in the ${tipo} source`, `[generale]\n${h}\n`, tipo);
  }

  // The built-in sources and the guide's small scenario, as the program writes them.
  const scritti = [];
  for (const [cartella, opzioni] of [['incorporato', ['--built-in']], ['piccolo', ['--line-name', 'VALLE', '--train-name', 'R 101']]]) {
    const dir = path.join(lavoro, cartella);
    execFileSync(exe, ['new', dir, ...opzioni], { stdio: 'ignore' });
    for (const f of fs.readdirSync(dir).sort()) {
      const tipo = f.endsWith('_linea.txt') ? 'linea' : f.endsWith('-.txt') ? 'treno' : null;
      if (!tipo) continue;
      verifica(`${cartella}/${f}`, cp1252.decode(fs.readFileSync(path.join(dir, f))), tipo);
      scritti.push(f);
    }
  }
  if (scritti.length !== 4) errore('new', `wrote ${scritti.length} sources, not 4: ${scritti.join(', ')}`);

  // Every source example of the guide; fragments after a [generale] head, as the reader sees
  // them inside a source.
  const guida = fs.readFileSync(path.join(radice, 'docs/authoring.md'), 'utf8').split('\n');
  let esempi = 0;
  for (let i = 0; i < guida.length; i++) {
    const m = guida[i].match(/^```(line|train)-(source|general|records)\s*$/);
    if (!m) continue;
    const inizio = i + 1;
    let fine = inizio;
    while (fine < guida.length && !guida[fine].startsWith('```')) fine++;
    const corpo = guida.slice(inizio, fine).join('\n');
    const testo = m[2] === 'source' ? corpo : `[generale]\n${corpo}`;
    verifica(`docs/authoring.md:${inizio} (${m[1]}-${m[2]})`, testo, m[1] === 'line' ? 'linea' : 'treno');
    esempi++;
    i = fine;
  }
  if (esempi < 20) errore('docs/authoring.md', `only ${esempi} source examples found`);

  // The edges: [language, text, the scope each listed piece has (or, with "!", lacks)].
  const casi = [
    ['linea', 'PENDENZA,  7000,   3', [['PENDENZA', KEYWORD], ['7000', NUMBER]]],
    ['linea', 'Sfondo uno,    80000', [['Sfondo uno', '!' + KEYWORD], ['80000', NUMBER]]],
    ['linea', 'Progressiva chilometrica DUE,  0', [['Progressiva', '!' + KEYWORD]]],
    ['linea', 'progressiva chilometrica due,  0,  0,  0', [['progressiva chilometrica due', KEYWORD]]],
    ['linea', 'progressiva-chilometrica-due,    0', [['progressiva', '!' + KEYWORD]]],
    ['linea', 'pendenza 7000 3', [['pendenza', '!' + KEYWORD], ['7000', '!' + NUMBER]]],
    ['linea', 'pendenza,  6500,   -8', [['-8', NUMBER]]],
    ['linea', 'pendenza,  7000,   3.5', [['3.5', NUMBER]]],
    ['linea', 'ripetizione segnali 9 codici,  1000,  1500', [['ripetizione segnali 9 codici', KEYWORD], ['1500', NUMBER]]],
    ['linea', 'ripetizione segnali 4 codici,    0    ,0', [['0', NUMBER], ['0', NUMBER, 1]]],
    ['linea', 'indicatori_vmax,  1150,  70,  ,  ,  0', [['indicatori_vmax', KEYWORD], ['70', NUMBER]]],
    ['linea', 'cartello_indicatore,  3000,  "(PONTE, NORD    )(Km.9+000)"', [['(PONTE, NORD    )(Km.9+000)', QUOTED], ['NORD', '!' + TEXT]]],
    ['linea', 'cartello_indicatore,  35600,   (GALLERIA 2\u00b0     )(Mt.365 Km.64+357)', [['2\u00b0', TEXT], ['365', '!' + NUMBER]]],
    ['linea', 'curvax,  8000,  500', [['curvax', '!' + KEYWORD], ['8000', NUMBER]]],
    ['linea', '[pendenze]', [['pendenze', HEAD]]],
    ['linea', '  [Fine]  ', [['Fine', HEAD]]],
    ['linea', '[segnali]', [['segnali', BAD_HEAD]]],
    ['linea', '-----------------', [['-----', SEPARATOR]]],
    ['linea', '=====  ====', [['=====', SEPARATOR]]],
    ['treno', 'stazione,  8300, 28,  500,  0, 0, 0, 60,   5,41, 0, BELMONZA CITTA\'', [['BELMONZA CITTA\'', TEXT], ['41', NUMBER]]],
    ['treno', 'stazione,  4000,  5, 0, "BETA, BIVIO"', [['BETA, BIVIO', QUOTED]]],
    ['treno', 'orologio,    7               0            0', [['orologio', KEYWORD], ['7', NUMBER], ['0', NUMBER, 1]]],
    ['treno', 'velocit\u00e0,  0,  80', [['velocit\u00e0', KEYWORD]]],
    ['treno', 'VELOCITA,  0,  80', [['VELOCITA', KEYWORD]]],
    ['treno', 'rallentamneto,   10500,    60', [['rallentamneto', '!' + KEYWORD], ['10500', NUMBER]]],
    ['treno', 'pendenza,  0,  0', [['pendenza', '!' + KEYWORD]]],
    ['treno', '[curve]', [['curve', BAD_HEAD]]],
    ['treno', '[vel_limite]', [['vel_limite', HEAD]]],
  ];
  for (const [tipo, riga, attese] of casi) {
    const r = tokenizza(tipo === 'linea' ? LINEA : TRENO, `[generale]\n${riga}`)[1];
    const per = scope_per_carattere(r);
    for (const [pezzo, scope, volta = 0] of attese) {
      // The piece's occurrence number `volta` (from 0) on the line.
      let da = riga.indexOf(pezzo);
      for (let v = 0; v < volta && da >= 0; v++) da = riga.indexOf(pezzo, da + 1);
      if (da < 0) throw new Error(`${pezzo} not in ${riga}`);
      const nome = `${tipo}: ${riga}`;
      const testo_pezzo = pezzo;
      const a = da + pezzo.length;
      verifiche++;
      if (scope.startsWith('!')) {
        for (let i = da; i < a; i++) {
          if (per[i].includes(scope.slice(1))) {
            errore(nome, `"${testo_pezzo}" has ${scope.slice(1)}`);
            break;
          }
        }
      } else {
        controlla(nome, r, per, da, a, scope, 'the piece');
      }
    }
  }

  // Before [generale], nothing is read.
  verifica('preamble', 'A comment, with 3 numbers, 4\n------\n[generale]\nsabbia,  300\n', 'treno');

  if (mostra) {
    const esempio = '[generale]\nlunghezza percorso,    12000\n[indicazioni]\ncartello_indicatore,  4650,   (GALLERIA PROVA  )(Mt.600 Km.7+350)\n-----\n';
    for (const [l, t] of [[LINEA, esempio], [TRENO, '[generale]\norologio,    7               0            0\nstazione,    4000,  5,  400, "BETA, BIVIO"\n']]) {
      for (const r of tokenizza(l, t)) {
        if (r.testo === '') continue;
        console.log(r.testo);
        for (const g of r.gettoni) console.log(`  ${JSON.stringify(g.testo).padEnd(36)} ${g.scope.join(' ')}`);
      }
    }
  }
} finally {
  fs.rmSync(lavoro, { recursive: true, force: true });
}

console.log(`${verifiche} checks, ${errori} failed`);
process.exit(errori === 0 ? 0 : 1);

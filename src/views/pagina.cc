// The live route sheet's page. Its script is small and plain: it listens for compiles on an
// event stream, asks the server for the sheet of the part of the line on screen, and keeps
// the author's zoom across compiles. Everything it shows is text (the sheet is SVG), so the
// browser's find finds a station.
#include "views/pagina.h"

namespace gs {
namespace {

constexpr std::string_view kPagina = R"PAGINA(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Route sheet</title>
<style>
body { margin: 0; font: 14px/1.4 "DejaVu Sans", Arial, Helvetica, sans-serif; color: #222; }
header { display: flex; flex-wrap: wrap; gap: 6px 16px; align-items: baseline; padding: 8px 12px;
  background: #f4f4ef; border-bottom: 1px solid #ccc; position: sticky; top: 0; z-index: 2; }
h1 { font-size: 18px; margin: 0; }
#finestra input { width: 7em; }
#stato { color: #666; }
#diagnostiche { margin: 0; padding: 0; list-style: none; font-family: "DejaVu Sans Mono",
  Consolas, monospace; font-size: 13px; }
#diagnostiche li { padding: 3px 12px; border-bottom: 1px solid #eee; white-space: pre-wrap;
  overflow-wrap: anywhere; }
#diagnostiche li.error { background: #fde8e8; color: #900; }
#diagnostiche li.warning { background: #fdf6e0; color: #850; }
#diagnostiche li.note { color: #555; }
#fonte { margin: 6px 12px; padding: 6px 10px; border: 1px solid #bbb; background: #fafafa; }
#fonte pre { margin: 4px 0 0; white-space: pre-wrap; overflow-wrap: anywhere; }
#foglio { cursor: grab; touch-action: none; user-select: none; overflow-x: auto; }
/* On a narrow window the sheet keeps a readable size and scrolls sideways in its box. */
#foglio svg { display: block; width: 100%; min-width: 1100px; height: auto; }
#foglio.sbiadito { opacity: 0.35; filter: grayscale(1); }
#foglio [data-fonte] { cursor: pointer; }
#elenco { margin: 8px 12px 24px; }
#stazioni button { font: inherit; border: 0; background: none; color: #06c; cursor: pointer;
  padding: 0; text-align: left; }
</style>
</head>
<body data-versione="0">
<header>
<h1 id="titolo">Route sheet</h1>
<form id="finestra">km <input id="da" type="number" step="0.1" min="0" aria-label="from km">
to <input id="a" type="number" step="0.1" min="0" aria-label="to km">
<button type="submit">show</button> <button type="button" id="tutto">whole line</button></form>
<span id="stato">connecting&hellip;</span>
</header>
<ul id="diagnostiche"></ul>
<div id="fonte" hidden><code id="fonte-luogo"></code><pre id="fonte-testo"></pre></div>
<main id="foglio"></main>
<details id="elenco" open><summary>Stations</summary><ol id="stazioni"></ol></details>
<script>
'use strict';
// The strips span these x of the sheet's 5000 (its left margin holds the strip titles).
const SINISTRA = 190, DESTRA = 4950, LARGO = 5000, MINIMO = 100;
const vista = { da: 0, a: 0, estensione: 0, scelta: false };
let versione = 0, richiesta = 0, haFoglio = false;
const $ = (id) => document.getElementById(id);

function metti(da, a) {
  const e = vista.estensione;
  let ampio = Math.min(Math.max(a - da, MINIMO), Math.max(e, MINIMO));
  da = Math.min(Math.max(da, 0), Math.max(e - ampio, 0));
  vista.da = Math.round(da);
  vista.a = Math.round(da + ampio);
  $('da').value = (vista.da / 1000).toFixed(1);
  $('a').value = (vista.a / 1000).toFixed(1);
}

// Only the latest request is shown: an older answer arriving late is dropped.
async function disegna(v) {
  const n = ++richiesta;
  const r = await fetch(`/foglio?v=${v}&da=${vista.da}&a=${vista.a}`);
  if (n !== richiesta || !r.ok) return false;
  const svg = await r.text();
  if (n !== richiesta) return false;
  const foglio = $('foglio');
  foglio.style.minHeight = foglio.offsetHeight + 'px';  // no jump of the page's scroll
  foglio.innerHTML = svg;
  foglio.style.minHeight = '';
  haFoglio = true;
  return true;
}

function elenca(diagnostiche) {
  $('diagnostiche').replaceChildren(...diagnostiche.map((d) => {
    const li = document.createElement('li');
    li.className = d.severity;
    li.textContent = d.text;
    return li;
  }));
}

function stazioni(lista) {
  $('stazioni').replaceChildren(...lista.map((s) => {
    const li = document.createElement('li');
    const b = document.createElement('button');
    b.type = 'button';
    b.textContent = `${s.name} (km ${(s.m / 1000).toFixed(3)})`;
    b.onclick = () => { const l = vista.a - vista.da; metti(s.m - l / 2, s.m + l / 2);
      vista.scelta = true; disegna(versione); };
    li.append(b);
    return li;
  }));
}

async function compilato(e) {
  if (e.title) { $('titolo').textContent = 'Route sheet: ' + e.title; document.title = e.title; }
  if (e.extent !== undefined) {
    vista.estensione = e.extent;
    if (vista.scelta) metti(vista.da, vista.a); else metti(0, e.extent);
  }
  if (e.stations) stazioni(e.stations);
  elenca(e.diagnostics);
  const errori = e.diagnostics.filter((d) => d.severity === 'error').length;
  $('stato').textContent = e.ok ? `compile ${e.version}: no errors`
                                : `compile ${e.version}: ${errori} error(s)`;
  if (e.new_sheet || (!haFoglio && e.extent !== undefined)) await disegna(e.version);
  $('foglio').classList.toggle('sbiadito', !e.ok);
  versione = e.version;
  document.body.dataset.versione = String(e.version);
}

// Compiles arrive in order; each waits for the one before to be shown.
let coda = Promise.resolve();
const eventi = new EventSource('/eventi');
eventi.onmessage = (m) => { const e = JSON.parse(m.data); coda = coda.then(() => compilato(e)); };
eventi.onerror = () => { $('stato').textContent = 'disconnected: is serve still running?'; };

let attesa = 0;
function presto() { clearTimeout(attesa); attesa = setTimeout(() => disegna(versione), 40); }

// The metre under a point of the page, along the strips.
function riquadro() {
  const svg = $('foglio').querySelector('svg');
  return (svg || $('foglio')).getBoundingClientRect();
}
function metro(x) {
  const r = riquadro();
  const sx = (x - r.left) / r.width * LARGO;
  return vista.da + (sx - SINISTRA) / (DESTRA - SINISTRA) * (vista.a - vista.da);
}

$('foglio').addEventListener('wheel', (ev) => {
  if (!vista.estensione) return;
  ev.preventDefault();
  const m = metro(ev.clientX), k = Math.pow(1.2, Math.sign(ev.deltaY));
  metti(m - (m - vista.da) * k, m + (vista.a - m) * k);
  vista.scelta = true;
  presto();
}, { passive: false });

let trascina = null;
$('foglio').addEventListener('pointerdown', (ev) => {
  if (ev.button !== 0 || segnoVicino(ev.clientX, ev.clientY)) return;
  trascina = { x: ev.clientX, da: vista.da, a: vista.a };
  $('foglio').setPointerCapture(ev.pointerId);
});
$('foglio').addEventListener('pointermove', (ev) => {
  if (!trascina) return;
  const r = riquadro();
  const metriPx = (trascina.a - trascina.da) / ((DESTRA - SINISTRA) / LARGO * r.width);
  const d = (trascina.x - ev.clientX) * metriPx;
  metti(trascina.da + d, trascina.a + d);
  vista.scelta = true;
  presto();
});
$('foglio').addEventListener('pointerup', () => { trascina = null; });

$('finestra').addEventListener('submit', (ev) => {
  ev.preventDefault();
  metti(parseFloat($('da').value) * 1000, parseFloat($('a').value) * 1000);
  vista.scelta = true;
  disegna(versione);
});
$('tutto').onclick = () => { vista.scelta = false; metti(0, vista.estensione); disegna(versione); };

// The mark under the pointer, or one a few pixels beside it: a code point is a hairline.
function segnoVicino(x, y) {
  for (const d of [0, 3, -3, 6, -6]) {
    for (const e of document.elementsFromPoint(x + d, y)) {
      const segno = e.closest('[data-fonte]');
      if (segno) return segno;
    }
  }
  return null;
}

$('foglio').addEventListener('click', async (ev) => {
  const segno = segnoVicino(ev.clientX, ev.clientY);
  if (!segno) return;
  const r = await fetch(`/fonte?n=${segno.dataset.fonte}`);
  if (!r.ok) return;
  const f = await r.json();
  $('fonte-luogo').textContent = `${f.file}:${f.line}: ${f.what}`;
  $('fonte-testo').textContent = f.text;
  $('fonte').hidden = false;
});

// For scripts and tests: show metres `da` to `a`.
window.gsVista = (da, a) => { metti(da, a); vista.scelta = true; return disegna(versione); };
</script>
</body>
</html>
)PAGINA";

}  // namespace

std::string_view pagina_servita() { return kPagina; }

}  // namespace gs

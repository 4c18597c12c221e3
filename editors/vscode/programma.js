'use strict';
// Where the genera_scenario program is: the path the user set (genera_scenario.path), else the
// first `genera_scenario` on PATH, trying on Windows the console program (.com) before the
// window one (.exe), as cmd.exe does.
const fs = require('fs');
const path = require('path');

function eseguibile(file) {
  try {
    return fs.statSync(file).isFile();
  } catch {
    return false;
  }
}

// The program's full name, or null when it is not there. `ambiente` is the process environment,
// `piattaforma` process.platform; `esiste` tells whether a file is there.
function trova_programma(impostato, ambiente, piattaforma, esiste = eseguibile) {
  const windows = piattaforma === 'win32';
  const percorsi = windows ? path.win32 : path.posix;
  if (impostato && impostato.trim() !== '') {
    const file = impostato.trim();
    return esiste(file) ? file : null;
  }
  const nome_path = Object.keys(ambiente).find((k) => (windows ? k.toUpperCase() === 'PATH' : k === 'PATH'));
  const cartelle = nome_path ? ambiente[nome_path].split(windows ? ';' : ':') : [];
  const nomi = windows ? ['genera_scenario.com', 'genera_scenario.exe'] : ['genera_scenario'];
  for (const cartella of cartelle) {
    if (cartella === '') continue;
    const pulita = windows ? cartella.replace(/^"(.*)"$/, '$1') : cartella;
    for (const nome of nomi) {
      const file = percorsi.join(pulita, nome);
      if (esiste(file)) return file;
    }
  }
  return null;
}

// What the extension says, once, when the program is not found.
function messaggio_mancante(impostato) {
  if (impostato && impostato.trim() !== '') {
    return `genera_scenario: the program set in genera_scenario.path (${impostato.trim()}) does not exist; ` +
      'set genera_scenario.path to the genera_scenario program.';
  }
  return 'genera_scenario: the program was not found on PATH; set genera_scenario.path to the ' +
    'genera_scenario program (on Windows, genera_scenario.com from the zip).';
}

module.exports = { trova_programma, messaggio_mancante };

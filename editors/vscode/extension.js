'use strict';
// Starts `genera_scenario lsp` for the line and train sources and stops it with the editor;
// starts it again when genera_scenario.path changes. A missing program is said once, until the
// setting changes.
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');
const { trova_programma, messaggio_mancante } = require('./programma');

const LINGUE = ['genera-scenario-linea', 'genera-scenario-treno'];
let cliente = null;
let detto = false;

function impostato() {
  return vscode.workspace.getConfiguration('genera_scenario').get('path', '');
}

async function avvia() {
  const scelto = impostato();
  const programma = trova_programma(scelto, process.env, process.platform);
  if (programma === null) {
    if (!detto) {
      detto = true;
      const apri = 'Open Settings';
      const scelta = await vscode.window.showErrorMessage(messaggio_mancante(scelto), apri);
      if (scelta === apri) {
        await vscode.commands.executeCommand('workbench.action.openSettings', 'genera_scenario.path');
      }
    }
    return;
  }
  cliente = new LanguageClient(
    'genera_scenario',
    'genera_scenario',
    { command: programma, args: ['lsp'] },
    { documentSelector: LINGUE.map((language) => ({ scheme: 'file', language })) },
  );
  await cliente.start();
}

async function ferma() {
  const c = cliente;
  cliente = null;
  if (c) await c.stop();
}

function activate(contesto) {
  contesto.subscriptions.push(
    vscode.workspace.onDidChangeConfiguration(async (evento) => {
      if (!evento.affectsConfiguration('genera_scenario.path')) return;
      detto = false;
      await ferma();
      await avvia();
    }),
  );
  return avvia();
}

function deactivate() {
  return ferma();
}

module.exports = { activate, deactivate };

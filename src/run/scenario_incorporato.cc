// The built-in run, in its fixed order.
#include <cstdlib>
#include <sstream>
#include <string>

#include "common/errori.h"
#include "common/file_system.h"
#include "documents/documenti.h"
#include "platform/piattaforma.h"
#include "run/esecuzione.h"
#include "run/rapporto.h"
#include "run/riga_comando.h"
#include "scenario/scenario.h"

namespace gs {

void errore(std::string_view a) {
  piattaforma::mostra_messaggio(" Errore n. " + std::string(a) + "\n");
  std::exit(1);
}

int esegui_scenario() {
  Compilazione c;
  c.nome_linea = std::string(kNomeLinea);
  c.nome_treno = std::string(kNomeTreno);
  piattaforma::mostra_attesa();

  int32_t fermata = 0;
  try {
    const std::filesystem::path cartella = piattaforma::cartella_programma();
    const NomiFile nomi = nomi_file(cartella, c.nome_linea, c.nome_treno);
    // The sources, the documents and the compiled files of one run: a second run started
    // meanwhile waits, and never deletes the sources this one is about to read.
    const BloccoScrittura blocco(cartella);
    dati_linea(nomi.sorgente_linea);
    dati_treno(nomi.sorgente_treno);
    dati_note(nomi.note);
    dati_rallentamenti(nomi.rallentamenti);
    dati_scheda(nomi.scheda_treno);

    SorgentiSuDisco sorgenti(nomi.sorgente_linea, nomi.sorgente_treno, /*cancella=*/true);
    fermata = memorizza_percorso(c, 1, sorgenti, &nomi);
  } catch (const ErroreFile& e) {
    // Whoever double-clicked the program sees no console: the file and the reason go where
    // the run's other messages go.
    piattaforma::mostra_messaggio("genera_scenario: error: " + std::string(e.what()) + "\n");
    return kEsitoUso;
  }
  // Every recorded diagnostic at once: one message box, not one per line.
  const bool finestra = piattaforma::messaggi_in_finestra();
  OpzioniRapporto op;
  op.colore = !finestra && colore_per(2);
  op.caret = !finestra;
  std::ostringstream rapporto;
  riporta(c.registro, op, rapporto);
  if (!rapporto.str().empty()) piattaforma::mostra_messaggio(rapporto.str());
  if (fermata != 0) errore(std::to_string(fermata));
  return c.registro.ha_errori() ? 1 : 0;
}

}  // namespace gs

// The built-in run, in its fixed order.
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "documents/documenti.h"
#include "run/esecuzione.h"
#include "run/rapporto.h"
#include "scenario/scenario.h"

namespace gs {

void errore(std::string_view a) {
  std::cerr << " Errore n. " << a << std::endl;
  std::exit(1);
}

std::filesystem::path cartella_programma() {
  std::error_code ec;
  const std::filesystem::path programma = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path();
  return programma.parent_path();
}

int esegui_scenario() {
  Compilazione c;
  c.nome_linea = std::string(kNomeLinea);
  c.nome_treno = std::string(kNomeTreno);
  std::cout << "Attendere" << std::endl;

  const NomiFile nomi = nomi_file(cartella_programma(), c.nome_linea, c.nome_treno);
  dati_linea(nomi.sorgente_linea);
  dati_treno(nomi.sorgente_treno);
  dati_note(nomi.note);
  dati_rallentamenti(nomi.rallentamenti);
  dati_scheda(nomi.scheda_treno);

  SorgentiSuDisco sorgenti(nomi.sorgente_linea, nomi.sorgente_treno, /*cancella=*/true);
  const int32_t fermata = memorizza_percorso(c, 1, sorgenti, &nomi);
  OpzioniRapporto op;
  op.colore = colore_per(2);
  riporta(c.registro, op, std::cerr);
  if (fermata != 0) errore(std::to_string(fermata));
  return c.registro.ha_errori() ? 1 : 0;
}

}  // namespace gs

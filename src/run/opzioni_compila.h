// What compile, check and serve share: their options, the names the outputs take, the compile
// of two source texts and the writing of its files.
#ifndef GS_RUN_OPZIONI_COMPILA_H
#define GS_RUN_OPZIONI_COMPILA_H

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "compiler/compilatore.h"
#include "output/uscita.h"
#include "run/rapporto.h"

namespace gs {

struct Opzioni {
  bool scrivi = true;
  std::vector<std::string> sorgenti;  // the line source and the train source, as given (UTF-8)
  std::filesystem::path cartella;
  std::optional<std::string> nome_linea;
  std::optional<std::string> nome_treno;
  bool geometria = true;
  bool silenzioso = false;
  bool json = false;
  OpzioniRapporto rapporto;
};

// The names, checked, and the outputs they give; the reason to refuse otherwise. Afterwards
// both names are set when the outputs are to be written.
std::optional<std::string> prepara_nomi(Opzioni& o);

// Compiles the two source texts under the names of `o` (which the diagnostics give the files
// the options named). Returns what memorizza_percorso returns.
int32_t compila_testi(Compilazione& c, const Opzioni& o, std::string linea, std::string treno);

// The compiled files into the output folder, made if missing, while no other run writes there.
// A wait for another run's writing is told to `in_attesa`; `rinuncia`, asked while it lasts,
// gives it up: then nothing is written and nothing comes back.
std::optional<std::vector<FileScritto>> scrivi_in_cartella(
    const Opzioni& o, const Compilazione& c,
    const std::function<void(const std::filesystem::path&)>& in_attesa,
    const std::function<bool()>& rinuncia = {});

}  // namespace gs

#endif  // GS_RUN_OPZIONI_COMPILA_H

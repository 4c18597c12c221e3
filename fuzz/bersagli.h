// What each fuzz target does with one input; shared with the regression test that replays the
// inputs kept from earlier findings.
#ifndef GS_FUZZ_BERSAGLI_H
#define GS_FUZZ_BERSAGLI_H

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "common/errori.h"
#include "compiler/compilatore.h"
#include "compiler/lettore_campi.h"
#include "format/griglia.h"
#include "format/immagine_geometria.h"
#include "format/tabella.h"
#include "lsp/cornice.h"
#include "lsp/lsp.h"
#include "output/uscita.h"
#include "run/comando_lsp.h"
#include "run/esecuzione.h"
#include "views/disegna.h"
#include "views/fonti.h"
#include "views/ispeziona.h"

namespace gs::fuzz {

// The separator between the line source and the train source in a whole-compile input.
inline constexpr std::string_view kSeparatore = "\n#TRENO#\n";

// The field reader alone: each input byte in turn picks the next kind of field to read.
inline void prova_campi(const uint8_t* dati, std::size_t n) {
  if (n == 0) return;
  const std::string_view testo(reinterpret_cast<const char*>(dati) + 1, n - 1);
  LettoreCampi r(testo);
  uint8_t scelta = dati[0];
  try {
    while (!r.fine()) {
      switch (scelta % 5) {
        case 0:
          r.testo();
          break;
        case 1:
          r.i32("a");
          break;
        case 2:
          r.i16("b");
          break;
        case 3:
          r.u8("c");
          break;
        default:
          r.numero(-5, 5, "d");
          break;
      }
      scelta = static_cast<uint8_t>(scelta * 31 + 7);
      (void)r.riga();
    }
  } catch (const ErroreLettura&) {
  }
}

// The compile, then every image except a geometry too large to build in memory each time.
inline void compila(std::optional<std::string> linea, std::optional<std::string> treno, int32_t j) {
  Compilazione c;
  c.nome_linea = std::string(kNomeLinea);
  c.nome_treno = std::string(kNomeTreno);
  SorgentiInMemoria sorgenti(std::move(linea), std::move(treno));
  if (memorizza_percorso(c, j, sorgenti, nullptr) != 0) return;
  (void)immagine_tabella(c.stazioni);
  (void)immagine_griglia(c.celle.tutte());
  if (c.linea.ultimo_metro() < 200000) (void)immagine_geometria(c.linea);
}

// The line reader: the input is the line source, with a fixed small train source.
inline void prova_linea(const uint8_t* dati, std::size_t n) {
  compila(std::string(reinterpret_cast<const char*>(dati), n),
          std::string("[generale]\r\nvelocita, 0, 75\r\nsegnale, 4500, 1,3,0,0,0,0,0,0,0,0\r\n"),
          1);
}

// The whole compile: the input is a line source and a train source split at the separator;
// its last byte also chooses whether the geometry is built.
inline void prova_compila(const uint8_t* dati, std::size_t n) {
  const std::string_view tutto(reinterpret_cast<const char*>(dati), n);
  const std::size_t s = tutto.find(kSeparatore);
  const std::string linea(tutto.substr(0, s));
  const std::optional<std::string> treno =
      s == std::string_view::npos
          ? std::nullopt
          : std::optional<std::string>(tutto.substr(s + kSeparatore.size()));
  compila(linea, treno, n > 0 && (dati[n - 1] & 1) ? 0 : 1);
}

// The separators between a table, a grid and a geometry in a compiled-files input.
inline constexpr std::string_view kSeparatoreGriglia = "\n#GRIGLIA#\n";
inline constexpr std::string_view kSeparatoreGeometria = "\n#GEOMETRIA#\n";

// The decoders and views of compiled files: the input holds a table, a grid and a geometry
// split at the separators; each part that decodes is shown, and drawn when table and grid do.
inline void prova_compilati(const uint8_t* dati, std::size_t n) {
  std::string_view resto(reinterpret_cast<const char*>(dati), n);
  std::string_view parti[3];
  for (int i = 0; i < 3; ++i) {
    const std::string_view sep = i == 0 ? kSeparatoreGriglia : kSeparatoreGeometria;
    const std::size_t s = i < 2 ? resto.find(sep) : std::string_view::npos;
    parti[i] = resto.substr(0, s);
    if (s == std::string_view::npos) break;
    resto.remove_prefix(s + sep.size());
  }
  std::vector<FileIspezionato> file;
  std::optional<Stazioni> tabella;
  std::optional<std::vector<Cella>> griglia;
  std::optional<Geometria> geometria;
  try {
    tabella = decodifica_tabella(parti[0]);
    file.push_back({"t.sim", parti[0].size(), *tabella, std::nullopt});
  } catch (const ErroreFormato&) {
  }
  try {
    griglia = decodifica_griglia(parti[1]);
    file.push_back({"t.dat", parti[1].size(), *griglia, tabella});
  } catch (const ErroreFormato&) {
  }
  try {
    geometria = decodifica_geometria(parti[2]);
    file.push_back({"t_linea.dat", parti[2].size(), *geometria, std::nullopt});
  } catch (const ErroreFormato&) {
  }
  const bool tutto = n > 0 && (dati[0] & 1);
  (void)ispezione_testo(file, tutto);
  (void)ispezione_json(file, tutto);
  if (!tabella || !griglia) return;
  const Geometria* g = geometria ? &*geometria : nullptr;
  (void)disegna_tavola(*tabella, *griglia, g);
  // The live page's sheet: a window from the input's first bytes (inverted, past the end or
  // narrow as they come), and source places pointing in range, at none, and past the list.
  Fonti fonti;
  fonti.voci.push_back(
      {"t.txt", 1, 1, "the code point placed for the signal at 0 m", "the signal at 0 m"});
  for (std::size_t k = 0; k < griglia->size(); ++k)
    fonti.per_cella.push_back(static_cast<int32_t>(k % 3) - 1);
  const int64_t da = n > 1 ? int64_t{dati[1]} * 4000 - 100000 : 0;
  const int64_t a = n > 2 ? int64_t{dati[2]} * 4000 : 0;
  OpzioniTavola op;
  op.finestra = Finestra{da, a};
  op.fonti = &fonti;
  (void)disegna_tavola(*tabella, *griglia, g, op);
}

// The language server: the input is what its standard input gives it, handed over in pieces
// whose size the first byte chooses (and whether initialize has come already), the server
// compiling after each piece as it does when no more has come. Whatever it writes must be JSON.
// (Raw bytes, framing included: what neither test driver, sessione.h nor cliente_lsp.py, sends.)
inline void prova_lsp(const uint8_t* dati, std::size_t n) {
  if (n == 0) return;
  const std::size_t passo = 1 + static_cast<std::size_t>(dati[0] >> 1) * 61;
  lsp::Servitore servitore(
      [](std::string_view corpo) {
        if (nlohmann::json::parse(corpo, nullptr, false).is_discarded()) std::abort();
      },
      servizi_lsp());
  if (dati[0] & 1)
    servitore.ricevi(R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{}})");
  lsp::LettoreCornici lettore;
  std::string_view resto(reinterpret_cast<const char*>(dati) + 1, n - 1);
  while (!resto.empty() && !servitore.finito()) {
    lettore.aggiungi(resto.substr(0, passo));
    resto.remove_prefix(std::min(passo, resto.size()));
    while (auto c = lettore.prossima()) {
      if (c->guasto)
        servitore.guasto_cornice(c->testo);
      else
        servitore.ricevi(c->testo);
      if (servitore.finito()) return;
    }
    servitore.aggiorna();
  }
}

}  // namespace gs::fuzz

#endif  // GS_FUZZ_BERSAGLI_H

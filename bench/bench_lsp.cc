// The language server's keystroke-to-diagnostics time: from the bytes of one didChange read to
// its publishDiagnostics written, in the server's own process, for the built-in scenario and
// for the 1000000 m line; and how that time grows with the diagnostics on one line.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "common/file_system.h"
#include "common/nomi_file.h"
#include "lsp/cornice.h"
#include "lsp/lsp.h"
#include "lsp/uri.h"
#include "run/comando_lsp.h"
#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"
#include "sintetico.h"
#include "valori_su_una_riga.h"

namespace gs {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::string cornice(const json& m) { return lsp::incornicia(m.dump()); }

// didOpen of a source, its Windows-1252 text as the editor holds it.
json apertura(const std::string& uri, const std::string& testo_1252) {
  return {{"jsonrpc", "2.0"},
          {"method", "textDocument/didOpen"},
          {"params",
           {{"textDocument",
             {{"uri", uri},
              {"languageId", "plaintext"},
              {"version", 1},
              {"text", utf8_da_1252(testo_1252)}}}}}};
}

// The server with a pair of sources on disk, both open; each iteration types one character into
// one of them (and takes it away at the next), as fast as the server answers.
void battito(benchmark::State& state, const char* nome, const std::string& linea,
             const std::string& treno, bool nella_linea) {
  const fs::path dir = fs::temp_directory_path() /
                       (std::string("gs_bench_lsp_") + nome + "_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path file_linea = dir / "MIA_linea.txt", file_treno = dir / "MIA_D 1-.txt";
  scrivi_file(file_linea, linea);
  scrivi_file(file_treno, treno);
  int pubblicate = 0;
  lsp::Servitore servitore(
      [&](std::string_view corpo) {
        pubblicate += corpo.find("publishDiagnostics") != std::string_view::npos;
      },
      servizi_lsp());
  lsp::LettoreCornici lettore;
  const auto ricevi = [&](const std::string& byte) {
    lettore.aggiungi(byte);
    while (auto c = lettore.prossima()) servitore.ricevi(c->testo);
  };
  ricevi(cornice(
      {{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", json::object()}}));
  const std::string uri_linea = lsp::uri_da_percorso(file_linea.generic_string());
  const std::string uri_treno = lsp::uri_da_percorso(file_treno.generic_string());
  for (const auto& [uri, testo] : {std::pair{uri_linea, &linea}, std::pair{uri_treno, &treno}}) {
    ricevi(cornice(apertura(uri, *testo)));
  }
  servitore.aggiorna();
  // A blank typed at the end of the first line, then taken away.
  const std::string& bersaglio = nella_linea ? uri_linea : uri_treno;
  const int fine_riga = static_cast<int>((nella_linea ? linea : treno).find('\r'));
  int versione = 1;
  for (auto _ : state) {
    ++versione;
    const bool togli = versione % 2 == 1;
    json modifica = json::object();
    modifica["range"]["start"] = {{"line", 0}, {"character", fine_riga}};
    modifica["range"]["end"] = {{"line", 0}, {"character", fine_riga + (togli ? 1 : 0)}};
    modifica["text"] = togli ? "" : " ";
    const std::string byte =
        cornice({{"jsonrpc", "2.0"},
                 {"method", "textDocument/didChange"},
                 {"params",
                  {{"textDocument", {{"uri", bersaglio}, {"version", versione}}},
                   {"contentChanges", json::array({modifica})}}}});
    const int prima = pubblicate;
    ricevi(byte);
    servitore.aggiorna();
    if (pubblicate == prima) state.SkipWithError("the change published no diagnostics");
  }
  fs::remove_all(dir);
}

void BM_LspBattitoScenarioIncorporato(benchmark::State& state) {
  battito(state, "incorporato", componi_testo(righe_linea()), componi_testo(righe_treno()), false);
}
BENCHMARK(BM_LspBattitoScenarioIncorporato)->Unit(benchmark::kMillisecond);

void BM_LspBattitoLineaScenarioIncorporato(benchmark::State& state) {
  battito(state, "incorporato_linea", componi_testo(righe_linea()), componi_testo(righe_treno()),
          true);
}
BENCHMARK(BM_LspBattitoLineaScenarioIncorporato)->Unit(benchmark::kMillisecond);

void BM_LspBattitoLinea1000km(benchmark::State& state) {
  battito(state, "1000km", bench::linea_sintetica(), bench::treno_sintetico(), false);
}
BENCHMARK(BM_LspBattitoLinea1000km)->Unit(benchmark::kMillisecond);

void BM_LspBattitoLineaLinea1000km(benchmark::State& state) {
  battito(state, "1000km_linea", bench::linea_sintetica(), bench::treno_sintetico(), true);
}
BENCHMARK(BM_LspBattitoLineaLinea1000km)->Unit(benchmark::kMillisecond);

// Each iteration compiles the train source in the server, with 8000 and then with 32000 values
// on one line, from the change sent to the diagnostics published. Four times the diagnostics
// should take about four times as long (valori_su_una_riga.h).
void BM_LspValoriSuUnaRiga(benchmark::State& state) {
  const fs::path dir =
      fs::temp_directory_path() / ("gs_bench_lsp_valori_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  scrivi_file(dir / "MIA_linea.txt", componi_testo(righe_linea()));
  const std::string uri = lsp::uri_da_percorso((dir / "MIA_D 1-.txt").generic_string());
  const std::string testi[2] = {utf8_da_1252(bench::treno_con_valori(bench::kPochiValori)),
                                utf8_da_1252(bench::treno_con_valori(bench::kMoltiValori))};
  int pubblicate = 0;
  lsp::Servitore servitore(
      [&](std::string_view corpo) {
        pubblicate += corpo.find("publishDiagnostics") != std::string_view::npos;
      },
      servizi_lsp());
  servitore.ricevi(
      json({{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", json::object()}})
          .dump());
  servitore.ricevi(apertura(uri, componi_testo(righe_treno())).dump());
  servitore.aggiorna();
  int versione = 1;
  double secondi[2] = {0, 0};
  for (auto _ : state) {
    double questa = 0;
    for (int i = 0; i < 2; ++i) {
      const std::string corpo = json({{"jsonrpc", "2.0"},
                                      {"method", "textDocument/didChange"},
                                      {"params",
                                       {{"textDocument", {{"uri", uri}, {"version", ++versione}}},
                                        {"contentChanges", json::array({{{"text", testi[i]}}})}}}})
                                    .dump();
      const int prima = pubblicate;
      const auto inizio = std::chrono::steady_clock::now();
      servitore.ricevi(corpo);
      servitore.aggiorna();
      const double s =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
      if (pubblicate == prima) state.SkipWithError("the change published no diagnostics");
      secondi[i] += s;
      questa += s;
    }
    state.SetIterationTime(questa);
  }
  bench::rapporto_dei_tempi(state, secondi[0], secondi[1]);
  fs::remove_all(dir);
}
BENCHMARK(BM_LspValoriSuUnaRiga)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace gs

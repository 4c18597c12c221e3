// The compile from source files to compiled files, at the built-in size and at the largest.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>
#include <string>

#include "common/file_system.h"
#include "common/nomi_file.h"
#include "run/esecuzione.h"
#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"
#include "sintetico.h"

namespace gs {
namespace {

namespace fs = std::filesystem;

fs::path cartella(const char* nome) {
  const fs::path p = fs::temp_directory_path() /
                     (std::string("gs_bench_") + nome + "_" + std::to_string(::getpid()));
  fs::create_directories(p);
  return p;
}

void compila(benchmark::State& state, const fs::path& dir, const std::string& linea,
             const std::string& treno) {
  const NomiFile nomi = nomi_file(dir, std::string(kNomeLinea), std::string(kNomeTreno));
  scrivi_file(nomi.sorgente_linea, linea);
  scrivi_file(nomi.sorgente_treno, treno);
  for (auto _ : state) {
    Compilazione c;
    c.nome_linea = std::string(kNomeLinea);
    c.nome_treno = std::string(kNomeTreno);
    SorgentiSuDisco sorgenti(nomi.sorgente_linea, nomi.sorgente_treno, /*cancella=*/false);
    if (memorizza_percorso(c, 1, sorgenti, &nomi) != 0 || c.registro.n_errore != 0)
      state.SkipWithError("the compile recorded an error");
    benchmark::DoNotOptimize(c.celle.ultimo());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(fs::file_size(nomi.geometria) +
                                               fs::file_size(nomi.griglia) +
                                               fs::file_size(nomi.tabella)));
  fs::remove_all(dir);
}

void BM_CompilaScenarioIncorporato(benchmark::State& state) {
  compila(state, cartella("incorporato"), componi_testo(righe_linea()),
          componi_testo(righe_treno()));
}
BENCHMARK(BM_CompilaScenarioIncorporato)->Unit(benchmark::kMillisecond);

void BM_CompilaLinea1000km(benchmark::State& state) {
  compila(state, cartella("1000km"), bench::linea_sintetica(), bench::treno_sintetico());
}
BENCHMARK(BM_CompilaLinea1000km)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace gs

BENCHMARK_MAIN();

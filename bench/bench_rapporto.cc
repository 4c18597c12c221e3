// check's text report of many diagnostics on one long line: its time grows with the number of
// diagnostics, not with their number times the line's length. One run reports both sizes and
// their ratio (valori_su_una_riga.h).
#include <benchmark/benchmark.h>

#include <chrono>
#include <sstream>
#include <string>

#include "run/esecuzione.h"
#include "run/opzioni_compila.h"
#include "run/rapporto.h"
#include "valori_su_una_riga.h"

namespace gs {
namespace {

// Seconds for the compile of `check` and its report with carets.
double secondi_check(const std::string& linea, const std::string& treno) {
  const auto inizio = std::chrono::steady_clock::now();
  Opzioni o;
  o.scrivi = false;
  o.sorgenti = {"L_linea.txt", "L_T-.txt"};
  Compilazione c;
  compila_testi(c, o, linea, treno);
  std::ostringstream rapporto;
  riporta(c.registro, o.rapporto, rapporto);
  benchmark::DoNotOptimize(rapporto.str().size());
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
}

void BM_CheckValoriSuUnaRiga(benchmark::State& state) {
  const std::string linea = componi_testo(righe_linea());
  const std::string pochi = bench::treno_con_valori(bench::kPochiValori);
  const std::string molti = bench::treno_con_valori(bench::kMoltiValori);
  double t8 = 0, t32 = 0;
  for (auto _ : state) {
    t8 += secondi_check(linea, pochi);
    t32 += secondi_check(linea, molti);
  }
  bench::rapporto_dei_tempi(state, t8, t32);
}
BENCHMARK(BM_CheckValoriSuUnaRiga)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace gs

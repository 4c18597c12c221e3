// check's text report of many diagnostics on one long line: its time grows with the number of
// diagnostics, not with their number times the line's length. One run reports both sizes and
// their ratio (about 4 when it is linear; 16 when it is quadratic).
#include <benchmark/benchmark.h>

#include <chrono>
#include <sstream>
#include <string>

#include "run/esecuzione.h"
#include "run/opzioni_compila.h"
#include "run/rapporto.h"
#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"

namespace gs {
namespace {

// The built-in train source with `n` values on one line before its end: each is a value where
// a record keyword is expected, one warning apiece.
std::string treno_con_valori(int n) {
  std::string treno = componi_testo(righe_treno());
  std::string valori;
  for (int i = 0; i < n; ++i) valori += i == 0 ? "7" : ", 7";
  return treno.insert(treno.rfind("[fine]"), valori + "\r\n");
}

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
  const std::string pochi = treno_con_valori(8000), molti = treno_con_valori(32000);
  double t8 = 0, t32 = 0;
  for (auto _ : state) {
    t8 += secondi_check(linea, pochi);
    t32 += secondi_check(linea, molti);
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["s_8000"] = t8 / n;
  state.counters["s_32000"] = t32 / n;
  state.counters["ratio"] = t32 / t8;
}
BENCHMARK(BM_CheckValoriSuUnaRiga)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace gs

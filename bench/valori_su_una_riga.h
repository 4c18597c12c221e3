// What the benchmarks of many diagnostics on one line share: the train source that gives them,
// and the verdict on the times of 8000 and 32000 of them. Four times the diagnostics should take
// about four times as long; a ratio above 6 (time that grows with the square of the diagnostics
// on a line) fails the run.
#ifndef GS_BENCH_VALORI_SU_UNA_RIGA_H
#define GS_BENCH_VALORI_SU_UNA_RIGA_H

#include <benchmark/benchmark.h>

#include <string>

#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"

namespace gs::bench {

inline constexpr int kPochiValori = 8000;
inline constexpr int kMoltiValori = 32000;

// The built-in train source with one line of `valori` values too many: one warning each, all on
// that line.
inline std::string treno_con_valori(int valori) {
  std::string t = componi_testo(righe_treno());
  const std::size_t dopo = t.find("\r\n", t.find("aderenza,")) + 2;
  std::string riga = "aderenza, 0, 90";
  for (int i = 0; i < valori; ++i) riga += ", 1";
  return t.insert(dopo, riga + "\r\n");
}

// The counters ms_8000, ms_32000 and ratio from the seconds summed over the iterations.
inline void rapporto_dei_tempi(benchmark::State& state, double secondi_pochi,
                               double secondi_molti) {
  const double n = static_cast<double>(state.iterations());
  state.counters["ms_8000"] = 1000 * secondi_pochi / n;
  state.counters["ms_32000"] = 1000 * secondi_molti / n;
  const double rapporto = secondi_pochi > 0 ? secondi_molti / secondi_pochi : 0;
  state.counters["ratio"] = rapporto;
  if (rapporto > 6) {
    const std::string perche = "32000 values on a line take " + std::to_string(rapporto) +
                               " times the time of 8000 (" + std::to_string(secondi_molti / n) +
                               " s), over 6";
    state.SkipWithError(perche.c_str());
  }
}

}  // namespace gs::bench

#endif  // GS_BENCH_VALORI_SU_UNA_RIGA_H

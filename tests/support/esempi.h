// The sources of a cause's example: the small scenario that `new` writes with the example's
// records added, or the example's whole sources in its place.
#ifndef GS_TESTS_SUPPORT_ESEMPI_H
#define GS_TESTS_SUPPORT_ESEMPI_H

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "common/cause.h"
#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"

namespace gs::test {

// Lines given with \n as a source's lines, each ended by CR LF.
inline std::string intera(std::string_view testo) {
  std::string righe;
  std::size_t i = 0;
  while (i < testo.size()) {
    const std::size_t fine = std::min(testo.find('\n', i), testo.size());
    righe += std::string(testo.substr(i, fine - i)) + "\r\n";
    i = fine + 1;
  }
  return righe;
}

// `testo` inserted into `sorgente` just before the line `prima_di`.
inline std::string inserisci(std::string sorgente, std::string_view prima_di,
                             std::string_view testo) {
  const std::size_t p = sorgente.find("\r\n" + std::string(prima_di) + "\r\n");
  EXPECT_NE(p, std::string::npos) << prima_di;
  return sorgente.insert(p + 2, intera(testo));
}

// The line source and the train source of a cause's example; none for a cause that only says
// when it happens.
inline std::optional<std::pair<std::string, std::string>> sorgenti_esempio(const Causa& c) {
  if (c.generale.empty() && c.linea.empty() && c.treno.empty() && !c.linea_intera &&
      !c.treno_intera)
    return std::nullopt;
  std::string l = c.linea_intera ? intera(c.linea) : componi_testo(righe_linea_esempio());
  std::string t = c.treno_intera ? intera(c.treno) : componi_testo(righe_treno_esempio());
  if (!c.generale.empty()) l = inserisci(l, "[curve]", c.generale);
  if (!c.linea.empty() && !c.linea_intera) l = inserisci(l, "[fine]", c.linea);
  if (!c.treno.empty() && !c.treno_intera) t = inserisci(t, "[codici]", c.treno);
  return std::pair{std::move(l), std::move(t)};
}

}  // namespace gs::test

#endif  // GS_TESTS_SUPPORT_ESEMPI_H

// Helpers shared by the scenario tests: a scratch folder and strict field parsers that read
// the source lines without trusting their layout.
#ifndef GS_TESTS_SCENARIO_AIUTI_TEST_H
#define GS_TESTS_SCENARIO_AIUTI_TEST_H

#include <gtest/gtest.h>

#include "support/cartella.h"

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gs::test {

// The fields of a line, split at every comma.
inline std::vector<std::string_view> campi(std::string_view riga) {
  std::vector<std::string_view> out;
  for (;;) {
    const auto virgola = riga.find(',');
    out.push_back(riga.substr(0, virgola));
    if (virgola == std::string_view::npos) return out;
    riga.remove_prefix(virgola + 1);
  }
}

// A bare decimal integer: optional minus, digits, no leading zero unless the number is 0.
inline std::optional<int64_t> intero(std::string_view testo) {
  std::string_view cifre = testo;
  if (!cifre.empty() && cifre.front() == '-') cifre.remove_prefix(1);
  if (cifre.empty() || (cifre.size() > 1 && cifre.front() == '0')) return std::nullopt;
  for (const char c : cifre)
    if (c < '0' || c > '9') return std::nullopt;
  int64_t v = 0;
  const auto [fine, err] = std::from_chars(testo.data(), testo.data() + testo.size(), v);
  if (err != std::errc{} || fine != testo.data() + testo.size()) return std::nullopt;
  return v;
}

// A value written as exactly `spazi` blanks and then the number.
inline std::optional<int64_t> dopo_spazi(std::string_view campo, std::size_t spazi) {
  if (campo.size() <= spazi || campo.find_first_not_of(' ') != spazi) return std::nullopt;
  return intero(campo.substr(spazi));
}

// A number right-aligned in a column of `larghezza` characters.
inline std::optional<int64_t> in_colonna(std::string_view campo, std::size_t larghezza) {
  if (campo.size() != larghezza) return std::nullopt;
  const auto inizio = campo.find_first_not_of(' ');
  if (inizio == std::string_view::npos) return std::nullopt;
  return intero(campo.substr(inizio));
}

// The lines of a table up to (not including) its end marker.
inline std::span<const std::string_view> senza_marcatore(std::span<const std::string_view> tabella,
                                                         std::string_view marcatore) {
  for (std::size_t i = 0; i < tabella.size(); ++i)
    if (tabella[i] == marcatore) return tabella.first(i);
  return tabella;
}

}  // namespace gs::test

#endif  // GS_TESTS_SCENARIO_AIUTI_TEST_H

// Plain ASCII text as the sources, the file names and the protocols use it: case folded only for
// A to Z (a source's bytes above 127 are Windows-1252 letters, which keep their case), and blanks
// that are spaces and tabs. Written once for the readers, the language server and serve.
#ifndef GS_COMMON_ASCII_H
#define GS_COMMON_ASCII_H

#include <algorithm>
#include <string_view>

namespace gs {

constexpr char minuscola(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal but for the case of A to Z.
constexpr bool uguali_ic(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return minuscola(x) == minuscola(y);
         });
}

inline bool contiene(std::string_view campo, std::string_view parola) {
  return campo.find(parola) != std::string_view::npos;
}

// `parola` anywhere in `campo`, but for the case of A to Z.
inline bool contiene_ic(std::string_view campo, std::string_view parola) {
  if (parola.size() > campo.size()) return false;
  return std::search(campo.begin(), campo.end(), parola.begin(), parola.end(),
                     [](char a, char b) { return minuscola(a) == minuscola(b); }) != campo.end();
}

// Without the spaces and tabs at either end.
constexpr std::string_view senza_spazi(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The last part of a path written with "/": the file's name.
constexpr std::string_view nome_file(std::string_view percorso) {
  const std::size_t barra = percorso.find_last_of('/');
  return barra == std::string_view::npos ? percorso : percorso.substr(barra + 1);
}

}  // namespace gs

#endif  // GS_COMMON_ASCII_H

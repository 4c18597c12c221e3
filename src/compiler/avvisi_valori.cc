// Warnings on values that read well but that an author hardly means: a name or board text left
// empty or holding a control character.
#include <string>

#include "compiler/lettori.h"

namespace gs {
namespace {

std::string due_cifre(int32_t v) {
  std::string s = std::to_string(v);
  return v >= 0 && v < 10 ? "0" + s : s;
}

// What a control byte is, for the author: "\x09, a tab".
std::string controllo(unsigned char b) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string s = "\\x";
  s += kHex[b >> 4];
  s += kHex[b & 0xF];
  if (b == '\t') s += ", a tab";
  if (b == '\r' || b == '\n') s += ", a line break";
  return s;
}

}  // namespace

std::string testo_orario(int32_t ore, int32_t minuti, int32_t secondi) {
  return std::to_string(ore) + ":" + due_cifre(minuti) + ":" + due_cifre(secondi);
}

void LettoreSorgente::controlla_nome(std::string_view nome, std::size_t campo,
                                     std::string_view cosa, const std::string& di) {
  // Trailing blanks are how names are padded, and are kept as written.
  if (nome.find_first_not_of(' ') == std::string_view::npos) {
    reg().avviso(
        detto(IdCausa::kNomeVuoto, {{"what", cosa}, {"X", di}, {nome.empty() ? "" : "BLANKS", ""}}),
        valore(campo));
    return;
  }
  for (const char c : nome) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b != 0x7F) continue;
    reg().avviso(detto(IdCausa::kNomeControllo,
                       {{"what", cosa}, {"N", citazione(nome)}, {"X", di}, {"C", controllo(b)}}),
                 valore(campo));
    return;
  }
}

}  // namespace gs

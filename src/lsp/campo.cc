#include "lsp/campo.h"

namespace gs::lsp {

std::size_t fine_campo(std::string_view riga, std::size_t inizio) {
  if (inizio >= riga.size()) return riga.size();
  if (riga[inizio] == '"') {
    const std::size_t chiusa = riga.find('"', inizio + 1);
    return chiusa == std::string_view::npos ? riga.size() : chiusa + 1;
  }
  const char primo = riga[inizio];
  const bool numero = primo == '-' || (primo >= '0' && primo <= '9');
  std::size_t fine = inizio;
  while (fine < riga.size() && riga[fine] != ',' && !(numero && riga[fine] == ' ')) ++fine;
  while (fine > inizio && (riga[fine - 1] == ' ' || riga[fine - 1] == '\t')) --fine;
  return fine;
}

}  // namespace gs::lsp

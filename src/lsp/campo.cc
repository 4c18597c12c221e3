#include "lsp/campo.h"

#include <limits>

#include "common/errori.h"
#include "compiler/lettore_campi.h"

namespace gs::lsp {

std::size_t fine_campo(std::string_view riga, std::size_t inizio) {
  if (inizio >= riga.size()) return riga.size();
  const std::string_view resto = riga.substr(inizio);
  LettoreCampi lettore(resto);
  const char primo = resto.front();
  try {
    if (primo == '-' || (primo >= '0' && primo <= '9'))
      lettore.numero(std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(), "");
    else
      lettore.testo();
  } catch (const ErroreLettura&) {
    // A number that is not one still has its extent.
  }
  std::size_t fine = inizio + lettore.estensione().fine;
  if (primo != '"') {
    while (fine > inizio && (riga[fine - 1] == ' ' || riga[fine - 1] == '\t')) --fine;
  }
  return fine;
}

}  // namespace gs::lsp

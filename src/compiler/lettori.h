// The two halves of memorizza_dati, shared by its pieces only.
#ifndef GS_COMPILER_LETTORI_H
#define GS_COMPILER_LETTORI_H

#include <cstdint>
#include <string_view>

#include "compiler/compilatore.h"
#include "compiler/lettore_campi.h"

namespace gs {

struct EsitoLinea {
  bool leggi_treno = false;  // false: the line part stopped with an error of its own
  int32_t limite_cartelli = kPrimoCartello;  // B: the next free board entry
};

EsitoLinea leggi_linea(Compilazione& c, Sorgenti& sorgenti);
void leggi_treno(Compilazione& c, Sorgenti& sorgenti, int32_t limite_cartelli);

// The next keyword field after at most `trattini` fields holding "-"; false at the end of
// the file, reached right after the keyword or a dropped field.
bool parola_chiave(LettoreCampi& r, int trattini, std::string_view& campo);

// A record's position is inside the grid when (position + margine) / 50 does not exceed U.
bool raggiunge(const Celle& celle, int64_t posizione, int64_t margine);

// A text field that fits a table record (16-bit length).
std::string_view testo_record(LettoreCampi& r, std::string_view campo);

}  // namespace gs

#endif  // GS_COMPILER_LETTORI_H

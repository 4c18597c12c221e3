// The markers and the race codes stamped into the table and the grid once both are complete.
#include "format/codici_gara.h"
#include "output/uscita.h"

namespace gs {

int32_t timbra(Compilazione& c) {
  Stazione& linea = c.stazioni[kVoceLinea];
  Cella& prima = c.celle[1];
  if (linea.marcatore() != 0 || prima.dato1 != 0) return kMarcatori;
  linea.marcatore() = kMarcatoreTabella;
  prima.dato1 = kMarcatoreGriglia;
  if (linea.orario != 0 || prima.dato2 != 0) return kCodiciGara;
  linea.orario = codice_gara_st(c.stazioni);
  prima.dato2 = codice_gara_og(c.stazioni);
  return 0;
}

}  // namespace gs

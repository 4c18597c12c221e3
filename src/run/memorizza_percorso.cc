#include "output/uscita.h"
#include "run/esecuzione.h"

namespace gs {
namespace {

// A marker or race-code slot already taken: a point stands in cell 1, whose data the marker
// and the race code take. Named at the record that put it there.
void slot_preso(Compilazione& c, int32_t errore) {
  const Origine* o = c.celle.origine(1);
  c.registro.errore(detto(errore == kMarcatori ? IdCausa::kMarcatori : IdCausa::kCodiciGara,
                          {{"X", c.celle.descrivi(1)}}),
                    o != nullptr ? o->luogo : Luogo{});
}

}  // namespace

int32_t memorizza_percorso(Compilazione& c, int32_t j, Sorgenti& sorgenti, const NomiFile* nomi) {
  c.j = j;
  c.registro.n_errore = 0;
  c.stazioni = Stazioni{};
  // Without a grid there is nothing to write.
  if (!compila_in_memoria(c, sorgenti))
    return c.registro.n_errore != 0 ? c.registro.n_errore : kLettura;
  if (const int32_t e = timbra(c); e != 0) {
    slot_preso(c, e);
    return e;
  }
  if (nomi != nullptr) scrivi_compilati(c, *nomi);
  return 0;
}

}  // namespace gs

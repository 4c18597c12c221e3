#include "output/uscita.h"
#include "run/esecuzione.h"

namespace gs {
namespace {

// A marker or race-code slot already taken: a point stands in cell 1, whose data the marker
// and the race code take. Named at the record that put it there.
void slot_preso(Compilazione& c, int32_t errore) {
  std::string m = std::string(errore == kMarcatori ? "the marker slots are not empty"
                                                   : "the race-code slots are not empty") +
                  ": cell 1 (0 m) holds " + c.celle.descrivi(1) + ", and the " +
                  (errore == kMarcatori ? "marker" : "race code") +
                  " goes into its data; no point may stand within 25 m of 0 m";
  const Origine* o = c.celle.origine(1);
  c.registro.errore(errore, o != nullptr ? o->luogo : Luogo{}, std::move(m));
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

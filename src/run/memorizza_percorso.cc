#include "output/uscita.h"
#include "run/esecuzione.h"

namespace gs {

int32_t memorizza_percorso(Compilazione& c, int32_t j, Sorgenti& sorgenti, const NomiFile* nomi) {
  c.j = j;
  c.registro.n_errore = 0;
  c.stazioni = Stazioni{};
  memorizza_dati(c, sorgenti);
  // Without a grid there is nothing to place code points in or to write.
  if (!c.celle.dimensionata()) return c.registro.n_errore != 0 ? c.registro.n_errore : kLettura;
  passa_codici(c.celle, c.registro);
  if (const int32_t e = timbra(c); e != 0) return e;
  if (nomi != nullptr) scrivi_compilati(c, *nomi);
  return 0;
}

}  // namespace gs

#include "run/rapporto.h"

namespace gs {

void riporta(const Registro& registro, std::ostream& uscita) {
  for (const Diagnostica& d : registro.elenco()) uscita << formatta(d) << '\n';
  uscita.flush();
}

}  // namespace gs

// What a compile holds, as check sums it up.
#include "compiler/compilatore.h"

namespace gs {

Conteggio conta(const Compilazione& c) {
  Conteggio n;
  n.stazioni = c.stazioni_lette;
  for (const Cella& cella : c.celle.tutte()) {
    n.segnali += cella.tipo == kSegnale;
    n.rallentamenti += cella.tipo == kInizioRallentamento;
    n.indicatori += cella.tipo == kIndicatoreVelocita;
    n.cartelli += cella.tipo == kCartelloIndicatore;
  }
  n.celle = static_cast<int64_t>(c.celle.tutte().size());
  return n;
}

}  // namespace gs

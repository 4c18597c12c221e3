// The whole compile in memory: both readers, then the code-point pass over the grid they built.
#include "compiler/compilatore.h"

namespace gs {

int32_t compila_in_memoria(Compilazione& c, int32_t j, Sorgenti& sorgenti) {
  c.j = j;
  c.registro.n_errore = 0;
  c.stazioni = Stazioni{};
  memorizza_dati(c, sorgenti);
  // Without a grid there is nothing to place code points in.
  if (!c.celle.dimensionata()) return c.registro.n_errore != 0 ? c.registro.n_errore : kLettura;
  passa_codici(c.celle, c.registro);
  return 0;
}

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

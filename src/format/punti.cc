// The packing of signals and speed boards into their cells.
#include "format/punti.h"

#include <limits>

#include "common/numeri.h"

namespace gs {
namespace {

// A speed-board datum: a real rounded to a signed 16-bit value.
bool dato_indicatore(int32_t destra, int32_t sinistra, int16_t& dato) {
  const int64_t v =
      arrotonda(static_cast<double>(destra) / 5.0 + static_cast<double>(sinistra) * 20.0);
  if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
    return false;
  dato = static_cast<int16_t>(v);
  return true;
}

}  // namespace

uint8_t preavviso_segnale(const Segnale& s, int64_t b) { return basso_8(lati_segnale(s) * 10 + b); }

void codifica_segnale(const Segnale& s, Cella& c) {
  c.dato4 = basso_16(int64_t{s.rapp} * 10 + lati_segnale(s));
  c.dato1 = basso_16(int64_t{s.s1} * 10 + s.d1);
  c.dato2 = basso_16(int64_t{s.s2} * 10 + s.d2);
  c.dato3 = basso_16(int64_t{s.s3} * 10 + s.d3);
}

Segnale decodifica_segnale(const Cella& c) {
  Segnale s;
  s.s1 = quoziente(c.dato1, 10);
  s.d1 = resto(c.dato1, 10);
  s.s2 = quoziente(c.dato2, 10);
  s.d2 = resto(c.dato2, 10);
  s.s3 = quoziente(c.dato3, 10);
  s.d3 = resto(c.dato3, 10);
  s.rapp = quoziente(c.dato4, 10);
  const int32_t lati = resto(c.dato4, 10);
  s.sx = lati / 3;
  s.dx = lati % 3;
  return s;
}

int codifica_indicatore(const IndicatoreVelocita& v, Cella& c) {
  const struct {
    int32_t sinistra, destra;
    int16_t* dato;
  } coppie[] = {{v.vas, v.vad, &c.dato1}, {v.vbs, v.vbd, &c.dato2}, {v.vcs, v.vcd, &c.dato3}};
  for (int i = 0; i < 3; ++i) {
    if (!dato_indicatore(coppie[i].destra, coppie[i].sinistra, *coppie[i].dato)) return i + 1;
  }
  c.dato4 = basso_16(int64_t{v.strisces} * 10 + v.strisced);
  return 0;
}

IndicatoreVelocita decodifica_indicatore(const Cella& c) {
  IndicatoreVelocita v;
  const auto coppia = [](int16_t dato, int32_t& sinistra, int32_t& destra) {
    sinistra = quoziente(dato, 20);
    destra = resto(dato, 20) * 5;
  };
  coppia(c.dato1, v.vas, v.vad);
  coppia(c.dato2, v.vbs, v.vbd);
  coppia(c.dato3, v.vcs, v.vcd);
  v.strisces = quoziente(c.dato4, 10);
  v.strisced = resto(c.dato4, 10);
  return v;
}

}  // namespace gs

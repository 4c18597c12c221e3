// The four placers. Cell indices are real divisions by 50 rounded halves to even.
#include <cmath>
#include <limits>
#include <string>

#include "common/numeri.h"
#include "grid/griglia.h"

namespace gs {
namespace {

int64_t cella_punto(int64_t metri) { return arrotonda(static_cast<double>(metri) / 50.0 + 1.0); }

// A speed-board datum: a real rounded to a signed 16-bit value, error 25 when it does not fit.
int16_t dato_indicatore(int32_t destra, int32_t sinistra) {
  const int64_t v = arrotonda(static_cast<double>(destra) / 5.0 + static_cast<double>(sinistra) * 20.0);
  if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
    throw ErroreLettura("speed-board value " + std::to_string(v) + " does not fit 16 bits");
  return static_cast<int16_t>(v);
}

}  // namespace

void memo_montagna(Celle& celle, Montagne& montagne, int32_t inizio, int32_t fine, int32_t& tipo) {
  if (montagne.conta >= Montagne::kMassimo)
    throw ErroreLettura("more than " + std::to_string(Montagne::kMassimo) + " mountain records");
  bool marcatori = false;
  if (tipo > 10) {
    tipo -= 10;
    marcatori = true;
  }
  const int32_t n = ++montagne.conta;
  montagne.inizi[n] = inizio;
  montagne.fini[n] = fine;
  if (n > 1 && static_cast<int64_t>(inizio) - montagne.fini[n - 1] <= 150) tipo = 3;

  const int64_t primo = arrotonda(static_cast<double>(inizio) / 50.0);
  const int64_t ultimo = arrotonda(static_cast<double>(fine) / 50.0 - 1.0);
  int64_t contate = 0;
  for (int64_t c = primo; c <= ultimo; ++c) {
    Cella& cella = celle[c];
    ++contate;
    cella.montagna = basso_8(tipo);
    if (marcatori && contate % 4 == 0 && cella.tipo == kLibera) cella.tipo = kMarcaMontagna;
  }
}

void memo_rallentamento(Celle& celle, Registro& registro, int32_t x, int32_t v, int32_t l,
                        int32_t f_tt, int32_t f_ta, int32_t d_v) {
  const bool avviso = x > 1500;
  int64_t w = 0;
  if (avviso) {
    w = cella_punto(static_cast<int64_t>(x) - 1200);
    if (!libera(celle[w])) return registro.registra(kConflittoAvviso);
  } else {
    f_ta = 0;
  }
  const int64_t s = cella_punto(x);
  if (!libera(celle[s])) return registro.registra(kConflittoInizio);
  const int64_t e = cella_punto(in_32_bit(static_cast<int64_t>(x) + l, "slowdown end x + l"));
  if (!libera(celle[e])) return registro.registra(kConflittoFine);

  celle[e].tipo = kFineRallentamento;
  if (d_v != 0) celle[e].dato2 = basso_16(d_v);
  celle[s].tipo = kInizioRallentamento;
  if (d_v != 0) celle[s].dato2 = basso_16(d_v);
  if (avviso) {
    celle[w].tipo = kAvvisoRallentamento;
    if (d_v != 0) celle[w].dato2 = basso_16(d_v);
    celle[w].dato1 = basso_16(v);
  }
  for (const int64_t c : {s, e}) {
    celle[c].dato1 = basso_16(v);
    celle[c].dato3 = basso_16(f_tt);
  }

  const int64_t t = arrotonda((static_cast<double>(x) - 1200.0) / 50.0);
  if (f_ta == 0) return;
  for (int64_t i = 0; i < 4; ++i)
    if (!libera(celle[t - i])) return registro.registra(kConflittoPreavvisi);
  for (int64_t i = 0; i < 4; ++i) {
    Cella& c = celle[t - i];
    c.tipo = kPreavvisoRallentamento;
    c.dato1 = basso_16(i + 1);
    if (d_v != 0) c.dato2 = basso_16(i + 1);
  }
}

void memo_segnale(Celle& celle, Registro& registro, int32_t posizione, int32_t sx, int32_t s1,
                  int32_t s2, int32_t s3, int32_t rapp, int32_t dx, int32_t d1, int32_t d2,
                  int32_t d3, int32_t& tempo) {
  const int64_t k = cella_punto(posizione);
  Cella& c = celle[k];
  if (!libera(c)) return registro.registra(kConflittoSegnale);
  c.tipo = kSegnale;
  c.dato4 = basso_16(int64_t{rapp} * 10 + int64_t{sx} * 3 + dx);
  c.dato1 = basso_16(int64_t{s1} * 10 + d1);
  c.dato2 = basso_16(int64_t{s2} * 10 + d2);
  c.dato3 = basso_16(int64_t{s3} * 10 + d3);
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  c.tempo = sx == 2 ? basso_8(tempo) : 0;
  const int64_t lato = int64_t{sx} * 3 + dx;
  for (int64_t b = 1; b <= 4; ++b) celle[k - 2 * b].preavviso = basso_8(lato * 10 + b);
}

void memo_indicatori_v_max(Celle& celle, Registro& registro, int32_t posizione, int32_t vas,
                           int32_t vbs, int32_t vcs, int32_t strisces, int32_t vad, int32_t vbd,
                           int32_t vcd, int32_t strisced) {
  Cella& c = celle[cella_punto(posizione)];
  if (!libera(c)) return registro.registra(kConflittoIndicatore);
  c.tipo = kIndicatoreVelocita;
  c.dato1 = dato_indicatore(vad, vas);
  c.dato2 = dato_indicatore(vbd, vbs);
  c.dato3 = dato_indicatore(vcd, vcs);
  c.dato4 = basso_16(int64_t{strisces} * 10 + strisced);
}

}  // namespace gs

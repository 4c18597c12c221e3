// The four placers. Cell indices are real divisions by 50 rounded halves to even. A placer
// checks each cell as it reaches it, in the order the cells are written, so that a refusal
// leaves the grid exactly as far written as it was when the refusal came.
#include <cmath>
#include <limits>
#include <string>

#include "common/numeri.h"
#include "format/punti.h"
#include "grid/griglia.h"

namespace gs {
namespace {

Posa rifiuto(Detto d, int64_t cella, int argomento = 0) {
  const int32_t numero = voce_di(d.causa).numero;
  return {numero, cella, std::move(d), argomento};
}

// A cell already taken: the cause's values, then the cell and what holds it.
Posa preso(const Celle& celle, IdCausa id, int64_t cella, Dati dati, int argomento = 0) {
  dati.push_back({"C", metro_cella(cella)});
  dati.push_back({"X", celle.descrivi(cella)});
  return rifiuto(detto(id, dati), cella, argomento);
}

// A cell outside the grid, whose last cell stands for the position G.
Posa fuori(const Celle& celle, int64_t cella, std::string chi, int argomento = 0) {
  return rifiuto(detto(IdCausa::kFuoriGriglia, {{"the point", std::move(chi)},
                                                {"P", metro_cella(cella)},
                                                {"G", metro_cella(celle.ultimo())}}),
                 cella, argomento);
}

// Step 8 of a slowdown with f_ta set: the four cells before its warning point, all free, become
// kind 5 counting away from it.
Posa celle_prima_dell_avviso(Celle& celle, int32_t x, int32_t d_v, uint32_t da) {
  const int64_t t = cella_profilo(int64_t{x} - kMetriAvviso);
  static constexpr const char* kQuale[] = {"first", "second", "third", "fourth"};
  for (int64_t i = 0; i < 4; ++i) {
    if (!celle.contiene(t - i))
      return fuori(celle, t - i,
                   std::string("the ") + kQuale[i] +
                       " of the four cells before the warning point of the slowdown at " +
                       metri(x) + " (f_ta is set)");
    if (!libera(celle[t - i]))
      return preso(celle, IdCausa::kConflittoPreavvisi, t - i, {{"first", kQuale[i]}, {"P", x}});
  }
  for (int64_t i = 0; i < 4; ++i) {
    Cella& c = celle[t - i];
    c.tipo = kPreavvisoRallentamento;
    celle.segna(t - i, da);
    c.dato1 = basso_16(i + 1);
    if (d_v != 0) c.dato2 = basso_16(i + 1);
  }
  return {};
}

}  // namespace

Posa memo_montagna(Celle& celle, Montagne& montagne, int32_t inizio, int32_t fine, int32_t& tipo,
                   uint32_t da) {
  if (montagne.conta >= Montagne::kMassimo) return rifiuto(detto(IdCausa::kTroppeMontagne), 0);
  bool marcatori = false;
  if (tipo > 10) {
    tipo -= 10;
    marcatori = true;
  }
  const int32_t n = ++montagne.conta;
  const auto k = static_cast<std::size_t>(n);  // from 1: conta starts at 0
  montagne.inizi[k] = inizio;
  montagne.fini[k] = fine;
  if (n > 1) {
    // The gap is a 32-bit difference: a span that starts more than 2^31 m away from the
    // previous one's end cannot be measured.
    const int64_t distacco = int64_t{inizio} - montagne.fini[k - 1];
    if (distacco < std::numeric_limits<int32_t>::min() ||
        distacco > std::numeric_limits<int32_t>::max())
      return rifiuto(detto(IdCausa::kTrentaDueBit,
                           {{"what", "the gap between the mountain span from " + metri(inizio) +
                                         " and the end of the one before it (" +
                                         metri(montagne.fini[k - 1]) + ")"},
                            {"V", distacco}}),
                     0);
    if (distacco <= 150) tipo = 3;
  }

  const int64_t primo = cella_profilo(inizio);
  const int64_t ultimo = ultima_cella_campata(fine);
  int64_t contate = 0;
  for (int64_t c = primo; c <= ultimo; ++c) {
    if (!celle.contiene(c)) {
      if (c < 0) return rifiuto(detto(IdCausa::kMontagnaPrima, {{"S", inizio}, {"E", fine}}), c);
      return rifiuto(
          detto(IdCausa::kMontagnaOltre,
                {{"S", inizio}, {"E", fine}, {"G", metro_profilo(int64_t{celle.ultimo()} + 1)}}),
          c, 1);
    }
    Cella& cella = celle[c];
    ++contate;
    cella.montagna = basso_8(tipo);
    if (marcatori && contate % 4 == 0 && cella.tipo == kLibera) {
      cella.tipo = kMarcaMontagna;
      celle.segna(c, da);
    }
  }
  return {};
}

Posa memo_rallentamento(Celle& celle, int32_t x, int32_t v, int32_t l, int32_t f_tt, int32_t f_ta,
                        int32_t d_v, uint32_t da) {
  const std::string chi = "the slowdown at " + metri(x);
  const bool avviso = x > 1500;
  int64_t w = 0;
  if (avviso) {
    w = cella_punto(static_cast<int64_t>(x) - kMetriAvviso);
    if (!celle.contiene(w)) return fuori(celle, w, "the warning point of " + chi);
    if (!libera(celle[w])) return preso(celle, IdCausa::kConflittoAvviso, w, {{"P", x}});
  } else {
    f_ta = 0;
  }
  const int64_t s = cella_punto(x);
  if (!celle.contiene(s)) return fuori(celle, s, chi);
  if (!libera(celle[s])) return preso(celle, IdCausa::kConflittoInizio, s, {{"P", x}});
  const int64_t fine = int64_t{x} + l;
  if (fine < std::numeric_limits<int32_t>::min() || fine > std::numeric_limits<int32_t>::max())
    return rifiuto(
        detto(IdCausa::kTrentaDueBit, {{"what", "the end of " + chi + ", x + l,"}, {"V", fine}}), 0,
        2);
  const int64_t e = cella_punto(fine);
  if (!celle.contiene(e))
    return fuori(celle, e, "the end of " + chi + ", " + metri(l) + " long,", 2);
  if (!libera(celle[e])) return preso(celle, IdCausa::kConflittoFine, e, {{"P", x}, {"L", l}}, 2);

  celle[e].tipo = kFineRallentamento;
  celle.segna(e, da);
  if (d_v != 0) celle[e].dato2 = basso_16(d_v);
  celle[s].tipo = kInizioRallentamento;
  celle.segna(s, da);
  if (d_v != 0) celle[s].dato2 = basso_16(d_v);
  if (avviso) {
    celle[w].tipo = kAvvisoRallentamento;
    celle.segna(w, da);
    if (d_v != 0) celle[w].dato2 = basso_16(d_v);
    celle[w].dato1 = basso_16(v);
  }
  for (const int64_t c : {s, e}) {
    celle[c].dato1 = basso_16(v);
    celle[c].dato3 = basso_16(f_tt);
  }

  if (f_ta == 0) return {};
  return celle_prima_dell_avviso(celle, x, d_v, da);
}

Posa memo_segnale(Celle& celle, int32_t posizione, const Segnale& s, int32_t& tempo, uint32_t da) {
  const std::string chi = "the signal at " + metri(posizione);
  const int64_t k = cella_punto(posizione);
  if (!celle.contiene(k)) return fuori(celle, k, chi);
  Cella& c = celle[k];
  if (!libera(c)) return preso(celle, IdCausa::kConflittoSegnale, k, {{"P", posizione}});
  c.tipo = kSegnale;
  celle.segna(k, da);
  codifica_segnale(s, c);
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  c.tempo = s.sx == 2 ? basso_8(tempo) : 0;
  for (int64_t b = 1; b <= 4; ++b) {
    if (!celle.contiene(k - 2 * b)) {
      return rifiuto(
          detto(IdCausa::kMarcatoriSegnale, {{"P", posizione}, {"M", metro_cella(k - 2 * b)}}),
          k - 2 * b);
    }
    celle[k - 2 * b].preavviso = preavviso_segnale(s, b);
  }
  return {};
}

Posa memo_indicatori_v_max(Celle& celle, int32_t posizione, const IndicatoreVelocita& v,
                           uint32_t da) {
  const std::string chi = "the speed board at " + metri(posizione);
  const int64_t k = cella_punto(posizione);
  if (!celle.contiene(k)) return fuori(celle, k, chi);
  Cella& c = celle[k];
  if (!libera(c)) return preso(celle, IdCausa::kConflittoIndicatore, k, {{"P", posizione}});
  c.tipo = kIndicatoreVelocita;
  celle.segna(k, da);
  const int coppia = codifica_indicatore(v, c);
  if (coppia != 0) {
    const struct {
      int32_t sinistra, destra;
      const char* nomi;
    } coppie[] = {{v.vas, v.vad, "vas and vad"},
                  {v.vbs, v.vbd, "vbs and vbd"},
                  {v.vcs, v.vcd, "vcs and vcd"}};
    const auto& q = coppie[coppia - 1];
    return rifiuto(detto(IdCausa::kValoreIndicatore,
                         {{"P", posizione}, {"pair", q.nomi}, {"A", q.sinistra}, {"B", q.destra}}),
                   k, coppia);
  }
  return {};
}

}  // namespace gs

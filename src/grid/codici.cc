// The code-point pass: code-change points (kind 12, code 180) before the signals that precede
// a slowdown warning, ahead of each slowdown start, every 400 m inside slow slowdowns, and
// before the first signal after a slowdown's end.
#include <string>

#include "grid/griglia.h"

namespace gs {
namespace {

constexpr int16_t kCodiceRallentamento = 180;
constexpr int32_t kPassoCodici = 8;            // cells between code points inside a slowdown
constexpr int32_t kVelocitaSenzaCodici = 110;  // km/h from which a slowdown needs none inside
constexpr int64_t kCercaSegnali = 20;          // cells looked back from a warning point
constexpr int64_t kCercaDopoFine = 12;         // cells looked ahead from a slowdown end

class Passo {
 public:
  Passo(Celle& celle, Registro& registro) : celle_(celle), registro_(registro) {}

  void esegui() {
    for (int64_t i = 1; i <= celle_.ultimo() - 2; ++i) {
      const int t = tipo(i);
      if (t == kAvvisoRallentamento) segnali_prima_dell_avviso(i);
      if (t == kInizioRallentamento) {
        prima_dell_inizio(i);
        const int64_t fine = celle_[i].dato1 < kVelocitaSenzaCodici ? dentro(i) : cerca_fine(i);
        dopo_la_fine(i, fine);
      }
    }
  }

 private:
  // A cell outside the grid counts as taken: kind 255 is no kind the grid uses.
  int tipo(int64_t c) const { return celle_.contiene(c) ? celle_[c].tipo : 255; }
  bool libera_in(int64_t c) const { return celle_.contiene(c) && libera(celle_[c]); }
  // A code point in `c`, placed for the point in cell `per`.
  void posa(int64_t c, int64_t per) {
    celle_[c].tipo = kCodice;
    celle_[c].dato1 = kCodiceRallentamento;
    const Origine* o = celle_.origine(per);
    celle_.segna(c, o == nullptr ? 0 : celle_.nuova_origine({o->luogo, o->cosa, true}));
  }
  void abbassa(int64_t c) {
    celle_[c].dato1 = static_cast<int16_t>(minimo(kCodiceRallentamento, celle_[c].dato1));
  }

  // What holds the cells tried, for the message of a refusal.
  std::string prese(std::initializer_list<int64_t> celle) const {
    std::string s;
    for (const int64_t c : celle) {
      s += s.empty() ? "" : "; ";
      s += metri(metro_cella(c)) + ": " +
           (celle_.contiene(c) ? celle_.descrivi(c) : "outside the grid");
    }
    return s;
  }
  // The point of cell `c` as its record names it.
  std::string chi(int64_t c) const {
    const Origine* o = celle_.origine(c);
    return o != nullptr ? o->detto() : "the point at " + metri(metro_cella(c));
  }
  // Errors 11 to 13 stand at the record of the signal or slowdown in cell `di`.
  void errore(IdCausa id, Dati dati, int64_t cella, int64_t di,
              std::vector<Correlato> correlati = {}) {
    const Origine* o = celle_.origine(di);
    registro_.errore_in(detto(id, dati), static_cast<int32_t>(metro_profilo(cella)),
                        o != nullptr ? o->luogo : Luogo{}, std::move(correlati));
  }

  // Step A: every signal among the 20 cells before a warning point, nearest first.
  void segnali_prima_dell_avviso(int64_t i) {
    for (int64_t k = 1; k <= kCercaSegnali; ++k) {
      const int64_t d = i - k;
      if (d < 3) return;
      if (tipo(d) != kSegnale) continue;
      if (libera_in(d - 1))
        posa(d - 1, i);
      else if (libera_in(d - 2))
        posa(d - 2, i);
      else if (tipo(d - 1) == kCodice)
        abbassa(d - 1);
      else if (tipo(d - 2) == kCodice)
        abbassa(d - 2);
      else
        errore(IdCausa::kCodiceSegnale,
               {{"signal", chi(d)}, {"slowdown", chi(i)}, {"X", prese({d - 1, d - 2})}}, d, d,
               celle_.correlati(i));
    }
  }

  // Step B: three look-back placements, 250 to 350, 550 to 650 and 900 to 1000 m before.
  void prima_dell_inizio(int64_t i) {
    for (const int64_t primo : {5, 11, 18}) {
      if (i <= primo + 2) continue;
      bool posato = false;
      for (int64_t c = i - primo; c >= i - primo - 2 && !posato; --c) {
        if (libera_in(c)) {
          posa(c, i);
          posato = true;
        }
      }
      if (!posato)
        errore(IdCausa::kCodiceInizio,
               {{"A", primo * kMetriCella},
                {"B", (primo + 2) * kMetriCella},
                {"slowdown", chi(i)},
                {"X", prese({i - primo, i - primo - 1, i - primo - 2})}},
               i, i);
    }
  }

  // Step C: a code point every 8 cells up to the slowdown's end; returns the end cell.
  int64_t dentro(int64_t i) {
    int32_t contatore = 0;
    int64_t k = i;
    for (;;) {
      ++k;
      ++contatore;
      if (contatore == kPassoCodici) {
        if (libera_in(k)) {
          posa(k, i);
          contatore = 0;
        } else if (libera_in(k - 1)) {
          posa(k - 1, i);
          contatore = 1;
        } else if (libera_in(k + 1)) {
          posa(k + 1, i);
          contatore = -1;
        } else {
          errore(IdCausa::kCodiceDentro,
                 {{"slowdown", chi(i)}, {"P", metro_cella(k)}, {"X", prese({k - 1, k, k + 1})}}, k,
                 i);
        }
      }
      if (tipo(k) == kFineRallentamento || k >= celle_.ultimo()) return k;
    }
  }

  // The end cell of a fast slowdown, found as step C would find it but without placing.
  int64_t cerca_fine(int64_t i) const {
    int64_t k = i + 1;
    while (k < celle_.ultimo() && tipo(k) != kFineRallentamento) ++k;
    return k;
  }

  // Step D: a code point just before the first signal within 12 cells of the end.
  void dopo_la_fine(int64_t i, int64_t e) {
    for (int64_t g = e; g <= e + kCercaDopoFine && g <= celle_.ultimo(); ++g) {
      if (tipo(g) != kSegnale) continue;
      const int64_t s = g - 1;
      if (s > 0) {
        if (libera_in(s))
          posa(s, i);
        else if (libera_in(s - 1))
          posa(s - 1, i);
        else
          errore(IdCausa::kCodiceDopo,
                 {{"signal", chi(g)}, {"slowdown", chi(i)}, {"X", prese({s, s - 1})}}, e, i,
                 celle_.correlati(g));
      }
      return;
    }
  }

  Celle& celle_;
  Registro& registro_;
};

}  // namespace

void passa_codici(Celle& celle, Registro& registro) { Passo(celle, registro).esegui(); }

}  // namespace gs

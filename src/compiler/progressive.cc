// progressive_ordina: the three chainage sections ordered by start, largest first.
#include <algorithm>
#include <array>

#include "common/numeri.h"
#include "compiler/compilatore.h"

namespace gs {
namespace {

struct Sezione {
  int32_t inizio = 0;
  int32_t valore = 0;
  int32_t verso = 0;
};

Sezione da_voce(const Stazione& s) { return {s.inizio, s.fine, s.posizione}; }

void in_voce(Stazione& s, const Sezione& z) {
  s.inizio = z.inizio;
  s.fine = z.valore;
  s.posizione = z.verso;
}

}  // namespace

void progressive_ordina(Stazioni& stazioni) {
  const Sezione tre = da_voce(stazioni[kProgressivaTre]);
  const Sezione due = da_voce(stazioni[kProgressivaDue]);
  const Sezione uno = da_voce(stazioni[kProgressivaUno]);

  std::array<Sezione, 3> ordinate{};  // all zero unless a rule below picks an order
  const int32_t somma =
      in_32_bit(int64_t{tre.inizio} + due.inizio + uno.inizio, "sum of the chainage starts");
  if (somma != 0) {
    // Stable on the order uno, due, tre, so that among equal smaller starts "uno" comes first.
    std::array<Sezione, 3> per_inizio = {uno, due, tre};
    std::stable_sort(per_inizio.begin(), per_inizio.end(),
                     [](const Sezione& a, const Sezione& b) { return a.inizio > b.inizio; });
    if (per_inizio[0].inizio != per_inizio[1].inizio) ordinate = per_inizio;
  } else {
    if (tre.valore >= 1) ordinate = {tre, due, uno};
    if (due.valore > 0) ordinate = {due, tre, uno};
    if (uno.valore > 0) ordinate = {uno, due, tre};
  }

  for (Sezione& z : ordinate)
    if (z.verso == 1) z.valore = in_32_bit(int64_t{z.valore} + 100, "chainage value + 100");
  in_voce(stazioni[kProgressivaTre], ordinate[0]);
  in_voce(stazioni[kProgressivaDue], ordinate[1]);
  in_voce(stazioni[kProgressivaUno], ordinate[2]);
}

}  // namespace gs

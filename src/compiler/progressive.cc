// progressive_ordina: the three chainage sections ordered by start, largest first.
#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <string>

#include "common/numeri.h"
#include "compiler/compilatore.h"

namespace gs {
namespace {

struct Sezione {
  int32_t inizio = 0;
  int32_t valore = 0;
  int32_t verso = 0;
  int da = -1;  // the record read: 0 "tre", 1 "due", 2 "uno"; -1 cleared
};

Sezione da_voce(const Stazione& s, int da) { return {s.inizio, s.fine, s.posizione, da}; }

void in_voce(Stazione& s, const Sezione& z) {
  s.inizio = z.inizio;
  s.fine = z.valore;
  s.posizione = z.verso;
}

}  // namespace

std::array<int, 3> progressive_ordina(Stazioni& stazioni, const LuoghiSezioni& luoghi) {
  const Sezione tre = da_voce(stazioni[kProgressivaTre], 0);
  const Sezione due = da_voce(stazioni[kProgressivaDue], 1);
  const Sezione uno = da_voce(stazioni[kProgressivaUno], 2);

  std::array<Sezione, 3> ordinate{};  // all cleared unless a rule below picks an order
  // The sum is taken one step at a time: a step that leaves 32 bits fails at the record whose
  // start it adds.
  const int32_t somma =
      in_32_bit(int64_t{in_32_bit(int64_t{tre.inizio} + due.inizio,
                                  "the sum of the chainage starts", luoghi.inizio[1])} +
                    uno.inizio,
                "the sum of the chainage starts", luoghi.inizio[2]);
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

  // The 100 m is added entry by entry, on the ordered entries: an addition that leaves 32 bits
  // is the error, and that entry and the ones after it keep their values as read.
  std::array<int, 3> da{};
  std::optional<ErroreLettura> errore;
  for (std::size_t i = 0; i < 3; ++i) {
    Sezione& z = ordinate[i];
    if (z.verso == 1 && !errore) {
      try {
        z.valore = in_32_bit(int64_t{z.valore} + 100, "the chainage value + 100",
                             z.da >= 0 ? luoghi.valore[static_cast<std::size_t>(z.da)] : Luogo{});
      } catch (const ErroreLettura& e) {
        errore = e;
      }
    }
    da[i] = z.da;
  }
  in_voce(stazioni[kProgressivaTre], ordinate[0]);
  in_voce(stazioni[kProgressivaDue], ordinate[1]);
  in_voce(stazioni[kProgressivaUno], ordinate[2]);
  if (errore) throw *errore;
  return da;
}

}  // namespace gs

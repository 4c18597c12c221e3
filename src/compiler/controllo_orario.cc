// controlla_percorrenze: the timetable against the speed limits, with the limits the grid holds
// and the slowdowns as their records give them.
#include <vector>

#include "compiler/lettori.h"
#include "format/percorrenza.h"

namespace gs {

void controlla_percorrenze(Compilazione& c, std::span<const Luogo> orari) {
  const std::vector<int32_t> ammesse = velocita_ammesse(c.celle.tutte(), c.rallentamenti);
  for (const Tratta& t : tratte_orario(c.stazioni, c.stazioni_lette, ammesse)) {
    if (!t.impossibile()) continue;
    const auto a = static_cast<std::size_t>(t.a);
    c.registro.avviso(avviso_tratta(c.stazioni, t), a < orari.size() ? orari[a] : Luogo{});
  }
}

}  // namespace gs

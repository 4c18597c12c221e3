// The timetable against the speed limits: the fastest the train may run through each 50 m step
// of the grid, the least time it needs between two stations, and the stretches between timed
// stations that the timetable makes faster than that. The compiler warns of such a stretch;
// the route sheet draws the same stretches with the same words.
#ifndef GS_FORMAT_PERCORRENZA_H
#define GS_FORMAT_PERCORRENZA_H

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/cause.h"
#include "format/formato.h"

namespace gs {

// A slowdown's span, from `da` to `a` metres of the line, at `velocita` km/h.
struct Rallentato {
  int64_t da = 0;
  int64_t a = 0;
  int32_t velocita = 0;
  bool operator==(const Rallentato&) const = default;
};

// The highest speed allowed through each cell's profile step (50 k to 50 k + 50 m), in km/h:
// the cell's limit (`velocita` x 5), or the speed of a slowdown whose span covers the whole
// step when that is lower. 0 for a cell whose limit is 0, which has no limit to run under.
// Slowdowns at 0 km/h or less are left out.
std::vector<int32_t> velocita_ammesse(std::span<const Cella> celle,
                                      std::span<const Rallentato> rallentati);

// The seconds a 50 m step takes at `kmh`: 180 / kmh; 0 for a step left out (0 km/h).
inline double secondi_passo(int32_t kmh) { return kmh > 0 ? 180.0 / kmh : 0.0; }

// The least running time, in seconds, through the steps of cells `da` to `a` - 1; cells
// outside the grid count nothing.
double tempo_minimo(std::span<const int32_t> ammesse, int64_t da, int64_t a);

// Whole seconds at or above a running time summed in floating point: a timetable's whole
// seconds are below the time exactly when they are below this.
int64_t secondi_interi(double secondi);

// Two consecutive stations that both have a scheduled time (0:00:00 means none: such stations
// are left out), and what the limits allow between them.
struct Tratta {
  int da = 0;  // the table entries of the two stations
  int a = 0;
  int64_t previsto = 0;  // the timetable's seconds from the first to the second
  double minimo = 0;     // the least running time under the limits, s
  // Faster than the limits allow. A timetable that runs backwards is left to the time checks.
  bool impossibile() const { return previsto >= 0 && previsto < secondi_interi(minimo); }
};

// The stretches between the timed stations of entries 1 to `ultima`, in the table's order.
std::vector<Tratta> tratte_orario(const Stazioni& tabella, int ultima,
                                  std::span<const int32_t> ammesse);

// "6 min 0 s", "45 s", "1 h 2 min 5 s".
std::string durata(int64_t secondi);

// "km 12.100": the chainage at a position, as the warning gives it.
std::string km_progressiva(const Stazioni& tabella, int64_t posizione);

// The warning of an impossible stretch, as the compiler raises it and the route sheet shows it
// over the stretch: "the train needs at least 6 min 0 s from ALFA (km 0.000) to BRAVO
// (km 10.000) under its speed limits; the timetable gives 1 min 0 s".
Detto avviso_tratta(const Stazioni& tabella, const Tratta& tratta);

}  // namespace gs

#endif  // GS_FORMAT_PERCORRENZA_H

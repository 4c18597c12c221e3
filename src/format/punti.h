// What a signal cell and a speed-board cell hold, and the one packing of each into the four
// 16-bit data of its cell: the placers encode with it, the viewers decode with it.
#ifndef GS_FORMAT_PUNTI_H
#define GS_FORMAT_PUNTI_H

#include <cstdint>

#include "format/formato.h"

namespace gs {

// Floor division and its remainder, so that a negative field decodes consistently.
inline int32_t quoziente(int32_t a, int32_t b) {
  const int32_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}
inline int32_t resto(int32_t a, int32_t b) { return a - quoziente(a, b) * b; }

// A signal's aspects on its two sides and its repetition. In the cell: dato1..3 = left aspect
// x 10 + right aspect, dato4 = rapp x 10 + sx x 3 + dx, each kept to its low 16 bits. The
// packing only comes apart again when every right aspect is below 10, dx below 3 and
// sx x 3 + dx below 10, as in the built-in scenario's signals.
struct Segnale {
  int32_t sx = 0, s1 = 0, s2 = 0, s3 = 0, rapp = 0, dx = 0, d1 = 0, d2 = 0, d3 = 0;
  bool operator==(const Segnale&) const = default;
};

// The sides a signal stands on, sx x 3 + dx: the approach markers before it carry it.
inline int64_t lati_segnale(const Segnale& s) { return int64_t{s.sx} * 3 + s.dx; }
// The approach marker `b` (1 to 4, counting away from the signal) of a cell's `preavviso`.
uint8_t preavviso_segnale(const Segnale& s, int64_t b);

// Writes dato4, then dato1 to dato3; nothing else of the cell.
void codifica_segnale(const Segnale& s, Cella& c);
Segnale decodifica_segnale(const Cella& c);

// A speed board's three speeds (km/h) and stripes for each group. In the cell: dato1..3 =
// first-group speed x 20 + second-group speed / 5, a real rounded halves to even; dato4 =
// first-group stripes x 10 + second-group stripes, kept to its low 16 bits. A second-group
// speed of 100 km/h or more spills into the first.
struct IndicatoreVelocita {
  int32_t vas = 0, vbs = 0, vcs = 0, strisces = 0, vad = 0, vbd = 0, vcd = 0, strisced = 0;
  bool operator==(const IndicatoreVelocita&) const = default;
};

// Writes dato1 to dato3 in order, then dato4. Returns 0, or the pair (1 for vas and vad, 2,
// 3) whose datum does not fit a signed 16-bit value: the data before it are written, that one
// and those after it are not.
int codifica_indicatore(const IndicatoreVelocita& v, Cella& c);
IndicatoreVelocita decodifica_indicatore(const Cella& c);

}  // namespace gs

#endif  // GS_FORMAT_PUNTI_H

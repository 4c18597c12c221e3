// The line geometry file: two columns of tagged values, one value per metre of line, column 0
// then column 1. Metres 0 and 1 open each column with the integers of the origin, (0, 0) and
// (0, 1), when the line has one; the computed metres follow as doubles, and the metres past
// them are empty. The writer encodes with the put_ functions below and the viewers decode the
// file with decodifica_geometria.
#ifndef GS_FORMAT_GEOMETRIA_H
#define GS_FORMAT_GEOMETRIA_H

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "format/bytes.h"
#include "format/formato.h"

namespace gs {

// The bytes of each kind of value: its kind word, then a 16-bit integer or a double.
inline constexpr std::size_t kByteVuoto = 2;
inline constexpr std::size_t kByteIntero = 2 + 2;
inline constexpr std::size_t kByteReale = 2 + 8;

// Metres of the origin that opens each column, and the integer column `colonna` holds at
// metre `metro` of it.
inline constexpr int64_t kMetriOrigine = 2;
inline int16_t intero_origine(int colonna, int64_t metro) {
  return static_cast<int16_t>(colonna == 1 ? metro : 0);
}

inline void put_vuoto(std::string& b) { put_u16(b, kVuoto); }
inline void put_intero(std::string& b, int16_t v) {
  put_u16(b, kIntero);
  put_i16(b, v);
}
// A double in place, at `dove`, which has room for kByteReale bytes: the computed metres of a
// long line are encoded a batch at a time.
inline void metti_reale(char* dove, double v) {
  metti_le(dove, kReale, 2);
  metti_le(dove + 2, std::bit_cast<uint64_t>(v), 8);
}

// One tagged value of the geometry: empty, a 16-bit integer or a double.
struct ValoreGeometria {
  uint16_t tipo = 0;
  double valore = 0;
};

// The two plan coordinates per metre; index = metre along the line.
struct Geometria {
  std::vector<ValoreGeometria> colonna0;
  std::vector<ValoreGeometria> colonna1;
  std::size_t metri() const { return colonna0.size(); }
  // A metre has a plan position when both its values are there.
  bool posizionato(std::size_t metro) const;
};

// Both columns, each the same number of tagged values; the integer origin, when there, opens
// each column. ErroreFormato when the bytes do not fit this layout.
Geometria decodifica_geometria(std::string_view byte);

}  // namespace gs

#endif  // GS_FORMAT_GEOMETRIA_H

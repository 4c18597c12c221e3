// Rounding and range checks shared by the readers, the placers and the code-point pass.
#ifndef GS_COMMON_NUMERI_H
#define GS_COMMON_NUMERI_H

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "common/errori.h"

namespace gs {

// Nearest integer, halves to even (the default rounding mode): 0.5 -> 0, 1.5 -> 2, 25.5 -> 26.
inline int64_t arrotonda(double x) {
  const double r = std::nearbyint(x);
  if (!(r >= -9.2e18 && r <= 9.2e18)) throw ErroreLettura("value out of range");
  return static_cast<int64_t>(r);
}

// The cell of a metre position through a real division by 50, rounded halves to even.
inline int64_t cella_di(int64_t metri) { return arrotonda(static_cast<double>(metri) / 50.0); }

// A computed value that must still fit 32 bits (error 25 otherwise).
inline int32_t in_32_bit(int64_t v, const char* cosa) {
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    throw ErroreLettura(std::string(cosa) + " " + std::to_string(v) + " does not fit 32 bits");
  return static_cast<int32_t>(v);
}

// The low 16 bits of a value, as the signed 16-bit cell fields keep it.
inline int16_t basso_16(int64_t v) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(v) & 0xFFFFu));
}

// The low byte of a value, as the byte cell fields keep it.
inline uint8_t basso_8(int64_t v) { return static_cast<uint8_t>(static_cast<uint64_t>(v) & 0xFFu); }

}  // namespace gs

#endif  // GS_COMMON_NUMERI_H

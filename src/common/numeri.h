// Range checks and the low bits of values, shared by the readers and the placers.
#ifndef GS_COMMON_NUMERI_H
#define GS_COMMON_NUMERI_H

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "common/errori.h"

namespace gs {

// One step of a 32-bit computation: a value that leaves the range is a reading failure at the
// field that gave it, "CHE comes to V, which does not fit 32 bits".
inline int32_t in_32_bit(int64_t v, std::string_view che, const Luogo& dove) {
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    throw ErroreLettura(detto(IdCausa::kTrentaDueBit, {{"what", che}, {"V", v}}), dove);
  return static_cast<int32_t>(v);
}

// The low 16 bits of a value, as the signed 16-bit cell fields keep it.
inline int16_t basso_16(int64_t v) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(v) & 0xFFFFu));
}

// The low byte of a value, as the byte cell fields keep it.
inline uint8_t basso_8(int64_t v) { return static_cast<uint8_t>(static_cast<uint64_t>(v) & 0xFFu); }

// The magnitude of a value, the most negative one included.
inline uint64_t modulo(int64_t v) {
  return v < 0 ? static_cast<uint64_t>(-(v + 1)) + 1 : static_cast<uint64_t>(v);
}

}  // namespace gs

#endif  // GS_COMMON_NUMERI_H

// Little-endian encoding into a byte buffer, one field at a time.
#ifndef GS_FORMAT_BYTES_H
#define GS_FORMAT_BYTES_H

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

#include "format/formato.h"

namespace gs {

// The `n` low bytes of `v` at `dove`, little-endian: the one encoder every put_ below uses.
inline void metti_le(char* dove, uint64_t v, int n) {
  for (int i = 0; i < n; ++i) dove[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Each value goes in with one append: the geometry of a long line is some 20 MB of them.
inline void put_u8(std::string& b, uint8_t v) { b += static_cast<char>(v); }

inline void put_u16(std::string& b, uint16_t v) {
  char c[2];
  metti_le(c, v, 2);
  b.append(c, 2);
}

inline void put_i16(std::string& b, int16_t v) { put_u16(b, static_cast<uint16_t>(v)); }

inline void put_u32(std::string& b, uint32_t v) {
  char c[4];
  metti_le(c, v, 4);
  b.append(c, 4);
}

inline void put_i32(std::string& b, int32_t v) { put_u32(b, static_cast<uint32_t>(v)); }

// A double as its IEEE 754 bit pattern.
inline void put_f64(std::string& b, double v) {
  char c[8];
  metti_le(c, std::bit_cast<uint64_t>(v), 8);
  b.append(c, 8);
}

// Text as a 16-bit length followed by its bytes; the caller keeps it within 65535 bytes.
inline void put_testo(std::string& b, std::string_view s) {
  put_u16(b, static_cast<uint16_t>(s.size()));
  b.append(s);
}

// A record's field by the width and sign of its member's type, and a whole record in the
// order of its field list.
inline void put_campo(std::string& b, uint8_t v) { put_u8(b, v); }
inline void put_campo(std::string& b, int16_t v) { put_i16(b, v); }
inline void put_campo(std::string& b, int32_t v) { put_i32(b, v); }
inline void put_campo(std::string& b, const std::string& v) { put_testo(b, v); }

// Lettore::record (format/lettore.h) reads one back.
template <typename Record, typename Campi>
void put_record(std::string& b, const Record& r, const Campi& campi) {
  per_ogni_campo(campi, [&](const auto& c) { put_campo(b, r.*c.membro); });
}

// Reading back, for the tools that decode compiled files. `p` must hold the bytes.
inline uint16_t get_u16(const unsigned char* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline int16_t get_i16(const unsigned char* p) { return static_cast<int16_t>(get_u16(p)); }
inline uint32_t get_u32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t get_i32(const unsigned char* p) { return static_cast<int32_t>(get_u32(p)); }
inline double get_f64(const unsigned char* p) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
  return std::bit_cast<double>(bits);
}

}  // namespace gs

#endif  // GS_FORMAT_BYTES_H

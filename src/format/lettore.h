// Reading a compiled file back front to back, field by field: the inverse of the put_
// functions and of put_record, for the tools that decode compiled files.
#ifndef GS_FORMAT_LETTORE_H
#define GS_FORMAT_LETTORE_H

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "format/bytes.h"
#include "format/formato.h"

namespace gs {

// A compiled file whose bytes do not fit its layout. The message says what is wrong and
// where; the caller adds the file's name.
class ErroreFormato : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads fields front to back and refuses, with the offset, to read past the end.
class Lettore {
 public:
  explicit Lettore(std::string_view byte) : byte_(byte) {}
  std::size_t posizione() const { return pos_; }
  std::size_t restanti() const { return byte_.size() - pos_; }
  bool finito() const { return pos_ == byte_.size(); }

  // The next `n` bytes, or ErroreFormato naming what was being read.
  const unsigned char* prendi(std::size_t n, const std::string& cosa) {
    if (n > restanti()) {
      throw ErroreFormato(cosa + " at byte " + std::to_string(pos_) + " needs " +
                          std::to_string(n) + " bytes, only " + std::to_string(restanti()) +
                          " left");
    }
    const auto* p = reinterpret_cast<const unsigned char*>(byte_.data()) + pos_;
    pos_ += n;
    return p;
  }
  uint8_t u8(const std::string& cosa) { return *prendi(1, cosa); }
  uint16_t u16(const std::string& cosa) { return get_u16(prendi(2, cosa)); }
  int16_t i16(const std::string& cosa) { return get_i16(prendi(2, cosa)); }
  int32_t i32(const std::string& cosa) { return get_i32(prendi(4, cosa)); }
  double f64(const std::string& cosa) { return get_f64(prendi(8, cosa)); }

  // A record's field by its member's type. The message naming the field ("entry 3 campo7") is
  // only built when the field runs past the end.
  struct Voce {
    const char* che;  // "entry", "cell"
    std::size_t numero;
    std::string nome(std::string_view campo) const {
      return std::string(che) + " " + std::to_string(numero) + " " + std::string(campo);
    }
  };
  const unsigned char* prendi(std::size_t n, const Voce& v, std::string_view campo) {
    return n <= restanti() ? prendi(n, std::string()) : prendi(n, v.nome(campo));
  }
  void campo(uint8_t& x, const Voce& v, std::string_view nome) { x = *prendi(1, v, nome); }
  void campo(int16_t& x, const Voce& v, std::string_view nome) { x = get_i16(prendi(2, v, nome)); }
  void campo(int32_t& x, const Voce& v, std::string_view nome) { x = get_i32(prendi(4, v, nome)); }
  void campo(std::string& x, const Voce& v, std::string_view) {
    const uint16_t lunghezza = get_u16(prendi(2, v, "name length"));
    const auto* p = prendi(lunghezza, v, "name of " + std::to_string(lunghezza) + " bytes");
    x.assign(reinterpret_cast<const char*>(p), lunghezza);
  }
  // A whole record in the order of its field list: what put_record wrote.
  template <typename Record, typename Campi>
  void record(Record& r, const Campi& campi, const Voce& v) {
    per_ogni_campo(campi, [&](const auto& c) { campo(r.*c.membro, v, c.nome); });
  }

 private:
  std::string_view byte_;
  std::size_t pos_ = 0;
};

}  // namespace gs

#endif  // GS_FORMAT_LETTORE_H

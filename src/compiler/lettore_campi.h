// Reads a source text field by field: a field ends at a comma or a line end (CR LF, CR or LF),
// leading blanks are dropped, a quoted field runs to its closing quote, and numbers may also
// be separated by blanks alone.
#ifndef GS_COMPILER_LETTORE_CAMPI_H
#define GS_COMPILER_LETTORE_CAMPI_H

#include <cstdint>
#include <string_view>
#include <vector>

#include "common/ascii.h"
#include "common/luogo.h"

namespace gs {

// Where a field stands: from its first byte after the leading blanks (`luogo`, and the offset
// `inizio`) to just past its last byte (`riga_fine`, `colonna_fine` and the offset `fine`). A
// quoted field runs from its opening quote to its closing one; an empty field is empty at its
// separator; a text field keeps the blanks before its separator, as its value does.
struct Estensione {
  Luogo luogo;
  std::size_t inizio = 0;
  std::size_t fine = 0;
  int32_t riga_fine = 0;
  int32_t colonna_fine = 0;  // the byte column just past the field, from 1
};

class LettoreCampi {
 public:
  explicit LettoreCampi(std::string_view testo) : testo_(testo) {}

  std::string_view testo_intero() const { return testo_; }

  // True when nothing is left to read.
  bool fine() const { return pos_ >= testo_.size(); }

  // The next field as text: up to the separator, blanks before it kept; for a quoted field,
  // what stands between the quotes. Reading at the end of the text is a reading failure.
  std::string_view testo();

  // The next field as a decimal integer with an optional minus sign, within [minimo, massimo];
  // an empty field reads as 0. Anything else is a reading failure naming `campo`.
  int64_t numero(int64_t minimo, int64_t massimo, std::string_view campo);

  int32_t i32(std::string_view campo);
  int16_t i16(std::string_view campo);
  uint8_t u8(std::string_view campo);

  // The line (from 1) on which the last field read starts.
  int32_t riga() const { return luogo_.riga; }
  // Where the last field read starts (its first byte after the leading blanks); no file name.
  const Luogo& luogo() const { return luogo_; }
  // Where the last field read stands, start and end.
  const Estensione& estensione() const { return estensione_; }

  // Starts a new list of fields: campo(0) is the next field read, campo(1) the one after.
  void segna() { campi_.clear(); }
  // Where a field of the list starts; the last one read when the list is shorter.
  Luogo campo(std::size_t i) const;
  // Where a field of the list stands; the last one read when the list is shorter.
  const Estensione& estensione_campo(std::size_t i) const;

 private:
  void salta_spazi();
  // Consumes one line end at the cursor, if any; true when it did.
  bool consuma_fine_riga();
  void inizia_campo(std::string_view campo);
  // The field that inizia_campo started ends at byte `fine`.
  void chiudi_campo(std::size_t fine);

  std::string_view testo_;
  std::size_t pos_ = 0;
  int32_t riga_ = 1;
  std::size_t inizio_riga_ = 0;
  Luogo luogo_;
  Estensione estensione_;
  std::vector<Estensione> campi_;
};

// The substring tests of the keyword rules, contiene and contiene_ic, are in common/ascii.h.

}  // namespace gs

#endif  // GS_COMPILER_LETTORE_CAMPI_H

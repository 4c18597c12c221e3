// Compile error numbers, and the failures that abort reading a source or a file.
#ifndef GS_COMMON_ERRORI_H
#define GS_COMMON_ERRORI_H

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "common/cause.h"
#include "common/luogo.h"

namespace gs {

// The error numbers, from the one list of diagnostics.
enum Errore : int32_t {
  kNessuno = 0,
#define GS_ERRORE(id, numero, titolo, ...) id = numero,
#define GS_AVVISO(id, nome, titolo, ...)
#define GS_MESSAGGIO(id, nome, gravita, titolo, ...)
#include "common/diagnostiche.def"
#undef GS_ERRORE
#undef GS_AVVISO
#undef GS_MESSAGGIO
};

// Every number in use, for the tables that must have an entry for each.
inline constexpr Errore kErrori[] = {
#define GS_ERRORE(id, numero, titolo, ...) id,
#define GS_AVVISO(id, nome, titolo, ...)
#define GS_MESSAGGIO(id, nome, gravita, titolo, ...)
#include "common/diagnostiche.def"
#undef GS_ERRORE
#undef GS_AVVISO
#undef GS_MESSAGGIO
};

// A failure that ends the reading of both sources with error 25: a field that does not
// convert, a value out of range, a read past the end of a file, an index outside a table.
// `luogo` is where the cause stands, as far as the code that found it knows (its `file` is
// filled in by the reader of that file; line 0 = the reader's current record).
class ErroreLettura : public std::runtime_error {
 public:
  explicit ErroreLettura(Detto d, Luogo dove = {})
      : std::runtime_error(d.testo), causa(d.causa), luogo(std::move(dove)) {}
  IdCausa causa;
  Luogo luogo;
};

// A file of the run that cannot be read, written, replaced or deleted.
class ErroreFile : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace gs

#endif  // GS_COMMON_ERRORI_H

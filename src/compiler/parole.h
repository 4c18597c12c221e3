// The words of the two sources as an author writes them, and the warnings about fields that
// the readers skip: unknown keywords (with the nearest known one), unknown section heads,
// left-over values.
#ifndef GS_COMPILER_PAROLE_H
#define GS_COMPILER_PAROLE_H

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/cause.h"

namespace gs {

// The written keywords: the line's general section, the line's later records, the train's
// records; and the section heads of each source.
extern const std::span<const std::string_view> kParoleGenerale;
extern const std::span<const std::string_view> kParoleLinea;
extern const std::span<const std::string_view> kParoleTreno;
extern const std::span<const std::string_view> kTestateLinea;
extern const std::span<const std::string_view> kTestateTreno;

// The known word nearest to `campo` (ignoring case and surrounding blanks), when it is near
// enough to be a slip of the keyboard.
std::optional<std::string_view> piu_vicina(std::string_view campo,
                                           std::span<const std::string_view> parole);

// Whether the field is a section head, "[...]", once blanks are trimmed.
bool testata(std::string_view campo);
// A field that no author means as a keyword: empty, blank, or a separator of dashes or
// equals signs.
bool vuoto_o_separatore(std::string_view campo);
// A field that reads as a number: a value left over from the record before it.
bool numerico(std::string_view campo);

// The words by which the readers know each kind of record, where they are read.
struct Altrove {
  std::span<const std::string_view> chiavi;
  std::string_view dove;  // "in the train source"
};
extern const Altrove kAltroveGenerale;  // the line's general section
extern const Altrove kAltroveLinea;     // the line after its general section
extern const Altrove kAltroveTreno;     // the train source

// The text of an unknown-record or unknown-section warning for a skipped keyword field:
// `accettate` are the keywords read at that point (and the section heads of the source),
// `altrove` the records read elsewhere.
Detto avviso_parola(std::string_view campo, std::span<const std::string_view> accettate,
                    std::span<const std::string_view> testate,
                    std::initializer_list<Altrove> altrove);

// Whether the text holds bytes above 0x7F that form valid UTF-8; `primo` is the offset of
// the first such byte.
bool sembra_utf8(std::string_view testo, std::size_t& primo);

}  // namespace gs

#endif  // GS_COMPILER_PAROLE_H

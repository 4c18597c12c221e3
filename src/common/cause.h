// The table of diagnostics: every error and warning (diagnostiche.def), and every message the
// tools say outside a compile, with every cause that raises it (cause.def). A reader, a placer or a
// pass raises a cause by its id with the values of the case at hand; the register words the message
// from the cause's template, and `explain`, the guide and the JSON output read the same rows.
#ifndef GS_COMMON_CAUSE_H
#define GS_COMMON_CAUSE_H

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace gs {

// What the two readers and the code-point pass do when they record an error, said once for the
// diagnostics that share it.
inline constexpr std::string_view kFermaLinea =
    "The line reader records it and stops: the rest of the line source and the whole train "
    "source are not read. The compile still writes its files, which hold what was read so far.";
inline constexpr std::string_view kFermaTreno =
    "The train reader records it and stops at this record: the records after it are not read "
    "and the speed-limit and adhesion profiles are not completed. The compile still writes its "
    "files.";
inline constexpr std::string_view kPasso =
    "The code-point pass, which runs after both sources have been read, records it and goes "
    "on; a later one of these errors replaces it. The compile still writes its files.";

enum class Gravita { kErrore, kAvviso, kNota };

enum class IdCausa : uint16_t {
#define GS_CAUSA(id, diagnostica, nome, ...) id,
#include "common/cause.def"
#undef GS_CAUSA
};

struct Causa {
  IdCausa id{};
  std::size_t riga = 0;     // its diagnostic's row in kRigheDiagnostiche
  std::string_view nome{};  // its stable name in the JSON output
  // The message, with {NAME} for each value the raise gives, {...} for an optional tail, and
  // {NAME?text} for a part said only when the raise gives NAME (text may hold {NAME} too).
  std::string_view modello{};
  // Records that provoke it once added to the small scenario that `new` writes: to its line
  // source's general section, to the line's records, to the train's records. With
  // `linea_intera` or `treno_intera` the text is that whole source instead. Where no short
  // source shows the cause, `situazione` says in words when it happens.
  std::string_view generale{};
  std::string_view linea{};
  std::string_view treno{};
  bool linea_intera = false;
  bool treno_intera = false;
  std::string_view situazione{};
  std::string_view rimedio{};
};

struct Spiegazione {
  int32_t numero = 0;       // the error number; 0 for the others
  std::string_view avviso;  // the name of a warning or of a tool's message; empty for an error
  std::string_view titolo;  // what it is, in one line
  std::string_view accade;  // who finds it and what the compile (or the tool) does then
  std::span<const Causa> cause;
  Gravita gravita = Gravita::kErrore;

  // An error of a compile, known by its number.
  bool numerato() const { return avviso.empty(); }
};

// Every entry: the errors in number order, then the warnings, then the tools' own messages.
std::span<const Spiegazione> voci();
// Every cause, in the entries' order.
std::span<const Causa> cause();
const Causa& causa(IdCausa id);
// The entry a cause belongs to.
const Spiegazione& voce_di(IdCausa id);

// One value of a raise: the name its template gives it, and the text it stands for.
struct Dato {
  std::string_view nome;
  std::string valore;

  Dato(std::string_view n, std::string v) : nome(n), valore(std::move(v)) {}
  Dato(std::string_view n, std::string_view v) : nome(n), valore(v) {}
  Dato(std::string_view n, const char* v) : nome(n), valore(v) {}
  template <typename T>
  requires std::is_integral_v<T> Dato(std::string_view n, T v)
      : nome(n), valore(std::to_string(v)) {}
};
using Dati = std::vector<Dato>;

// The value a raise names kSuggerimento is the text that should stand in place of the one the
// diagnostic is about: the editor offers it as a fix, so it travels beside the message and is
// never read back out of the words.
inline constexpr std::string_view kSuggerimento = "SUGGESTION";

// The template with each {NAME} replaced by its value, {...} by the value named "..." (or
// nothing), and each {NAME?text} by its text, itself formatted, when the raise gives NAME (or
// by nothing). A name the raise does not give is a fault of the raise: it stays as written, and
// the tests of every example find it.
std::string formatta(std::string_view modello, const Dati& dati);

// A cause worded for the case at hand: what the register records, and what an ErroreLettura
// carries up to the reader that records it.
struct Detto {
  IdCausa causa{};
  std::string testo;
  std::string suggerimento{};  // the value named kSuggerimento; empty when the raise gives none
};
Detto detto(IdCausa id, Dati dati = {});

// How users and editors name an entry: "E16" for an error, the name of a warning or of a tool's
// message ("unknown-record", "more-diagnostics").
std::string codice(const Spiegazione& v);
// An error's code by its number: "E16".
std::string codice_errore(int32_t numero);

}  // namespace gs

#endif  // GS_COMMON_CAUSE_H

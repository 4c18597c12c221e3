// What each error number and each warning means to a route author: the one table that
// `explain`, the authors' guide and the tests of the messages all read. An entry lists every
// cause that gives its number, each with the form of its message, a source that provokes it
// and the fix.
#ifndef GS_RUN_SPIEGAZIONI_H
#define GS_RUN_SPIEGAZIONI_H

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

struct Causa {
  // The message as the compiler words it; {...} stands for a value of the case at hand.
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
  int32_t numero = 0;       // the error number; 0 for a warning
  std::string_view avviso;  // the warning's name; empty for an error
  std::string_view titolo;  // what it is, in one line
  std::string_view accade;  // who finds it and what the compile does then
  std::span<const Causa> cause;
};

// Every entry: the errors in number order, then the warnings.
std::span<const Spiegazione> voci();

// The entry of an error number or a warning name ("16", "E16" or "unknown-record").
const Spiegazione* voce(std::string_view chiave);

// Whether a message has the form of a cause: literal text, with {...} matching any text.
bool secondo_modello(std::string_view modello, std::string_view messaggio);

// The cause of an entry whose form a message has, or nullptr.
const Causa* causa_di(const Spiegazione& v, std::string_view messaggio);

// An entry for the terminal (`explain N`) or as Markdown (the guide's list).
std::string testo_voce(const Spiegazione& v);
std::string markdown_voce(const Spiegazione& v);

// The error numbers in use, in words: "1 to 13, 15 to 22, 24, 25, ... 1250 and 1251".
std::string numeri_errori();

// Every entry's code (E16, unknown-record) and title, one per line or as a Markdown table.
std::string elenco_voci(bool markdown);

}  // namespace gs

#endif  // GS_RUN_SPIEGAZIONI_H

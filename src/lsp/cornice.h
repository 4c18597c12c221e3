// The framing of the language server's messages: a header of "Name: value" lines, each ended by
// CR LF, a blank line, and then exactly Content-Length bytes of JSON.
#ifndef GS_LSP_CORNICE_H
#define GS_LSP_CORNICE_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace gs::lsp {

// The largest header and body taken. A source is at most 64 MiB; its JSON, escapes and all,
// fits in twice that.
inline constexpr std::size_t kMassimaTestata = 8192;
inline constexpr std::size_t kMassimoCorpo = std::size_t{128} << 20;

// What the reader found next in the bytes it was given.
struct Cornice {
  bool guasto = false;  // a header that cannot be read: `testo` says why
  std::string testo;    // the body of a message, or the reason of the fault
};

// Takes the bytes of standard input as they come and hands back whole messages. A header that
// cannot be read is reported once and skipped: the reader then looks for the next
// "Content-Length" and goes on from there; a body larger than kMassimoCorpo is
// reported and skipped by its length, without being held.
class LettoreCornici {
 public:
  void aggiungi(std::string_view byte);
  // The next message or fault; nothing until more bytes come.
  std::optional<Cornice> prossima();

 private:
  // Drops what has been consumed, now and then, so that the buffer does not grow for ever.
  void compatta();
  // Moves to the next header start, if the bytes held show one.
  bool risincronizza();

  std::string buffer_;
  std::size_t inizio_ = 0;       // the first byte not yet consumed
  std::size_t da_scartare_ = 0;  // bytes of a body too large, still to come and be skipped
  bool perso_ = false;           // after a fault: looking for the next header
};

// A message's body framed for writing.
std::string incornicia(std::string_view corpo);

}  // namespace gs::lsp

#endif  // GS_LSP_CORNICE_H

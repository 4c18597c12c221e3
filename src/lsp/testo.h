// Text as the editor and the compiler each see it. The protocol places a character by its line
// (from 0, lines ended by CR LF, CR or LF, as the compiler ends them too) and its column in
// UTF-16 code units; the editor's text comes as UTF-8; the compiler reads Windows-1252, one
// byte per character, and places what it finds by line (from 1) and byte column (from 1).
#ifndef GS_LSP_TESTO_H
#define GS_LSP_TESTO_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gs::lsp {

struct Posizione {
  int64_t riga = 0;     // from 0
  int64_t colonna = 0;  // UTF-16 code units from the start of the line
  bool operator==(const Posizione&) const = default;
};

struct Intervallo {
  Posizione inizio;
  Posizione fine;
  bool operator==(const Intervallo&) const = default;
};

// Where the lines of a text start.
class IndiceRighe {
 public:
  explicit IndiceRighe(std::string_view testo);
  std::size_t righe() const { return inizi_.size(); }
  // Line `n` without its line end; the last line for an `n` past it.
  std::string_view riga(std::size_t n) const;
  // The byte offset at which line `n` starts; the last line's for an `n` past it.
  std::size_t inizio(std::size_t n) const;
  // The line that holds the byte at `offset`.
  std::size_t riga_di(std::size_t offset) const;

 private:
  std::string_view testo_;
  std::vector<std::size_t> inizi_;
};

// One character of a UTF-8 text: its code point (U+FFFD for a byte that starts no well-formed
// sequence, which then counts as one character of one byte) and its length in bytes.
struct Carattere {
  char32_t punto = 0;
  std::size_t byte = 1;
};
Carattere carattere_a(std::string_view utf8, std::size_t i);
// The UTF-16 code units a code point takes.
inline int64_t unita_utf16(char32_t c) { return c >= 0x10000 ? 2 : 1; }

// What the server's text holds where the editor's holds a lone UTF-16 surrogate, which stands
// for no character: a noncharacter (set aside for a program's own use, never one of a text's
// characters) of one UTF-16 unit like the surrogate, so that every column stays the editor's.
constexpr char32_t kSurrogatoSolo = 0xFDD0;

// In a line of UTF-8 text: the UTF-16 units of its first `caratteri` characters, or of the
// characters that start in its first `byte` bytes; and the byte offset of a UTF-16 column
// (the line's end past it; the start of a character whose units it falls between).
int64_t utf16_dei_caratteri(std::string_view riga, std::size_t caratteri);
int64_t utf16_dei_byte(std::string_view riga, std::size_t byte);
std::size_t byte_della_colonna(std::string_view riga, int64_t colonna);

// The UTF-16 units before any character or byte of a UTF-8 text, each found in a few steps: the
// place of every kPasso-th character is kept, so that the columns of many diagnostics on one
// long line cost no walk from the line's start each. A line's column is the units before its
// place less the units before the line's start.
class ColonneUtf16 {
 public:
  explicit ColonneUtf16(std::string_view testo);
  // The UTF-16 units of the text's first `caratteri` characters (of all of them past its end).
  int64_t dei_caratteri(std::size_t caratteri) const;
  // The UTF-16 units of the characters that start in the text's first `byte` bytes.
  int64_t dei_byte(std::size_t byte) const;

 private:
  static constexpr std::size_t kPasso = 64;
  struct Tappa {
    std::size_t byte = 0;  // where character number k * kPasso starts
    int64_t unita = 0;     // the units before it
    // Every character up to the next one takes one byte (and so one unit): the most common
    // text, whose columns need no walk at all.
    bool uno_a_uno = false;
  };
  std::string_view testo_;
  std::vector<Tappa> tappe_;
};

// The byte offset of a position in a UTF-8 text, the line held to the last one and the column
// to the line's end, as the protocol asks.
std::size_t offset_di(std::string_view testo, Posizione p);

// The text as the compiler reads it: every character as its one Windows-1252 byte. The five
// bytes Windows-1252 leaves undefined come from the characters U+0081, U+008D, U+008F, U+0090
// and U+009D that the web's decoders make of them. A character Windows-1252 has not becomes
// '?' and is listed, by its offset in the UTF-8 text.
struct Mancante {
  std::size_t offset = 0;
  char32_t punto = 0;
};
std::string testo_1252(std::string_view utf8, std::vector<Mancante>& mancanti);

}  // namespace gs::lsp

#endif  // GS_LSP_TESTO_H

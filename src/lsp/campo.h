// How far what a diagnostic points at runs on its line. The compiler places a diagnostic at the
// first byte of a field; until it also gives each field's extent, the extent is that of the
// token that starts there, as the field reader reads it.
#ifndef GS_LSP_CAMPO_H
#define GS_LSP_CAMPO_H

#include <cstddef>
#include <string_view>

namespace gs::lsp {

// The end (one past the last byte) of the field that starts at byte `inizio` of a source line
// (Windows-1252, without its line end): a quoted text to its closing quote; a number to the
// first blank, since numbers may be separated by blanks alone; any other text to the comma or
// the line's end, without the blanks before it. A field with nothing in it ends where it
// starts.
std::size_t fine_campo(std::string_view riga, std::size_t inizio);

}  // namespace gs::lsp

#endif  // GS_LSP_CAMPO_H

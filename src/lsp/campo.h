// How far what a diagnostic points at runs on its line. The compiler places a diagnostic at the
// first byte of a field; its extent is the one the field reader gives the field that starts
// there (estensione_campo), read as a number when it starts like one.
#ifndef GS_LSP_CAMPO_H
#define GS_LSP_CAMPO_H

#include <cstddef>
#include <string_view>

namespace gs::lsp {

// The end (one past the last byte) of the field that starts at byte `inizio` of a source line
// (Windows-1252, without its line end), as the field reader reads it: a quoted text to its
// closing quote; a number to the first blank, since numbers may be separated by blanks alone;
// any other text to the comma or the line's end, without the blanks before it, which are not
// worth underlining. A field with nothing in it ends where it starts.
std::size_t fine_campo(std::string_view riga, std::size_t inizio);

}  // namespace gs::lsp

#endif  // GS_LSP_CAMPO_H

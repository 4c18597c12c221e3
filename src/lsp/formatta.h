// textDocument/formatting: the value fields of consecutive records of one kind aligned in
// columns, as the built-in sources are written.
#ifndef GS_LSP_FORMATTA_H
#define GS_LSP_FORMATTA_H

#include <nlohmann/json.hpp>

#include "lsp/vista.h"

namespace gs::lsp {

// The edits, each one a run of blanks replaced by another. Only the blanks after a comma that
// separates value fields change, and a number's blanks before its comma: never a text field's
// own blanks (a text keeps those before its separator), never the blanks that separate numbers
// written without commas, never a keyword, a head or a line the reading of which is not plain
// (quotes, a field left over or missing, two records on one line). The readers drop a field's
// leading blanks and the blanks after a number, so the compiled bytes stay those of the
// original; formatting what formatting gave changes nothing.
nlohmann::json formatta(const Vista& v);

}  // namespace gs::lsp

#endif  // GS_LSP_FORMATTA_H

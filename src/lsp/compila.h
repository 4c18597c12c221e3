// The compile of one unit (unita.h) in memory, and its diagnostics as the protocol publishes
// them: at their fields' ranges in UTF-16 units of the text the editor holds, with severity,
// code (E16, unknown-record) and the places a conflict involves as related information.
#ifndef GS_LSP_COMPILA_H
#define GS_LSP_COMPILA_H

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "lsp/diagnostica_lsp.h"
#include "lsp/lsp.h"
#include "lsp/unita.h"

namespace gs::lsp {

// What a compile found in each document, by URI. Every open document of the unit
// has its list, empty when nothing was found, so that what it showed before is cleared.
using Diagnostiche = std::map<std::string, Elenco>;

// Reads what is not open from disk, converts what is open to Windows-1252, compiles with
// `compila` as `check` does (never writing a file) and places every diagnostic.
// The compile itself is kept in `tenuta` when it was done (hover reads its cells and its
// chainage table).
Diagnostiche compila_unita(const Unita& u, const Compila& compila,
                           std::shared_ptr<const Compilazione>* tenuta = nullptr);

}  // namespace gs::lsp

#endif  // GS_LSP_COMPILA_H

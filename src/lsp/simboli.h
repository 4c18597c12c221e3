// The outline of a source and the fixes a diagnostic's message makes mechanical.
#ifndef GS_LSP_SIMBOLI_H
#define GS_LSP_SIMBOLI_H

#include <nlohmann/json.hpp>
#include <string>

#include "lsp/vista.h"

namespace gs::lsp {

// textDocument/documentSymbol: the section heads, each holding its stations (by name), its
// signals and its slowdowns (by position).
nlohmann::json simboli(const Vista& v);

// textDocument/codeAction: for each diagnostic of the request's context, the quick fixes its
// message makes mechanical: the keyword or head it suggests ("did you mean ...?") put in place,
// and the hyphens of a dropped keyword made blanks.
nlohmann::json azioni(const Vista& v, const std::string& uri, const nlohmann::json& diagnostiche);

}  // namespace gs::lsp

#endif  // GS_LSP_SIMBOLI_H

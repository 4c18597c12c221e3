// Help while writing a source, all of it from the table of the source records
// (record_sorgenti.h) and from explain's entries: hover, completion and signature help.
#ifndef GS_LSP_AIUTI_H
#define GS_LSP_AIUTI_H

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "lsp/diagnostica_lsp.h"
#include "lsp/lsp.h"
#include "lsp/vista.h"

namespace gs::lsp {

// What the last compile of a document gave, for hover: the compile, and the name it gave the
// document (its Luogo::file). No compile when none was done yet.
struct Compilato {
  const Compilazione* c = nullptr;
  std::string nome;
};

// textDocument/hover at a position: on a record's keyword, the record and its fields; on a
// value field, its name, meaning, accepted range and what it becomes (for a position, its
// cell and the chainage there); on a signal or slowdown, the code points the compiler added
// for it; on a published diagnostic, its explain entry too. Null where there is nothing.
nlohmann::json hover(const Vista& v, const Posizione& p,
                     const std::vector<DiagnosticaLsp>& diagnostiche, const Servizi& servizi,
                     const Compilato& compilato);

// textDocument/completion: in a keyword field, the records read at that point with their value
// fields named (as snippets whose placeholders are the fields, for a client that takes them),
// and the source's section heads.
nlohmann::json completamento(const Vista& v, const Posizione& p, bool snippet);

// textDocument/signatureHelp: the record being typed, the field at the cursor active.
nlohmann::json firma(const Vista& v, const Posizione& p);

}  // namespace gs::lsp

#endif  // GS_LSP_AIUTI_H

// The `lsp` command's compile and explanations, which the language server is handed: the tests, the
// benchmark and the fuzz target start the server with it too.
#ifndef GS_RUN_COMANDO_LSP_H
#define GS_RUN_COMANDO_LSP_H

#include "lsp/lsp.h"

namespace gs {

// The compile as `check` does it: the names from the file names, no file written; a line
// source alone as far as the line reader goes. And explain's entries.
lsp::Servizi servizi_lsp();

}  // namespace gs

#endif  // GS_RUN_COMANDO_LSP_H

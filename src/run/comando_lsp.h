// The `lsp` command's compile, which the language server is handed: the tests, the benchmark
// and the fuzz target start the server with it too.
#ifndef GS_RUN_COMANDO_LSP_H
#define GS_RUN_COMANDO_LSP_H

#include "lsp/lsp.h"

namespace gs {

// As `check` compiles: the names from the file names, no file written; a line source alone as
// far as the line reader goes.
lsp::Compila compilatore_lsp();

}  // namespace gs

#endif  // GS_RUN_COMANDO_LSP_H

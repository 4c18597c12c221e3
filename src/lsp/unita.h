// Which compile each open document takes part in. The names decide, as they do for `compile`: a
// train source LINE_TRAIN-.txt is compiled with the line source LINE_linea.txt beside it; a line
// source is checked with each of its open train sources, or alone when none is open.
#ifndef GS_LSP_UNITA_H
#define GS_LSP_UNITA_H

#include <string>
#include <vector>

#include "lsp/documenti.h"

namespace gs::lsp {

enum class Ruolo { kNessuno, kLinea, kTreno };

// By the file's name; for a document with no name of that form, by the editor's language.
Ruolo ruolo_di(const Documento& d);

// The line source beside a train source: for every '_' of the train file's name, the name before
// it is a possible line, and the longest one whose LINE_linea.txt is open or on disk is taken.
struct LineaAccanto {
  std::string percorso;              // empty when none was found
  std::vector<std::string> cercate;  // the files looked for, shortest line name first
};
LineaAccanto linea_accanto(const std::string& treno, const Archivio& archivio);

// One compile: a train document with its line source (open or on disk), or a line document
// alone.
struct Unita {
  const Documento* treno = nullptr;
  const Documento* linea = nullptr;  // the line source when it is open
  LineaAccanto accanto;              // for a train: where its line source is, or was looked for
  // What names this compile among others, and what must change for it to be done again.
  std::string nome() const;
  std::string stato(unsigned long long epoca_disco) const;
};

// The compiles the open documents take part in, each once.
std::vector<Unita> unita_aperte(const Archivio& archivio);

}  // namespace gs::lsp

#endif  // GS_LSP_UNITA_H

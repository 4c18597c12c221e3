// An open document as its features read it: its text as the compiler reads it (one
// Windows-1252 byte per character of the editor's text), read into records (analisi.h), and the
// way between the editor's positions (UTF-16 columns) and the bytes of a line.
#ifndef GS_LSP_VISTA_H
#define GS_LSP_VISTA_H

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "lsp/analisi.h"
#include "lsp/documenti.h"
#include "lsp/testo.h"

namespace gs::lsp {

class Vista {
 public:
  // A line source or a train source by its name (or its editor's language); nothing for a
  // document that is neither.
  static std::unique_ptr<Vista> di(const Documento& d);
  Vista(std::string editore, bool linea);
  // It holds views into its own texts.
  Vista(const Vista&) = delete;
  Vista& operator=(const Vista&) = delete;

  const Analisi& analisi() const { return analisi_; }
  // The line of a position and the byte of its column; nothing past the text's last line.
  std::optional<std::pair<std::size_t, std::size_t>> byte_di(const Posizione& p) const;
  // The range of bytes [da, a) of a line, in the editor's columns.
  Intervallo intervallo(std::size_t riga, std::size_t da, std::size_t a) const;
  const RigaLetta* riga(std::size_t n) const;
  // The editor's text of a range on one line (UTF-8); empty for a range over several lines.
  std::string_view testo_di(const Intervallo& i) const;

 private:
  std::string editore_;    // UTF-8
  std::string compilato_;  // Windows-1252
  IndiceRighe righe_editore_;
  // A line starts at the same character in both texts: its start in the compiled text is the
  // number of the editor's characters before it.
  IndiceRighe righe_compilato_;
  ColonneUtf16 colonne_;
  Analisi analisi_;
};

}  // namespace gs::lsp

#endif  // GS_LSP_VISTA_H

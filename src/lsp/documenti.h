// The documents the editor holds open: their text as it is now, changed edit by edit.
#ifndef GS_LSP_DOCUMENTI_H
#define GS_LSP_DOCUMENTI_H

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lsp/testo.h"

namespace gs::lsp {

struct Documento {
  std::string uri;
  std::string percorso;  // the file's name (UTF-8), empty when the URI names no file
  std::string lingua;    // the editor's language id
  // The editor's number for this text, as the editor wrote it: any whole number JSON carries.
  nlohmann::json versione = 0;
  std::string testo;  // UTF-8, as the editor holds it
  // Raised by every change of any document: which compile is out of date.
  uint64_t generazione = 0;
  // The first character of the file on disk when it was last opened or saved, if the file then
  // looked like UTF-8: the simulator reads Windows-1252, and the editor shows no difference.
  std::optional<Intervallo> utf8_su_disco;
};

class Archivio {
 public:
  // Opens (or opens again) a document and judges its file on disk.
  Documento& apri(const std::string& uri, std::string lingua, nlohmann::json versione,
                  std::string testo);
  void chiudi(const std::string& uri);
  // The edits of one change, in order, each on the text the one before left: the text between
  // the two positions replaced, or the whole text without a range. A position past a line's end
  // stands at that end, as the protocol says; a range that runs backwards or a line past the
  // text's last is refused, with the reason, and the document is kept as it was.
  using Modifica = std::pair<std::optional<Intervallo>, std::string>;
  std::optional<std::string> modifica(Documento& d, const std::vector<Modifica>& modifiche);
  // The file was saved: it is judged again.
  void salvato(Documento& d);

  Documento* trova(const std::string& uri);
  // The open document of a file, if any.
  const Documento* del_file(const std::string& percorso) const;
  const std::map<std::string, Documento>& tutti() const { return documenti_; }

 private:
  std::map<std::string, Documento> documenti_;  // by URI
  uint64_t generazione_ = 0;
};

// Where a file's text first looks like UTF-8 (its first character above ASCII, when the whole
// file is well-formed UTF-8), as the editor that reads it as UTF-8 places it.
std::optional<Intervallo> primo_utf8(std::string_view byte);

}  // namespace gs::lsp

#endif  // GS_LSP_DOCUMENTI_H

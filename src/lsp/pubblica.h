// The diagnostics the client is shown: each compile done again when what it reads changed, and
// a document's list sent when it differs from what was sent last. A document is sent at most
// kMostrate diagnostics, errors first and then in the order of its text, and one more that says
// how many were left out: an editor shows a person no more, and a list of one for each of a
// source's characters would cost the server and the editor far more than the text.
#ifndef GS_LSP_PUBBLICA_H
#define GS_LSP_PUBBLICA_H

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "lsp/compila.h"
#include "lsp/documenti.h"
#include "lsp/lsp.h"

namespace gs::lsp {

class Pubblicatore {
 public:
  // The params of one textDocument/publishDiagnostics.
  using Invia = std::function<void(nlohmann::json)>;

  // Compiles again every compile whose documents changed since the last call (or every one, when
  // a file may have changed on disk), and sends the diagnostics of every document whose list
  // changed, an empty list for one that no compile speaks of any more.
  void aggiorna(const Archivio& archivio, const Compila& compila, const Invia& invia);
  // A file may have changed on disk (a save, a document opened or closed): every compile is done
  // again at the next aggiorna.
  void disco_cambiato() { ++epoca_disco_; }
  // The diagnostics last sent for a document, as they were sent.
  const std::vector<DiagnosticaLsp>& pubblicate(const std::string& uri) const;
  // The last compile an open document took part in, if one was done.
  const Compilazione* compilazione_di(const std::string& uri) const;

 private:
  struct Compilato {
    std::string stato;  // Unita::stato when it was compiled
    Diagnostiche diagnostiche;
    std::shared_ptr<const Compilazione> compilazione;
  };
  struct Inviato {
    std::vector<DiagnosticaLsp> elenco;
    nlohmann::json versione;  // null for a document that is not open
  };
  std::map<std::string, Compilato> compilati_;  // by Unita::nome
  std::map<std::string, Inviato> inviati_;      // by URI
  unsigned long long epoca_disco_ = 0;
};

// What a document is sent of what the compiles that speak of it found: each diagnostic once, at
// most kMostrate of them in the order they are shown, and one more that says how many are left
// out.
std::vector<DiagnosticaLsp> da_mostrare(const std::vector<const Elenco*>& elenchi);

}  // namespace gs::lsp

#endif  // GS_LSP_PUBBLICA_H

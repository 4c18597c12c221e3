// One diagnostic as the editor is shown it, kept as plain values: a server may hold many of them,
// and the protocol's JSON for one is made only when it is sent.
#ifndef GS_LSP_DIAGNOSTICA_LSP_H
#define GS_LSP_DIAGNOSTICA_LSP_H

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "lsp/testo.h"

namespace gs::lsp {

// The protocol's DiagnosticSeverity.
constexpr int kErrore = 1, kAvviso = 2, kInformazione = 3;

// A place a diagnostic involves besides its own (relatedInformation).
struct Correlata {
  std::string uri;
  Intervallo intervallo;
  std::string messaggio;
  bool operator==(const Correlata&) const = default;
};

struct DiagnosticaLsp {
  Intervallo intervallo;
  int gravita = kErrore;
  std::string codice;  // E16, unknown-record; empty for none
  std::string messaggio;
  std::vector<Correlata> correlate;
  std::string causa;  // which of its entry's causes it is (data.cause), for hover; or empty
  bool operator==(const DiagnosticaLsp&) const = default;
};

// The protocol's Diagnostic object.
nlohmann::json json_di(const DiagnosticaLsp& d);
nlohmann::json json_di(const Intervallo& i);

// For telling equal diagnostics apart from different ones in a hash table.
struct HashDiagnostica {
  std::size_t operator()(const DiagnosticaLsp& d) const;
};

}  // namespace gs::lsp

#endif  // GS_LSP_DIAGNOSTICA_LSP_H

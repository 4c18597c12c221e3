// One diagnostic as the editor is shown it, kept as plain values: a compile may give millions,
// and the protocol's JSON for one is made only when it is sent. A document is shown at most
// kMostrate of them, errors first and then by their place: a compile keeps only those, and a
// fingerprint of every other to count them.
#ifndef GS_LSP_DIAGNOSTICA_LSP_H
#define GS_LSP_DIAGNOSTICA_LSP_H

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <unordered_set>
#include <vector>

#include "lsp/testo.h"

namespace gs::lsp {

// The protocol's DiagnosticSeverity.
constexpr int kErrore = 1, kAvviso = 2, kInformazione = 3;

// More than an editor shows a person in one source.
constexpr std::size_t kMostrate = 1000;

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
  std::string codice;  // its entry's code: E16, unknown-record, not-windows-1252
  std::string messaggio;
  std::vector<Correlata> correlate;
  std::string causa;  // which of its entry's causes it is (data.cause), for hover; or empty
  // The text its quick fix puts in place of its range (data.suggestion); or empty.
  std::string suggerimento;
  bool operator==(const DiagnosticaLsp&) const = default;
};

// The protocol's Diagnostic object (its Range: protocollo.h).
nlohmann::json json_di(const DiagnosticaLsp& d);

// The order a document's diagnostics are shown in: errors first, then by where they start.
// Diagnostics that neither precedes keep the order they came in.
bool prima_di(const DiagnosticaLsp& a, const DiagnosticaLsp& b);

// A fingerprint of everything a diagnostic holds: equal diagnostics have the same one, and two
// different ones the same one about once in 2^64.
uint64_t impronta(const DiagnosticaLsp& d);

// A document's diagnostics from one compile: the first kMostrate in the order they are shown,
// each once; and the fingerprint of every one, sorted and each once, which counts them and
// tells them from those of another compile of the same document.
struct Elenco {
  std::vector<DiagnosticaLsp> prime;
  std::vector<uint64_t> impronte;
};

// Gathers a document's diagnostics as a compile gives them, holding no more than it keeps.
class Raccolta {
 public:
  void aggiungi(DiagnosticaLsp d);
  Elenco chiudi();

 private:
  struct Tenuta {
    DiagnosticaLsp d;
    uint64_t impronta = 0;
    std::size_t arrivo = 0;  // the order it came in
  };
  static bool meno(const Tenuta& a, const Tenuta& b);
  // A heap whose top is the one shown last, the first to go for one shown before it.
  std::vector<Tenuta> mucchio_;
  std::unordered_set<uint64_t> nel_mucchio_;
  std::vector<uint64_t> impronte_;
  std::size_t arrivate_ = 0;
};

}  // namespace gs::lsp

#endif  // GS_LSP_DIAGNOSTICA_LSP_H

#include "lsp/pubblica.h"

#include <algorithm>
#include <unordered_set>
#include <utility>
#include <vector>

#include "lsp/unita.h"

namespace gs::lsp {
namespace {

using nlohmann::json;

struct PuntataUguale {
  bool operator()(const DiagnosticaLsp* a, const DiagnosticaLsp* b) const { return *a == *b; }
};
struct HashPuntata {
  std::size_t operator()(const DiagnosticaLsp* d) const { return HashDiagnostica()(*d); }
};

// The diagnostic that stands for those left out.
DiagnosticaLsp altre(std::size_t n) {
  DiagnosticaLsp d;
  d.gravita = kInformazione;
  d.codice = "more-diagnostics";
  d.causa = "more-diagnostics";
  d.messaggio = std::to_string(n) + " more diagnostics";
  return d;
}

}  // namespace

std::vector<DiagnosticaLsp> da_mostrare(std::vector<const DiagnosticaLsp*> tutte) {
  std::stable_sort(tutte.begin(), tutte.end(),
                   [](const DiagnosticaLsp* a, const DiagnosticaLsp* b) {
                     if (a->gravita != b->gravita) return a->gravita < b->gravita;
                     const Posizione &p = a->intervallo.inizio, &q = b->intervallo.inizio;
                     return p.riga != q.riga ? p.riga < q.riga : p.colonna < q.colonna;
                   });
  std::vector<DiagnosticaLsp> mostrate;
  mostrate.reserve(std::min(tutte.size(), kMostrate + 1));
  for (std::size_t i = 0; i < tutte.size() && i < kMostrate; ++i) mostrate.push_back(*tutte[i]);
  if (tutte.size() > kMostrate) mostrate.push_back(altre(tutte.size() - kMostrate));
  return mostrate;
}

void Pubblicatore::aggiorna(const Archivio& archivio, const Compila& compila, const Invia& invia) {
  std::map<std::string, Compilato> compilati;
  for (const Unita& u : unita_aperte(archivio)) {
    const std::string nome = u.nome(), stato = u.stato(epoca_disco_);
    const auto prima = compilati_.find(nome);
    if (prima != compilati_.end() && prima->second.stato == stato) {
      compilati.emplace(nome, std::move(prima->second));
    } else {
      Compilato nuovo{stato, {}, nullptr};
      nuovo.diagnostiche = compila_unita(u, compila, &nuovo.compilazione);
      compilati.emplace(nome, std::move(nuovo));
    }
  }
  compilati_ = std::move(compilati);

  // Every document's diagnostics, held where the compiles keep them.
  std::map<std::string, std::vector<const std::vector<DiagnosticaLsp>*>> per_uri;
  for (const auto& [nome, c] : compilati_)
    for (const auto& [uri, elenco] : c.diagnostiche) per_uri[uri].push_back(&elenco);
  for (const auto& [uri, elenchi] : per_uri) {
    std::vector<const DiagnosticaLsp*> tutte;
    if (elenchi.size() == 1) {
      tutte.reserve(elenchi[0]->size());
      for (const DiagnosticaLsp& d : *elenchi[0]) tutte.push_back(&d);
    } else {
      // A document several compiles speak of (a line source with two open train sources) gets
      // each diagnostic once.
      std::unordered_set<const DiagnosticaLsp*, HashPuntata, PuntataUguale> viste;
      for (const auto* elenco : elenchi)
        for (const DiagnosticaLsp& d : *elenco)
          if (viste.insert(&d).second) tutte.push_back(&d);
    }
    Inviato nuovo{da_mostrare(std::move(tutte)), nullptr};
    const auto aperto = archivio.tutti().find(uri);
    if (aperto != archivio.tutti().end()) nuovo.versione = aperto->second.versione;
    const auto prima = inviati_.find(uri);
    if (prima != inviati_.end() && prima->second.elenco == nuovo.elenco &&
        prima->second.versione == nuovo.versione)
      continue;
    json params = {{"uri", uri}, {"diagnostics", json::array()}};
    for (const DiagnosticaLsp& d : nuovo.elenco) params["diagnostics"].push_back(json_di(d));
    if (!nuovo.versione.is_null()) params["version"] = nuovo.versione;
    inviati_[uri] = std::move(nuovo);
    invia(std::move(params));
  }
  for (auto it = inviati_.begin(); it != inviati_.end();) {
    if (per_uri.count(it->first) > 0) {
      ++it;
      continue;
    }
    if (!it->second.elenco.empty()) invia({{"uri", it->first}, {"diagnostics", json::array()}});
    it = inviati_.erase(it);
  }
}

const Compilazione* Pubblicatore::compilazione_di(const std::string& uri) const {
  for (const auto& [nome, c] : compilati_)
    if (c.compilazione && c.diagnostiche.count(uri) > 0) return c.compilazione.get();
  return nullptr;
}

const std::vector<DiagnosticaLsp>& Pubblicatore::pubblicate(const std::string& uri) const {
  static const std::vector<DiagnosticaLsp> kNessuna;
  const auto it = inviati_.find(uri);
  return it == inviati_.end() ? kNessuna : it->second.elenco;
}

}  // namespace gs::lsp

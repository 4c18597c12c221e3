#include "lsp/pubblica.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <unordered_set>
#include <utility>
#include <vector>

#include "common/cause.h"
#include "lsp/protocollo.h"
#include "lsp/unita.h"

namespace gs::lsp {
namespace {

using nlohmann::json;

// The diagnostic that stands for those left out.
DiagnosticaLsp altre(std::size_t n) {
  DiagnosticaLsp d;
  d.gravita = kInformazione;
  d.codice = codice(voce_di(IdCausa::kAltreDiagnostiche));
  d.causa = causa(IdCausa::kAltreDiagnostiche).nome;
  d.messaggio = detto(IdCausa::kAltreDiagnostiche, {{"N", n}, {"M", kMostrate}}).testo;
  return d;
}

}  // namespace

std::vector<DiagnosticaLsp> da_mostrare(const std::vector<const Elenco*>& elenchi) {
  if (elenchi.empty()) return {};
  std::vector<DiagnosticaLsp> mostrate;
  std::size_t tutte = 0;
  if (elenchi.size() == 1) {
    mostrate = elenchi[0]->prime;
    tutte = elenchi[0]->impronte.size();
  } else {
    // Those each compile shows hold those shown of all together: one that a compile leaves out
    // has kMostrate before it there already.
    std::unordered_set<uint64_t> viste;
    for (const Elenco* e : elenchi)
      for (const DiagnosticaLsp& d : e->prime)
        if (viste.insert(impronta(d)).second) mostrate.push_back(d);
    std::stable_sort(mostrate.begin(), mostrate.end(), prima_di);
    if (mostrate.size() > kMostrate) mostrate.resize(kMostrate);
    std::vector<uint64_t> unite, prossime;
    for (const Elenco* e : elenchi) {
      prossime.clear();
      std::set_union(unite.begin(), unite.end(), e->impronte.begin(), e->impronte.end(),
                     std::back_inserter(prossime));
      unite.swap(prossime);
    }
    tutte = unite.size();
  }
  if (tutte > mostrate.size()) mostrate.push_back(altre(tutte - mostrate.size()));
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

  // A document several compiles speak of (a line source with two open train sources) gets
  // each diagnostic once.
  std::map<std::string, std::vector<const Elenco*>> per_uri;
  for (const auto& [nome, c] : compilati_)
    for (const auto& [uri, elenco] : c.diagnostiche) per_uri[uri].push_back(&elenco);
  for (const auto& [uri, elenchi] : per_uri) {
    Inviato nuovo{da_mostrare(elenchi), nullptr};
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

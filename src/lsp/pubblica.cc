#include "lsp/pubblica.h"

#include <set>
#include <utility>
#include <vector>

#include "lsp/unita.h"

namespace gs::lsp {

using nlohmann::json;

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
  std::map<std::string, std::vector<json>> per_uri;
  std::map<std::string, std::set<std::string>> visti;
  for (const auto& [nome, c] : compilati_) {
    for (const auto& [uri, elenco] : c.diagnostiche) {
      std::vector<json>& tutte = per_uri[uri];
      for (const json& d : elenco)
        if (visti[uri].insert(d.dump(-1, ' ', false, json::error_handler_t::replace)).second)
          tutte.push_back(d);
    }
  }
  for (auto& [uri, elenco] : per_uri) {
    json params = {{"uri", uri}, {"diagnostics", std::move(elenco)}};
    const auto aperto = archivio.tutti().find(uri);
    if (aperto != archivio.tutti().end()) params["version"] = aperto->second.versione;
    std::string testo = params.dump(-1, ' ', false, json::error_handler_t::replace);
    Inviato& inviato = inviati_[uri];
    if (inviato.testo == testo) continue;
    inviato.testo = std::move(testo);
    inviato.vuoto = params["diagnostics"].empty();
    invia(std::move(params));
  }
  for (auto it = inviati_.begin(); it != inviati_.end();) {
    if (per_uri.count(it->first) > 0) {
      ++it;
      continue;
    }
    if (!it->second.vuoto) invia({{"uri", it->first}, {"diagnostics", json::array()}});
    it = inviati_.erase(it);
  }
}

const Compilazione* Pubblicatore::compilazione_di(const std::string& uri) const {
  for (const auto& [nome, c] : compilati_)
    if (c.compilazione && c.diagnostiche.count(uri) > 0) return c.compilazione.get();
  return nullptr;
}

std::vector<json> Pubblicatore::pubblicate(const std::string& uri) const {
  const auto it = inviati_.find(uri);
  if (it == inviati_.end()) return {};
  return json::parse(it->second.testo)["diagnostics"].get<std::vector<json>>();
}

}  // namespace gs::lsp

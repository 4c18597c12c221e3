#include "lsp/simboli.h"

#include <algorithm>
#include <string_view>

#include "common/ascii.h"
#include "lsp/diagnostica_lsp.h"
#include "lsp/protocollo.h"

namespace gs::lsp {
namespace {

using nlohmann::json;

constexpr int kSimboloSezione = 3, kSimboloStazione = 19, kSimboloEvento = 24;  // SymbolKind

// A station, signal or slowdown on the line: its symbol.
std::optional<json> simbolo(const Vista& v, const RigaLetta& r) {
  for (const ParolaLetta& w : r.parole) {
    for (const RecordSorgente* rec : w.record) {
      const bool stazione = rec->tipo == TipoRecord::kStazione;
      if (!stazione && rec->tipo != TipoRecord::kSegnale && rec->tipo != TipoRecord::kRallentamento)
        continue;
      std::string nome;
      for (const CampoLetto& c : r.campi) {
        if (c.record != rec) continue;
        if (stazione && c.campo->tipo == TipoCampo::kTesto)
          nome = std::string(senza_spazi(c.testo));
        if (!stazione && nome.empty() && c.numero)
          nome = std::string(parola_scritta(*rec)) + " " + std::to_string(*c.numero) + " m";
      }
      if (nome.empty()) continue;
      return json{{"name", nome},
                  {"kind", stazione ? kSimboloStazione : kSimboloEvento},
                  {"range", json_di(v.intervallo(r.riga, 0, r.testo.size()))},
                  {"selectionRange", json_di(v.intervallo(r.riga, w.inizio, w.fine))}};
    }
  }
  return std::nullopt;
}

json modifica(const std::string& titolo, const std::string& uri, const json& d,
              const std::string& testo) {
  return {
      {"title", titolo},
      {"kind", "quickfix"},
      {"diagnostics", json::array({d})},
      {"isPreferred", true},
      {"edit", {{"changes", {{uri, json::array({{{"range", d["range"]}, {"newText", testo}}})}}}}}};
}

}  // namespace

json simboli(const Vista& v) {
  json tutti = json::array();
  json* sezione = nullptr;
  for (const RigaLetta& r : v.analisi().righe) {
    if (r.testata) {
      const Intervallo i = v.intervallo(r.riga, r.inizio_parola, r.fine_parola);
      tutti.push_back({{"name", std::string(senza_spazi(r.testo.substr(
                                    r.inizio_parola, r.fine_parola - r.inizio_parola)))},
                       {"kind", kSimboloSezione},
                       {"range", json_di(i)},
                       {"selectionRange", json_di(i)},
                       {"children", json::array()}});
      sezione = &tutti.back();
      continue;
    }
    auto s = simbolo(v, r);
    if (!s) continue;
    if (sezione == nullptr) {
      tutti.push_back(std::move(*s));
      continue;
    }
    (*sezione)["range"]["end"] = (*s)["range"]["end"];
    (*sezione)["children"].push_back(std::move(*s));
  }
  return tutti;
}

json azioni(const Vista& v, const std::string& uri, const json& diagnostiche) {
  json fatte = json::array();
  if (!diagnostiche.is_array()) return fatte;
  for (const json& d : diagnostiche) {
    if (!d.is_object() || !d.contains("range") || !d.contains("message") ||
        !d["message"].is_string())
      continue;
    const std::string codice = d.value("code", std::string());
    // The replacement travels beside the message, which may be worded in any way.
    const json* dati = d.contains("data") && d["data"].is_object() ? &d["data"] : nullptr;
    if (dati != nullptr && dati->contains("suggestion") && (*dati)["suggestion"].is_string()) {
      const std::string parola = (*dati)["suggestion"].get<std::string>();
      fatte.push_back(modifica("Replace with \"" + parola + "\"", uri, d, parola));
      continue;
    }
    if (codice == "dropped-field") {
      std::string testo(v.testo_di(intervallo_da(d["range"], "a diagnostic's range")));
      if (testo.empty() || testo.find('-') == std::string::npos) continue;
      std::replace(testo.begin(), testo.end(), '-', ' ');
      fatte.push_back(
          modifica("Write \"" + testo + "\" with blanks for its hyphens", uri, d, testo));
    }
  }
  return fatte;
}

}  // namespace gs::lsp

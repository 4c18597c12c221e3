#include "lsp/diagnostica_lsp.h"

#include <functional>

namespace gs::lsp {

using nlohmann::json;

json json_di(const Intervallo& i) {
  return {{"start", {{"line", i.inizio.riga}, {"character", i.inizio.colonna}}},
          {"end", {{"line", i.fine.riga}, {"character", i.fine.colonna}}}};
}

json json_di(const DiagnosticaLsp& d) {
  json j = {{"range", json_di(d.intervallo)},
            {"severity", d.gravita},
            {"source", "genera_scenario"},
            {"message", d.messaggio}};
  if (!d.codice.empty()) j["code"] = d.codice;
  if (!d.correlate.empty()) {
    json correlate = json::array();
    for (const Correlata& c : d.correlate)
      correlate.push_back({{"location", {{"uri", c.uri}, {"range", json_di(c.intervallo)}}},
                           {"message", c.messaggio}});
    j["relatedInformation"] = std::move(correlate);
  }
  if (!d.causa.empty()) j["data"] = {{"cause", d.causa}};
  return j;
}

std::size_t HashDiagnostica::operator()(const DiagnosticaLsp& d) const {
  // What tells two diagnostics of one document apart most often: the place and the words.
  const std::hash<int64_t> h;
  std::size_t s = std::hash<std::string>()(d.messaggio);
  for (const int64_t v : {d.intervallo.inizio.riga, d.intervallo.inizio.colonna,
                          d.intervallo.fine.riga, d.intervallo.fine.colonna})
    s = s * 31 + h(v);
  return s;
}

}  // namespace gs::lsp

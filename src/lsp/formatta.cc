#include "lsp/formatta.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/diagnostica_lsp.h"
#include "lsp/protocollo.h"

namespace gs::lsp {
namespace {

using nlohmann::json;

// A value field's part of a line: what stands between a comma and the next comma (or the
// line's end).
struct Segmento {
  std::size_t virgola = 0;   // the comma before it
  std::size_t inizio = 0;    // its first byte that is not a blank
  std::size_t fine = 0;      // one past its last byte kept (a text keeps its blanks)
  std::size_t chiusura = 0;  // the comma after it, or the line's end
  bool testo = false;        // it holds a text field
};

// A record line that may be formatted, cut into its segments; none otherwise.
std::optional<std::vector<Segmento>> segmenti(const RigaLetta& r) {
  if (r.testata || r.virgolette || r.parole.size() != 1 || !r.sezione) return std::nullopt;
  const ParolaLetta& w = r.parole.front();
  std::size_t attesi = 0;
  for (const RecordSorgente* rec : w.record) attesi += rec->campi.size();
  if (attesi == 0 || r.campi.size() != attesi) return std::nullopt;
  const std::string_view t = r.testo;
  if (t.find('\t') != std::string_view::npos) return std::nullopt;
  std::vector<Segmento> s;
  std::size_t virgola = t.find(',', w.fine);
  if (virgola != w.fine) return std::nullopt;  // the keyword's comma right after it
  while (virgola != std::string_view::npos) {
    Segmento g;
    g.virgola = virgola;
    g.chiusura = std::min(t.find(',', virgola + 1), t.size());
    g.inizio = virgola + 1;
    while (g.inizio < g.chiusura && t[g.inizio] == ' ') ++g.inizio;
    s.push_back(g);
    virgola = g.chiusura < t.size() ? g.chiusura : std::string_view::npos;
  }
  // Every segment holds fields, and every field stands in a segment.
  std::size_t j = 0;
  for (Segmento& g : s) {
    std::size_t n = 0;
    for (; j < r.campi.size() && r.campi[j].inizio <= g.chiusura && (r.campi[j].inizio > g.virgola);
         ++j, ++n)
      g.testo = g.testo || r.campi[j].campo->tipo == TipoCampo::kTesto;
    if (n == 0) return std::nullopt;
    g.fine = g.chiusura;
    const bool ultimo = &g == &s.back();
    // A number's blanks before its comma are skipped by the reader; a text keeps them, and the
    // line's last blanks are not between fields.
    if (!g.testo && !ultimo)
      while (g.fine > g.inizio && t[g.fine - 1] == ' ') --g.fine;
    if (ultimo) {
      std::size_t f = g.fine;
      while (f > g.inizio && t[f - 1] == ' ') --f;
      g.fine = g.testo ? g.fine : f;
    }
  }
  if (j != r.campi.size()) return std::nullopt;
  return s;
}

}  // namespace

json formatta(const Vista& v) {
  json modifiche = json::array();
  const auto& righe = v.analisi().righe;
  for (std::size_t i = 0; i < righe.size();) {
    const auto primo = segmenti(righe[i]);
    if (!primo) {
      ++i;
      continue;
    }
    // The group: the lines after it of the same record types and as many segments.
    std::vector<std::pair<const RigaLetta*, std::vector<Segmento>>> gruppo;
    gruppo.emplace_back(&righe[i], *primo);
    std::size_t k = i + 1;
    for (; k < righe.size(); ++k) {
      if (righe[k].parole.empty() ||
          righe[k].parole.front().record != righe[i].parole.front().record)
        break;
      auto s = segmenti(righe[k]);
      if (!s || s->size() != primo->size()) break;
      gruppo.emplace_back(&righe[k], std::move(*s));
    }
    // The widths: the keyword's, and each segment's kept text.
    std::size_t parola = 0;
    std::vector<std::size_t> larghe(primo->size(), 0);
    for (const auto& [r, s] : gruppo) {
      parola = std::max(parola, r->parole.front().fine);
      for (std::size_t j = 0; j < s.size(); ++j)
        larghe[j] = std::max(larghe[j], s[j].fine - s[j].inizio);
    }
    for (const auto& [riga, s] : gruppo) {
      // Clang before 16 (the fuzzing build's) cannot capture a structured binding in a lambda.
      const auto* r = riga;
      const auto sostituisci = [&](std::size_t da, std::size_t a, std::size_t blank) {
        if (a - da == blank && std::all_of(r->testo.begin() + static_cast<std::ptrdiff_t>(da),
                                           r->testo.begin() + static_cast<std::ptrdiff_t>(a),
                                           [](char c) { return c == ' '; }))
          return;
        modifiche.push_back({{"range", json_di(v.intervallo(r->riga, da, a))},
                             {"newText", std::string(blank, ' ')}});
      };
      for (std::size_t j = 0; j < s.size(); ++j) {
        const Segmento& g = s[j];
        const std::size_t lungo = g.fine - g.inizio;
        // Numbers to the right of their column, a text to its left; the first column after
        // the longest keyword.
        std::size_t blank = 1 + (g.testo ? 0 : larghe[j] - lungo);
        if (j == 0) blank += parola - r->parole.front().fine;
        sostituisci(g.virgola + 1, g.inizio, blank);
        if (g.fine < g.chiusura && j + 1 < s.size() && !g.testo) sostituisci(g.fine, g.chiusura, 0);
      }
    }
    i = k;
  }
  return modifiche;
}

}  // namespace gs::lsp

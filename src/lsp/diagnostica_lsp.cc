#include "lsp/diagnostica_lsp.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <utility>

#include "lsp/protocollo.h"

namespace gs::lsp {
namespace {

using nlohmann::json;

// splitmix64's finaliser: every bit of the input moves about half of the output's.
uint64_t mescola(uint64_t x) {
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

class Impasto {
 public:
  void operator()(uint64_t v) { h_ = mescola(h_ ^ mescola(v + 0x9E3779B97F4A7C15ull)); }
  void operator()(std::string_view s) {
    (*this)(std::hash<std::string_view>()(s));
    (*this)(s.size());
  }
  void operator()(const Intervallo& i) {
    for (const int64_t v : {i.inizio.riga, i.inizio.colonna, i.fine.riga, i.fine.colonna})
      (*this)(static_cast<uint64_t>(v));
  }
  uint64_t valore() const { return h_; }

 private:
  uint64_t h_ = 0;
};

}  // namespace

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
  if (!d.causa.empty()) j["data"]["cause"] = d.causa;
  if (!d.suggerimento.empty()) j["data"]["suggestion"] = d.suggerimento;
  return j;
}

bool prima_di(const DiagnosticaLsp& a, const DiagnosticaLsp& b) {
  if (a.gravita != b.gravita) return a.gravita < b.gravita;
  const Posizione &p = a.intervallo.inizio, &q = b.intervallo.inizio;
  return p.riga != q.riga ? p.riga < q.riga : p.colonna < q.colonna;
}

uint64_t impronta(const DiagnosticaLsp& d) {
  Impasto h;
  h(d.intervallo);
  h(static_cast<uint64_t>(d.gravita));
  h(d.codice);
  h(d.messaggio);
  h(d.causa);
  h(d.suggerimento);
  h(d.correlate.size());
  for (const Correlata& c : d.correlate) {
    h(c.uri);
    h(c.intervallo);
    h(c.messaggio);
  }
  return h.valore();
}

bool Raccolta::meno(const Tenuta& a, const Tenuta& b) {
  if (prima_di(a.d, b.d)) return true;
  return !prima_di(b.d, a.d) && a.arrivo < b.arrivo;
}

void Raccolta::aggiungi(DiagnosticaLsp d) {
  const uint64_t h = impronta(d);
  impronte_.push_back(h);
  // One equal to it is held already. One that came before it and was let go is shown before
  // it, so this one would go too.
  if (nel_mucchio_.count(h) > 0) return;
  Tenuta t{std::move(d), h, arrivate_++};
  if (mucchio_.size() >= kMostrate) {
    if (!meno(t, mucchio_.front())) return;
    std::pop_heap(mucchio_.begin(), mucchio_.end(), meno);
    nel_mucchio_.erase(mucchio_.back().impronta);
    mucchio_.pop_back();
  }
  nel_mucchio_.insert(h);
  mucchio_.push_back(std::move(t));
  std::push_heap(mucchio_.begin(), mucchio_.end(), meno);
}

Elenco Raccolta::chiudi() {
  std::sort_heap(mucchio_.begin(), mucchio_.end(), meno);
  Elenco e;
  e.prime.reserve(mucchio_.size());
  for (Tenuta& t : mucchio_) e.prime.push_back(std::move(t.d));
  std::sort(impronte_.begin(), impronte_.end());
  impronte_.erase(std::unique(impronte_.begin(), impronte_.end()), impronte_.end());
  e.impronte = std::move(impronte_);
  mucchio_.clear();
  nel_mucchio_.clear();
  return e;
}

}  // namespace gs::lsp

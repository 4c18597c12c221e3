#include "views/etichette.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "views/disegna.h"

namespace gs {

std::vector<bool> dirada(const std::vector<double>& centri, const std::vector<double>& larghezze,
                         double spazio, const std::vector<bool>& priorita) {
  const std::size_t n = std::min(centri.size(), larghezze.size());
  std::vector<bool> tenuti(n, false);
  // Checked against every interval kept, not only the last: the priority pass leaves gaps
  // that the second pass fills out of order.
  std::vector<std::pair<double, double>> presi;
  const auto prova = [&](std::size_t i) {
    const double a = centri[i] - larghezze[i] / 2 - spazio / 2;
    const double b = centri[i] + larghezze[i] / 2 + spazio / 2;
    for (const auto& [x0, x1] : presi) {
      if (a < x1 && x0 < b) return;
    }
    presi.emplace_back(a, b);
    tenuti[i] = true;
  };
  for (std::size_t i = 0; i < n; ++i) {
    if (i < priorita.size() && priorita[i]) prova(i);
  }
  for (std::size_t i = 0; i < n; ++i) {
    if (!(i < priorita.size() && priorita[i])) prova(i);
  }
  return tenuti;
}

namespace svg {

void scrivi_in_fila(Foglio& foglio, const std::vector<Etichetta>& etichette, double y, double corpo,
                    std::string_view stile) {
  std::vector<double> centri, larghezze;
  for (const Etichetta& e : etichette) {
    centri.push_back(e.x);
    larghezze.push_back(larghezza_testo(e.testo, corpo));
  }
  const std::vector<bool> tenuti = dirada(centri, larghezze, 4);
  for (std::size_t i = 0; i < etichette.size(); ++i) {
    if (tenuti[i]) foglio.testo(etichette[i].x, y, etichette[i].testo, stile, "middle");
  }
}

bool PostiPianta::scrivi(Foglio& foglio, Punto p, const std::string& testo, double corpo,
                         std::string_view stile, bool con_riga) {
  const std::optional<Posto> posto = cerca_posto(p, larghezza_testo(testo, corpo), corpo);
  if (!posto) return false;
  const Rettangolo& r = posto->r;
  occupati_.push_back(r);
  if (con_riga && std::fabs(posto->scarto) > 20) {
    foglio.linea(p.x, p.y, (r.x0 + r.x1) / 2, posto->scarto < 0 ? r.y1 : r.y0 - 2,
                 "stroke:#888;stroke-width:1");
  }
  foglio.testo((r.x0 + r.x1) / 2, r.y1 - 3, testo, stile, "middle");
  return true;
}

std::optional<PostiPianta::Posto> PostiPianta::cerca_posto(Punto p, double larghezza,
                                                           double corpo) const {
  // Alternately above and below, nearest first: a label stays as close to its point as the
  // crowd allows, on whichever side has room.
  static constexpr double kScarti[] = {-14, 26, -36, 48, -58, 70, -80, 92, -102};
  // Crossing the line is better than no label: the second round allows it.
  for (const bool evita_linea : {true, false}) {
    for (const double dy : kScarti) {
      Rettangolo r{p.x - larghezza / 2, p.y + dy - corpo, p.x + larghezza / 2, p.y + dy + 3};
      // Near the sheet's edges the label slides inward rather than being dropped.
      const double spinta =
          std::max(0.0, riquadro_.x0 + 4 - r.x0) - std::max(0.0, r.x1 - (riquadro_.x1 - 4));
      r.x0 += spinta;
      r.x1 += spinta;
      if (libero(r) && !(evita_linea && sul_tracciato(r))) return Posto{r, dy};
    }
  }
  return std::nullopt;
}

bool PostiPianta::libero(const Rettangolo& r) const {
  return r.y0 >= riquadro_.y0 + 2 && r.y1 <= riquadro_.y1 - 2 && r.x0 >= riquadro_.x0 + 2 &&
         r.x1 <= riquadro_.x1 - 2 &&
         std::none_of(occupati_.begin(), occupati_.end(),
                      [&](const Rettangolo& o) { return o.interseca(r, 3); });
}

bool PostiPianta::sul_tracciato(const Rettangolo& r) const {
  return std::any_of(tracciato_.begin(), tracciato_.end(), [&](const Punto& p) {
    return p.x > r.x0 - 3 && p.x < r.x1 + 3 && p.y > r.y0 - 3 && p.y < r.y1 + 3;
  });
}

}  // namespace svg
}  // namespace gs

// The plan view of the route sheet: the line as the geometry file draws it, turned so that it
// runs from left to right, with the stations named where they stand.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "common/nomi_file.h"
#include "views/disegna.h"
#include "views/disegna_svg.h"

namespace gs::svg {
namespace {

struct Punto {
  double x = 0, y = 0;
};

// The last metre at or before `metro` that has a plan position, or -1.
int64_t posizionato_prima(const Geometria& g, int64_t metro) {
  for (int64_t m = std::min<int64_t>(metro, static_cast<int64_t>(g.metri()) - 1); m >= 0; --m) {
    if (g.posizionato(static_cast<std::size_t>(m)) && std::isfinite(g.colonna0[static_cast<std::size_t>(m)].valore) &&
        std::isfinite(g.colonna1[static_cast<std::size_t>(m)].valore))
      return m;
  }
  return -1;
}

class Pianta {
 public:
  Pianta(const Geometria& g, double angolo) : g_(g), c_(std::cos(angolo)), s_(std::sin(angolo)) {}

  // The metre turned into the sheet's frame: the chord along +x, column 1 kept to the left of
  // the direction of travel so that right-hand curves still bend to the right.
  Punto ruotato(std::size_t m) const {
    const double x = g_.colonna0[m].valore;
    const double y = g_.colonna1[m].valore;
    return {c_ * x + s_ * y, -s_ * x + c_ * y};
  }
  bool valido(std::size_t m) const {
    return g_.posizionato(m) && std::isfinite(g_.colonna0[m].valore) && std::isfinite(g_.colonna1[m].valore);
  }

 private:
  const Geometria& g_;
  double c_, s_;
};

}  // namespace

double disegna_pianta(Foglio& f, const Geometria& g, const Stazioni& tabella, int64_t lunghezza,
                      double x, double y, double larghezza, double altezza_massima) {
  f.testo(x, y + 22, "Plan view", "font-size:22px;font-weight:bold");
  const int64_t primo = [&] {
    for (std::size_t m = 0; m < g.metri(); ++m) {
      if (g.posizionato(m) && std::isfinite(g.colonna0[m].valore) && std::isfinite(g.colonna1[m].valore))
        return static_cast<int64_t>(m);
    }
    return int64_t{-1};
  }();
  const int64_t fine = posizionato_prima(g, lunghezza > 0 ? lunghezza : static_cast<int64_t>(g.metri()));
  if (primo < 0 || fine <= primo) {
    f.testo(x, y + 60, "The geometry file holds no plan position: nothing to draw.", "font-size:18px;fill:#a00");
    return 90;
  }
  const auto p0 = [&](int64_t m) { return g.colonna0[static_cast<std::size_t>(m)].valore; };
  const auto p1 = [&](int64_t m) { return g.colonna1[static_cast<std::size_t>(m)].valore; };
  const double corda0 = p0(fine) - p0(primo), corda1 = p1(fine) - p1(primo);
  const double angolo = (corda0 == 0 && corda1 == 0) ? std::numbers::pi / 2 : std::atan2(corda1, corda0);
  const Pianta pianta(g, angolo);

  // Some 6000 points keep the curves smooth at this scale and the file small.
  const int64_t passo = std::max<int64_t>(1, (fine - primo) / 6000);
  std::vector<std::size_t> metri;
  for (int64_t m = primo; m < fine; m += passo) {
    if (pianta.valido(static_cast<std::size_t>(m))) metri.push_back(static_cast<std::size_t>(m));
  }
  metri.push_back(static_cast<std::size_t>(fine));
  double min_x = 1e300, max_x = -1e300, min_y = 1e300, max_y = -1e300;
  for (const std::size_t m : metri) {
    const Punto p = pianta.ruotato(m);
    min_x = std::min(min_x, p.x);
    max_x = std::max(max_x, p.x);
    min_y = std::min(min_y, p.y);
    max_y = std::max(max_y, p.y);
  }
  constexpr double kBordo = 110;  // room above and below the line for the station names
  constexpr double kTesta = 40;
  const double ampio = std::max(max_x - min_x, 1.0);
  const double alto = std::max(max_y - min_y, 1.0);
  const double scala = std::min((larghezza - 40) / ampio, (altezza_massima - 2 * kBordo - kTesta) / alto);
  const double altezza = alto * scala + 2 * kBordo + kTesta;
  const double ox = x + 20 + (larghezza - 40 - ampio * scala) / 2 - min_x * scala;
  const double oy = y + kTesta + kBordo + max_y * scala;
  const auto schermo = [&](std::size_t m) {
    const Punto p = pianta.ruotato(m);
    return Punto{ox + p.x * scala, oy - p.y * scala};
  };

  f.grezzo("<clipPath id=\"riquadro-pianta\"><rect x=\"" + num(x) + "\" y=\"" + num(y + kTesta) +
           "\" width=\"" + num(larghezza) + "\" height=\"" + num(altezza - kTesta) + "\"/></clipPath>\n");
  f.rettangolo(x, y + kTesta, larghezza, altezza - kTesta, "fill:#fbfbf7;stroke:#999;stroke-width:1");

  // The run-out past the end of the line, which the geometry carries for the simulator.
  const int64_t ultimo = posizionato_prima(g, static_cast<int64_t>(g.metri()) - 1);
  if (ultimo > fine) {
    std::string d;
    const int64_t passo_coda = std::max<int64_t>(1, (ultimo - fine) / 500);
    for (int64_t m = fine; m <= ultimo; m += passo_coda) {
      if (!pianta.valido(static_cast<std::size_t>(m))) continue;
      const Punto p = schermo(static_cast<std::size_t>(m));
      d += (d.empty() ? "M" : " L") + num(p.x) + " " + num(p.y);
    }
    f.grezzo("<path clip-path=\"url(#riquadro-pianta)\" d=\"" + d +
             "\" style=\"fill:none;stroke:#aaa;stroke-width:2;stroke-dasharray:8 6\"/>\n");
  }
  std::vector<Punto> tracciato;
  std::string d;
  for (const std::size_t m : metri) {
    const Punto p = schermo(m);
    tracciato.push_back(p);
    d += (d.empty() ? "M" : " L") + num(p.x) + " " + num(p.y);
  }
  f.grezzo("<path class=\"tracciato\" d=\"" + d + "\" style=\"fill:none;stroke:#222;stroke-width:3\"/>\n");

  std::vector<Rettangolo> occupati;
  const auto sul_tracciato = [&](const Rettangolo& r) {
    return std::any_of(tracciato.begin(), tracciato.end(), [&](const Punto& p) {
      return p.x > r.x0 - 3 && p.x < r.x1 + 3 && p.y > r.y0 - 3 && p.y < r.y1 + 3;
    });
  };
  const auto libero = [&](const Rettangolo& r) {
    return r.y0 >= y + kTesta + 2 && r.y1 <= y + altezza - 2 && r.x0 >= x + 2 && r.x1 <= x + larghezza - 2 &&
           std::none_of(occupati.begin(), occupati.end(), [&](const Rettangolo& o) { return o.interseca(r, 3); });
  };
  // Tries places above and below the point, nearest first, clear of other labels and of the
  // line if it can; returns false when every place is taken by another label.
  const auto etichetta = [&](Punto p, const std::string& testo, double corpo, std::string_view stile,
                             bool con_riga) {
    const double l = larghezza_testo(testo, corpo);
    static constexpr double kScarti[] = {-14, 26, -36, 48, -58, 70, -80, 92, -102};
    const Rettangolo* scelto = nullptr;
    Rettangolo migliore;
    double scarto = 0;
    for (const bool evita_linea : {true, false}) {
      for (const double dy : kScarti) {
        Rettangolo r{p.x - l / 2, p.y + dy - corpo, p.x + l / 2, p.y + dy + 3};
        // Near the sheet's edges the label slides inward rather than being dropped.
        const double spinta = std::max(0.0, x + 4 - r.x0) - std::max(0.0, r.x1 - (x + larghezza - 4));
        r.x0 += spinta;
        r.x1 += spinta;
        if (!libero(r) || (evita_linea && sul_tracciato(r))) continue;
        migliore = r;
        scelto = &migliore;
        scarto = dy;
        break;
      }
      if (scelto) break;
    }
    if (!scelto) return false;
    occupati.push_back(migliore);
    if (con_riga && std::fabs(scarto) > 20) {
      f.linea(p.x, p.y, (migliore.x0 + migliore.x1) / 2, scarto < 0 ? migliore.y1 : migliore.y0 - 2,
              "stroke:#888;stroke-width:1");
    }
    f.testo((migliore.x0 + migliore.x1) / 2, migliore.y1 - 3, testo, stile, "middle");
    return true;
  };

  // Stations first: their names matter most; then the km posts fill what room is left.
  const auto ruoli = ruoli_voci(tabella);
  for (int i = 1; i < kVociStazioni; ++i) {
    if (ruoli[static_cast<std::size_t>(i)] != Ruolo::kStazione) continue;
    const Stazione& s = tabella[static_cast<std::size_t>(i)];
    if (s.posizione < 0 || s.posizione > fine || !pianta.valido(static_cast<std::size_t>(s.posizione))) continue;
    const Punto p = schermo(static_cast<std::size_t>(s.posizione));
    occupati.push_back({p.x - 6, p.y - 6, p.x + 6, p.y + 6});
  }
  for (int i = 1; i < kVociStazioni; ++i) {
    if (ruoli[static_cast<std::size_t>(i)] != Ruolo::kStazione) continue;
    const Stazione& s = tabella[static_cast<std::size_t>(i)];
    if (s.posizione < 0 || s.posizione > fine || !pianta.valido(static_cast<std::size_t>(s.posizione))) continue;
    const Punto p = schermo(static_cast<std::size_t>(s.posizione));
    const std::string nome = utf8_da_1252(s.nome);
    f.grezzo("<g class=\"stazione-pianta\"><title>" + testo_xml(nome) + "</title>");
    f.cerchio(p.x, p.y, 6, "fill:#fff;stroke:#c00;stroke-width:3");
    f.grezzo("</g>\n");
    if (!etichetta(p, nome, 15, "font-size:15px;font-weight:bold;fill:#900", true))
      etichetta(p, std::to_string(i), 13, "font-size:13px;font-weight:bold;fill:#900", false);
  }
  const Punto inizio = schermo(static_cast<std::size_t>(primo));
  const Punto termine = schermo(static_cast<std::size_t>(fine));
  etichetta(inizio, "start", 13, "font-size:13px;fill:#555", false);
  etichetta(termine, "end", 13, "font-size:13px;fill:#555", false);
  for (int64_t km = 10000; km < fine; km += 10000) {
    if (!pianta.valido(static_cast<std::size_t>(km))) continue;
    const Punto p = schermo(static_cast<std::size_t>(km));
    f.cerchio(p.x, p.y, 3, "fill:#06c");
    etichetta(p, std::to_string(km / 1000) + " km", 12, "font-size:12px;fill:#06c", false);
  }

  // Scale bar and the direction of column 1, since the drawing is turned.
  const double scala_km = [&] {
    for (const double km : {1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0, 200.0, 500.0}) {
      if (km * 1000 * scala >= larghezza / 25) return km;
    }
    return 1000.0;
  }();
  const double bx = x + 30, by = y + altezza - 24;
  f.rettangolo(bx, by, scala_km * 1000 * scala, 6, "fill:#222");
  f.testo(bx, by - 6, num(scala_km) + " km", "font-size:13px");
  const double cx = x + larghezza - 60, cy = y + kTesta + 60;
  const double ux = std::sin(angolo), uy = -std::cos(angolo);
  f.cerchio(cx, cy, 34, "fill:#fff;stroke:#999");
  f.linea(cx - ux * 26, cy - uy * 26, cx + ux * 26, cy + uy * 26, "stroke:#222;stroke-width:2");
  f.cerchio(cx + ux * 26, cy + uy * 26, 4, "fill:#222");
  f.testo(cx, cy + 52, "column 1", "font-size:12px;fill:#555", "middle");
  return altezza;
}

}  // namespace gs::svg

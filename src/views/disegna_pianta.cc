// The plan view of the route sheet: the line as the geometry file draws it, turned so that it
// runs from left to right, with the stations named where they stand.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "common/nomi_file.h"
#include "views/disegna.h"
#include "views/disegna_svg.h"
#include "views/etichette.h"

namespace gs::svg {
namespace {

constexpr double kBordo = 110;  // room above and below the line for the station names
constexpr double kTesta = 40;   // the title, above the box

bool ha_posizione(const Geometria& g, std::size_t m) {
  return g.posizionato(m) && std::isfinite(g.colonna0[m].valore) &&
         std::isfinite(g.colonna1[m].valore);
}

// The first metre from `da` to `a` that has a plan position, or -1.
int64_t primo_posizionato(const Geometria& g, int64_t da, int64_t a) {
  const int64_t fine = std::min<int64_t>(a, static_cast<int64_t>(g.metri()) - 1);
  for (int64_t m = std::max<int64_t>(da, 0); m <= fine; ++m) {
    if (ha_posizione(g, static_cast<std::size_t>(m))) return m;
  }
  return -1;
}

// The last metre at or before `metro` that has a plan position, or -1.
int64_t posizionato_prima(const Geometria& g, int64_t metro) {
  for (int64_t m = std::min<int64_t>(metro, static_cast<int64_t>(g.metri()) - 1); m >= 0; --m) {
    if (ha_posizione(g, static_cast<std::size_t>(m))) return m;
  }
  return -1;
}

// The direction from the first metre drawn to the last, which the drawing turns onto +x; a
// line that ends where it starts has none, and is drawn as if it ran along column 1.
double angolo_corda(const Geometria& g, int64_t primo, int64_t fine) {
  const auto p0 = [&](int64_t m) { return g.colonna0[static_cast<std::size_t>(m)].valore; };
  const auto p1 = [&](int64_t m) { return g.colonna1[static_cast<std::size_t>(m)].valore; };
  const double corda0 = p0(fine) - p0(primo), corda1 = p1(fine) - p1(primo);
  return (corda0 == 0 && corda1 == 0) ? std::numbers::pi / 2 : std::atan2(corda1, corda0);
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
  bool valido(std::size_t m) const { return ha_posizione(g_, m); }

 private:
  const Geometria& g_;
  double c_, s_;
};

// The turned plan scaled into its box on the sheet.
struct Vista {
  Pianta pianta;
  double x = 0, y = 0, larghezza = 0;
  double altezza = 0;  // of the box, title included
  double scala = 1;    // pixels per metre
  double ox = 0, oy = 0;

  Punto schermo(std::size_t m) const {
    const Punto p = pianta.ruotato(m);
    return {ox + p.x * scala, oy - p.y * scala};
  }
  // Where labels may go: the box below the title.
  Rettangolo riquadro() const { return {x, y + kTesta, x + larghezza, y + altezza}; }
};

// The metres the line is drawn through: some 6000 keep the curves smooth at this scale and the
// file small.
std::vector<std::size_t> metri_disegnati(const Pianta& pianta, int64_t primo, int64_t fine) {
  const int64_t passo = std::max<int64_t>(1, (fine - primo) / 6000);
  std::vector<std::size_t> metri;
  for (int64_t m = primo; m < fine; m += passo) {
    if (pianta.valido(static_cast<std::size_t>(m))) metri.push_back(static_cast<std::size_t>(m));
  }
  metri.push_back(static_cast<std::size_t>(fine));
  return metri;
}

// Scales the plan to the box's width, or to the height allowed if the plan is the taller, and
// centres it across.
Vista inquadra(const Pianta& pianta, const std::vector<std::size_t>& metri, double x, double y,
               double larghezza, double altezza_massima) {
  double min_x = 1e300, max_x = -1e300, min_y = 1e300, max_y = -1e300;
  for (const std::size_t m : metri) {
    const Punto p = pianta.ruotato(m);
    min_x = std::min(min_x, p.x);
    max_x = std::max(max_x, p.x);
    min_y = std::min(min_y, p.y);
    max_y = std::max(max_y, p.y);
  }
  const double ampio = std::max(max_x - min_x, 1.0);
  const double alto = std::max(max_y - min_y, 1.0);
  Vista v{pianta, x, y, larghezza};
  v.scala = std::min((larghezza - 40) / ampio, (altezza_massima - 2 * kBordo - kTesta) / alto);
  v.altezza = alto * v.scala + 2 * kBordo + kTesta;
  v.ox = x + 20 + (larghezza - 40 - ampio * v.scala) / 2 - min_x * v.scala;
  v.oy = y + kTesta + kBordo + max_y * v.scala;
  return v;
}

void disegna_riquadro(Foglio& f, const Vista& v) {
  f.grezzo("<clipPath id=\"riquadro-pianta\"><rect x=\"" + num(v.x) + "\" y=\"" +
           num(v.y + kTesta) + "\" width=\"" + num(v.larghezza) + "\" height=\"" +
           num(v.altezza - kTesta) + "\"/></clipPath>\n");
  f.rettangolo(v.x, v.y + kTesta, v.larghezza, v.altezza - kTesta,
               "fill:#fbfbf7;stroke:#999;stroke-width:1");
}

// The run-out past the end of the line, which the geometry carries for the simulator. It is
// left out of the scaling, so it is clipped to the box.
void disegna_coda(Foglio& f, const Geometria& g, const Vista& v, int64_t fine) {
  const int64_t ultimo = posizionato_prima(g, static_cast<int64_t>(g.metri()) - 1);
  if (ultimo <= fine) return;
  std::string d;
  const int64_t passo = std::max<int64_t>(1, (ultimo - fine) / 500);
  for (int64_t m = fine; m <= ultimo; m += passo) {
    if (!v.pianta.valido(static_cast<std::size_t>(m))) continue;
    const Punto p = v.schermo(static_cast<std::size_t>(m));
    d += (d.empty() ? "M" : " L") + num(p.x) + " " + num(p.y);
  }
  f.grezzo("<path clip-path=\"url(#riquadro-pianta)\" d=\"" + d +
           "\" style=\"fill:none;stroke:#aaa;stroke-width:2;stroke-dasharray:8 6\"/>\n");
}

// The path through the metres on the sheet; their points go to `punti`, which labels keep off.
std::string percorso(const Vista& v, const std::vector<std::size_t>& metri,
                     std::vector<Punto>& punti) {
  std::string d;
  for (const std::size_t m : metri) {
    const Punto p = v.schermo(m);
    punti.push_back(p);
    d += (d.empty() ? "M" : " L") + num(p.x) + " " + num(p.y);
  }
  return d;
}

// Draws the line and returns its points on the sheet.
std::vector<Punto> disegna_tracciato(Foglio& f, const Vista& v,
                                     const std::vector<std::size_t>& metri) {
  std::vector<Punto> tracciato;
  f.grezzo("<path class=\"tracciato\" d=\"" + percorso(v, metri, tracciato) +
           "\" style=\"fill:none;stroke:#222;stroke-width:3\"/>\n");
  return tracciato;
}

// A window's part of the line solid, and its part past the line's end dashed as the run-out
// is; returns the points of both.
std::vector<Punto> disegna_tracciato_e_coda(Foglio& f, const Vista& v,
                                            const std::vector<std::size_t>& metri,
                                            int64_t lunghezza) {
  const auto taglio =
      std::upper_bound(metri.begin(), metri.end(), lunghezza,
                       [](int64_t l, std::size_t m) { return static_cast<int64_t>(m) > l; });
  std::vector<Punto> punti;
  if (taglio != metri.begin())
    punti = disegna_tracciato(f, v, std::vector<std::size_t>(metri.begin(), taglio));
  // The run-out starts where the line ends, so that the two join.
  const std::vector<std::size_t> coda(taglio == metri.begin() ? taglio : taglio - 1, metri.end());
  if (coda.size() > 1)
    f.grezzo("<path d=\"" + percorso(v, coda, punti) +
             "\" style=\"fill:none;stroke:#aaa;stroke-width:2;stroke-dasharray:8 6\"/>\n");
  return punti;
}

struct StazionePianta {
  int voce = 0;
  const Stazione* s = nullptr;
  Punto p;
};

// The stations that stand on the drawn part of the line, in the table's order.
std::vector<StazionePianta> stazioni_in_pianta(const Stazioni& tabella, const Vista& v, int64_t da,
                                               int64_t fine) {
  std::vector<StazionePianta> stazioni;
  const auto ruoli = ruoli_voci(tabella);
  for (int i = 1; i < kVociStazioni; ++i) {
    if (ruoli[static_cast<std::size_t>(i)] != Ruolo::kStazione) continue;
    const Stazione& s = tabella[static_cast<std::size_t>(i)];
    if (s.posizione < da || s.posizione > fine) continue;
    if (!v.pianta.valido(static_cast<std::size_t>(s.posizione))) continue;
    stazioni.push_back({i, &s, v.schermo(static_cast<std::size_t>(s.posizione))});
  }
  return stazioni;
}

void segna_stazioni(Foglio& f, const Stazioni& tabella, const Vista& v, int64_t da, int64_t fine,
                    PostiPianta& posti) {
  const std::vector<StazionePianta> stazioni = stazioni_in_pianta(tabella, v, da, fine);
  // Every station's mark is kept clear before any name is placed, so that no name covers
  // the mark of a station further on.
  for (const StazionePianta& s : stazioni)
    posti.occupa({s.p.x - 6, s.p.y - 6, s.p.x + 6, s.p.y + 6});
  for (const StazionePianta& s : stazioni) {
    const std::string nome = utf8_da_1252(s.s->nome);
    f.grezzo("<g class=\"stazione-pianta\"><title>" + testo_xml(nome) + "</title>");
    f.cerchio(s.p.x, s.p.y, 6, "fill:#fff;stroke:#c00;stroke-width:3");
    f.grezzo("</g>\n");
    // A name with no room left gives way to the entry number, which the tooltip explains.
    if (!posti.scrivi(f, s.p, nome, 15, "font-size:15px;font-weight:bold;fill:#900", true))
      posti.scrivi(f, s.p, std::to_string(s.voce), 13, "font-size:13px;font-weight:bold;fill:#900",
                   false);
  }
}

// The two ends, and a post every 10 km in what room the station names leave.
void segna_estremi_e_chilometri(Foglio& f, const Vista& v, int64_t primo, int64_t fine,
                                PostiPianta& posti) {
  const Punto inizio = v.schermo(static_cast<std::size_t>(primo));
  const Punto termine = v.schermo(static_cast<std::size_t>(fine));
  posti.scrivi(f, inizio, "start", 13, "font-size:13px;fill:#555", false);
  posti.scrivi(f, termine, "end", 13, "font-size:13px;fill:#555", false);
  for (int64_t km = 10000; km < fine; km += 10000) {
    if (!v.pianta.valido(static_cast<std::size_t>(km))) continue;
    const Punto p = v.schermo(static_cast<std::size_t>(km));
    f.cerchio(p.x, p.y, 3, "fill:#06c");
    posti.scrivi(f, p, std::to_string(km / 1000) + " km", 12, "font-size:12px;fill:#06c", false);
  }
}

// The shortest round length in km, from `minimo`, whose bar is long enough to read: a 25th of
// the box.
double km_della_scala(double scala, double larghezza, double minimo) {
  for (const double km :
       {0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0, 200.0, 500.0}) {
    if (km >= minimo && km * 1000 * scala >= larghezza / 25) return km;
  }
  return 1000.0;
}

// The scale bar, and the direction of column 1, since the drawing is turned. The whole line's
// bar is never shorter than a km; a window's may be. Both stand in the corners of the band the
// plan leaves free above and below the line, and are drawn first: the labels keep off them.
void disegna_scala_e_bussola(Foglio& f, const Vista& v, double angolo, double minimo_km,
                             PostiPianta& posti) {
  const double scala_km = km_della_scala(v.scala, v.larghezza, minimo_km);
  const double bx = v.x + 30, by = v.y + v.altezza - 24;
  const double lunga = scala_km * 1000 * v.scala;
  const std::string scritta =
      scala_km < 1 ? std::to_string(std::lround(scala_km * 1000)) + " m" : num(scala_km) + " km";
  f.rettangolo(bx, by, lunga, 6, "fill:#222");
  f.testo(bx, by - 6, scritta, "font-size:13px");
  posti.occupa({bx, by - 19, bx + std::max(lunga, larghezza_testo(scritta, 13)), by + 6});
  // The caption goes beside the dial, not under it, so that the whole compass stays above the
  // line, which comes no nearer than kBordo to the box's top.
  const double cx = v.x + v.larghezza - 60, cy = v.y + kTesta + 60;
  const double ux = std::sin(angolo), uy = -std::cos(angolo);
  f.cerchio(cx, cy, 34, "fill:#fff;stroke:#999");
  f.linea(cx - ux * 26, cy - uy * 26, cx + ux * 26, cy + uy * 26, "stroke:#222;stroke-width:2");
  f.cerchio(cx + ux * 26, cy + uy * 26, 4, "fill:#222");
  f.testo(cx - 40, cy + 4, "column 1", "font-size:12px;fill:#555", "end");
  posti.occupa({cx - 34, cy - 34, cx + 34, cy + 34});
  posti.occupa({cx - 40 - larghezza_testo("column 1", 12), cy - 9, cx - 40, cy + 4});
}

// A window's km posts: about ten of them, at round metres; and the line's ends where they
// fall in it.
void segna_chilometri_finestra(Foglio& f, const Geometria& g, const Vista& v, int64_t primo,
                               int64_t fine, int64_t lunghezza, PostiPianta& posti) {
  if (primo_posizionato(g, 0, primo) == primo)
    posti.scrivi(f, v.schermo(static_cast<std::size_t>(primo)), "start", 13,
                 "font-size:13px;fill:#555", false);
  if (lunghezza >= primo && lunghezza <= fine) {
    const int64_t termine = posizionato_prima(g, lunghezza);
    if (termine >= primo)
      posti.scrivi(f, v.schermo(static_cast<std::size_t>(termine)), "end", 13,
                   "font-size:13px;fill:#555", false);
  }
  int64_t passo = 100;
  for (const int64_t p : {100, 200, 500, 1000, 2000, 5000, 10000, 20000, 50000, 100000}) {
    passo = p;
    if ((fine - primo) / p <= 10) break;
  }
  for (int64_t m = (primo / passo + 1) * passo; m < fine; m += passo) {
    if (!v.pianta.valido(static_cast<std::size_t>(m))) continue;
    const Punto p = v.schermo(static_cast<std::size_t>(m));
    f.cerchio(p.x, p.y, 3, "fill:#06c");
    std::string km = std::to_string(m / 1000);
    if (m % 1000 != 0) km.append(".").append(std::to_string(m % 1000 / 100));
    posti.scrivi(f, p, km.append(" km"), 12, "font-size:12px;fill:#06c", false);
  }
}

// The metres of a window only, fitted to the box and turned by their own chord.
// The metres from `primo` to `fine`, turned by their chord and scaled into the box.
struct Tratto {
  double angolo;
  std::vector<std::size_t> metri;
  Vista vista;
};
Tratto tratto(const Geometria& g, int64_t primo, int64_t fine, double x, double y, double larghezza,
              double altezza_massima) {
  const double angolo = angolo_corda(g, primo, fine);
  const Pianta pianta(g, angolo);
  std::vector<std::size_t> metri = metri_disegnati(pianta, primo, fine);
  const Vista v = inquadra(pianta, metri, x, y, larghezza, altezza_massima);
  return {angolo, std::move(metri), v};
}

double pianta_finestra(Foglio& f, const Geometria& g, const Stazioni& tabella, int64_t lunghezza,
                       Finestra w, double x, double y, double larghezza, double altezza_massima) {
  const int64_t primo = primo_posizionato(g, w.da, w.a);
  const int64_t fine = primo < 0 ? -1 : posizionato_prima(g, w.a);
  if (fine <= primo) {
    f.testo(x, y + 60,
            "The geometry file holds no plan position from " + std::to_string(w.da) + " to " +
                std::to_string(w.a) + " m: nothing to draw.",
            "font-size:18px;fill:#a00");
    return 90;
  }
  const Tratto t = tratto(g, primo, fine, x, y, larghezza, altezza_massima);
  disegna_riquadro(f, t.vista);
  PostiPianta posti(t.vista.riquadro(), disegna_tracciato_e_coda(f, t.vista, t.metri, lunghezza));
  // A window may be a few hundred metres: the scale bar goes down to 10 m.
  disegna_scala_e_bussola(f, t.vista, t.angolo, 0.01, posti);
  segna_stazioni(f, tabella, t.vista, w.da, w.a, posti);
  segna_chilometri_finestra(f, g, t.vista, primo, fine, lunghezza, posti);
  return t.vista.altezza;
}

}  // namespace

double disegna_pianta(Foglio& f, const Geometria& g, const Stazioni& tabella, int64_t lunghezza,
                      const std::optional<Finestra>& finestra, double x, double y, double larghezza,
                      double altezza_massima) {
  f.testo(x, y + 22, "Plan view", "font-size:22px;font-weight:bold");
  if (finestra)
    return pianta_finestra(f, g, tabella, lunghezza, *finestra, x, y, larghezza, altezza_massima);
  const int64_t primo = primo_posizionato(g, 0, static_cast<int64_t>(g.metri()) - 1);
  const int64_t fine =
      posizionato_prima(g, lunghezza > 0 ? lunghezza : static_cast<int64_t>(g.metri()));
  if (primo < 0 || fine <= primo) {
    f.testo(x, y + 60, "The geometry file holds no plan position: nothing to draw.",
            "font-size:18px;fill:#a00");
    return 90;
  }
  const Tratto t = tratto(g, primo, fine, x, y, larghezza, altezza_massima);
  const Vista& v = t.vista;
  disegna_riquadro(f, v);
  disegna_coda(f, g, v, fine);
  PostiPianta posti(v.riquadro(), disegna_tracciato(f, v, t.metri));
  disegna_scala_e_bussola(f, v, t.angolo, 1.0, posti);
  // Stations first: their names matter most; then the km posts fill what room is left.
  segna_stazioni(f, tabella, v, 0, fine, posti);
  segna_estremi_e_chilometri(f, v, primo, fine, posti);
  return v.altezza;
}

}  // namespace gs::svg

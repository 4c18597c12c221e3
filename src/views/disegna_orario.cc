// The timetable lane of the route sheet: a time-distance diagram of the scheduled times against
// the fastest run the speed limits allow, with each stretch the timetable makes faster than
// that marked and explained in the compiler's words.
#include <algorithm>
#include <cmath>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "format/percorrenza.h"
#include "views/disegna.h"
#include "views/disegna_svg.h"

namespace gs::svg {
namespace {

// A point of the diagram: metres along the line, seconds of the day.
using Punto = svg::Punto;

constexpr double kMargine = 16;  // above and below the drawing, inside the lane

// The run at the highest speed allowed from `da` to `a` metres, leaving at `t0`: a point where
// it starts, wherever the allowed speed changes, and where it ends.
std::vector<Punto> corsa_veloce(std::span<const int32_t> ammesse, int64_t da, int64_t a,
                                double t0) {
  std::vector<Punto> corsa = {{static_cast<double>(da), t0}};
  const int64_t primo = cella_profilo(da), oltre = cella_profilo(a);
  double t = t0;
  for (int64_t k = primo; k < oltre; ++k) {
    const int32_t v = k >= 0 && k < static_cast<int64_t>(ammesse.size())
                          ? ammesse[static_cast<std::size_t>(k)]
                          : 0;
    t += secondi_passo(v);
    const bool cambia = k + 1 == oltre || k + 1 >= static_cast<int64_t>(ammesse.size()) ||
                        k + 1 < 0 || ammesse[static_cast<std::size_t>(k + 1)] != v;
    if (cambia) corsa.push_back({static_cast<double>(metro_profilo(k + 1)), t});
  }
  return corsa;
}

// The part of a line of points (in increasing metres) from `da` to `a`, its ends cut where
// they cross the edges.
std::vector<Punto> ritaglia(const std::vector<Punto>& p, double da, double a) {
  std::vector<Punto> r;
  const auto a_metro = [](const Punto& p0, const Punto& p1, double m) {
    if (p1.x == p0.x) return Punto{m, p1.y};
    return Punto{m, p0.y + (p1.y - p0.y) * (m - p0.x) / (p1.x - p0.x)};
  };
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (i > 0 && p[i - 1].x < da && p[i].x > da) r.push_back(a_metro(p[i - 1], p[i], da));
    if (p[i].x >= da && p[i].x <= a) r.push_back(p[i]);
    if (i > 0 && p[i - 1].x < a && p[i].x > a) {
      r.push_back(a_metro(p[i - 1], p[i], a));
      break;
    }
  }
  return r;
}

// Round steps of the time axis, in seconds: about five lines over the range.
int64_t passo_tempo(double ampiezza) {
  for (const int64_t p : {5, 10, 15, 30, 60, 120, 300, 600, 900, 1200, 1800, 3600, 7200, 14400}) {
    if (ampiezza / static_cast<double>(p) <= 6) return p;
  }
  return 86400;
}

// "06:13", or "06:13:20" when the time has seconds or the axis steps below a minute.
std::string ora(int64_t secondi, bool con_secondi) {
  const std::string s = formatta_orario(secondi);
  return con_secondi || secondi % 60 != 0 ? s : s.substr(0, s.size() - 3);
}

struct Fermata {
  int voce = 0;
  const Stazione* s = nullptr;
};

// An impossible stretch, with the fastest run from its first station.
struct Segnata {
  Tratta tratta;
  std::vector<Punto> corsa;
};

class Diagramma {
 public:
  Diagramma(Foglio& f, const Stazioni& t, const AsseLinea& asse, double y, double altezza)
      : f_(f), t_(t), asse_(asse), y0_(y + kMargine), y1_(y + altezza - kMargine) {}

  void disegna(std::span<const Cella> celle, std::span<const Rallentato> rallentati,
               const std::function<std::string(int64_t)>& fonte);

 private:
  double x(double metri) const { return asse_.x(metri); }
  double y(double secondi) const {
    return y1_ - (secondi - basso_) / (alto_ - basso_) * (y1_ - y0_);
  }
  std::vector<Punto> visibile(const std::vector<Punto>& p) const {
    return ritaglia(p, static_cast<double>(asse_.da), static_cast<double>(asse_.a));
  }
  std::string percorso(const std::vector<Punto>& p) const {
    std::string d;
    for (const Punto& q : p) d += (d.empty() ? "M" : " L") + num(x(q.x)) + " " + num(y(q.y));
    return d;
  }
  // The stations with a scheduled time, and in `ultima` the table's last station.
  std::vector<Fermata> fermate_con_orario(int& ultima) const;
  void scrivi_al_centro(const char* testo);
  // The seconds at the bottom and the top from what shows of the lines; false when none shows.
  bool scala_tempi(const std::vector<Punto>& previsto, const std::vector<Punto>& veloce,
                   const std::vector<Segnata>& segnate);
  void asse_tempi();
  // An impossible stretch: its band, its scheduled and fastest runs, its tooltip and its words.
  void segna(const Segnata& s, const std::function<std::string(int64_t)>& fonte);
  void punti_e_orari(const std::vector<Fermata>& fermate);

  Foglio& f_;
  const Stazioni& t_;
  AsseLinea asse_;
  double y0_, y1_;
  double basso_ = 0, alto_ = 1;  // the seconds at the bottom and the top of the drawing
};

void Diagramma::disegna(std::span<const Cella> celle, std::span<const Rallentato> rallentati,
                        const std::function<std::string(int64_t)>& fonte) {
  int ultima = 0;
  const std::vector<Fermata> fermate = fermate_con_orario(ultima);
  if (fermate.empty()) return scrivi_al_centro("No station has a scheduled time.");
  const std::vector<int32_t> ammesse = velocita_ammesse(celle, rallentati);
  std::vector<Punto> previsto;
  for (const Fermata& s : fermate)
    previsto.push_back({static_cast<double>(s.s->posizione), static_cast<double>(s.s->orario)});
  const std::vector<Punto> veloce =
      corsa_veloce(ammesse, fermate.front().s->posizione, fermate.back().s->posizione,
                   fermate.front().s->orario);
  // Each impossible stretch, with the fastest run from its first station.
  std::vector<Segnata> segnate;
  for (const Tratta& tr : tratte_orario(t_, ultima, ammesse)) {
    if (!tr.impossibile()) continue;
    const Stazione& da = t_[static_cast<std::size_t>(tr.da)];
    const Stazione& a = t_[static_cast<std::size_t>(tr.a)];
    segnate.push_back({tr, corsa_veloce(ammesse, da.posizione, a.posizione, da.orario)});
  }
  const std::vector<Punto> previsto_visibile = visibile(previsto);
  const std::vector<Punto> veloce_visibile = visibile(veloce);
  if (!scala_tempi(previsto_visibile, veloce_visibile, segnate))
    return scrivi_al_centro(
        "No scheduled time between the timed stations in this part of the line.");
  asse_tempi();
  for (const Segnata& s : segnate) segna(s, fonte);
  f_.grezzo("<path class=\"corsa-veloce\" d=\"" + percorso(veloce_visibile) +
            "\" style=\"fill:none;stroke:#05a;stroke-width:2.5\"/>\n");
  f_.grezzo("<path class=\"orario\" d=\"" + percorso(previsto_visibile) +
            "\" style=\"fill:none;stroke:#222;stroke-width:2.5\"/>\n");
  punti_e_orari(fermate);
}

std::vector<Fermata> Diagramma::fermate_con_orario(int& ultima) const {
  const auto ruoli = ruoli_voci(t_);
  std::vector<Fermata> fermate;
  for (int i = 1; i < kVociStazioni && ruoli[static_cast<std::size_t>(i)] == Ruolo::kStazione;
       ++i) {
    ultima = i;
    if (t_[static_cast<std::size_t>(i)].orario != 0)
      fermate.push_back({i, &t_[static_cast<std::size_t>(i)]});
  }
  return fermate;
}

void Diagramma::scrivi_al_centro(const char* testo) {
  f_.testo(asse_.sinistra + 20, (y0_ + y1_) / 2 + 6, testo, "font-size:16px;fill:#777");
}

bool Diagramma::scala_tempi(const std::vector<Punto>& previsto, const std::vector<Punto>& veloce,
                            const std::vector<Segnata>& segnate) {
  // The time axis spans what shows of the three.
  double minimo = 1e300, massimo = -1e300;
  const auto estendi = [&](const std::vector<Punto>& p) {
    for (const Punto& q : p) {
      minimo = std::min(minimo, q.y);
      massimo = std::max(massimo, q.y);
    }
  };
  estendi(previsto);
  estendi(veloce);
  for (const Segnata& s : segnate) estendi(visibile(s.corsa));
  if (minimo > massimo) return false;
  basso_ = std::floor(minimo);
  alto_ = std::max(std::ceil(massimo), basso_ + 60);
  return true;
}

void Diagramma::segna(const Segnata& s, const std::function<std::string(int64_t)>& fonte) {
  const Stazione& da = t_[static_cast<std::size_t>(s.tratta.da)];
  const Stazione& a = t_[static_cast<std::size_t>(s.tratta.a)];
  const double m0 = std::max<double>(da.posizione, static_cast<double>(asse_.da));
  const double m1 = std::min<double>(a.posizione, static_cast<double>(asse_.a));
  if (m1 < m0) return;
  const int64_t fermata = ha_fermata(a.tipo) ? cella_fermata(a.fine) : -1;
  f_.grezzo("<g class=\"orario-impossibile\"" + fonte(fermata) + "><title>" +
            testo_xml(avviso_tratta(t_, s.tratta).testo) + "</title>\n");
  f_.rettangolo(x(m0), y0_ - kMargine + 2, x(m1) - x(m0), y1_ - y0_ + 2 * kMargine - 4,
                "fill:#d22;opacity:0.12");
  f_.grezzo(
      "<path d=\"" +
      percorso(visibile({{static_cast<double>(da.posizione), static_cast<double>(da.orario)},
                         {static_cast<double>(a.posizione), static_cast<double>(a.orario)}})) +
      "\" style=\"fill:none;stroke:#d22;stroke-width:6;opacity:0.6\"/>\n");
  f_.grezzo("<path d=\"" + percorso(visibile(s.corsa)) +
            "\" style=\"fill:none;stroke:#d22;stroke-width:2;stroke-dasharray:8 5\"/>\n");
  const std::string testo =
      "needs " + durata(secondi_interi(s.tratta.minimo)) + ", given " + durata(s.tratta.previsto);
  if (larghezza_testo(testo, 14) + 12 < x(m1) - x(m0))
    f_.testo((x(m0) + x(m1)) / 2, y0_ + 2, testo, "font-size:14px;font-weight:bold;fill:#b00",
             "middle");
  f_.grezzo("</g>\n");
}

void Diagramma::punti_e_orari(const std::vector<Fermata>& fermate) {
  // The timed stations, each with its time where it fits.
  std::vector<double> centri, larghezze;
  std::vector<std::string> testi;
  std::vector<double> ys;
  for (const Fermata& s : fermate) {
    const auto m = static_cast<double>(s.s->posizione);
    if (m < static_cast<double>(asse_.da) || m > static_cast<double>(asse_.a)) continue;
    const double px = x(m), py = y(s.s->orario);
    f_.cerchio(px, py, 5, "fill:#fff;stroke:#222;stroke-width:2");
    testi.push_back(ora(s.s->orario, false));
    centri.push_back(px);
    larghezze.push_back(larghezza_testo(testi.back(), 13));
    ys.push_back(py);
  }
  const std::vector<bool> tenuti = dirada(centri, larghezze, 6);
  for (std::size_t i = 0; i < testi.size(); ++i) {
    if (!tenuti[i]) continue;
    // Beside the point, above it unless that leaves the lane.
    const double ty = ys[i] - 10 < y0_ ? ys[i] + 20 : ys[i] - 10;
    f_.testo(centri[i] + 8, ty, testi[i], "font-size:13px;fill:#222");
  }
}

void Diagramma::asse_tempi() {
  const int64_t passo = passo_tempo(alto_ - basso_);
  const auto primo = static_cast<int64_t>(std::ceil(basso_ / static_cast<double>(passo))) * passo;
  for (int64_t t = primo; static_cast<double>(t) <= alto_; t += passo) {
    const double py = y(static_cast<double>(t));
    f_.linea(asse_.sinistra, py, asse_.sinistra + asse_.larghezza, py,
             "stroke:#eee;stroke-width:1");
    f_.testo(asse_.sinistra - 8, py + 5, ora(t, passo < 60), "font-size:13px;fill:#555", "end");
  }
}

}  // namespace

void disegna_orario(Foglio& f, const Stazioni& tabella, std::span<const Cella> celle,
                    std::span<const Rallentato> rallentati, const AsseLinea& asse, double y,
                    double altezza, const std::function<std::string(int64_t)>& fonte) {
  Diagramma(f, tabella, asse, y, altezza).disegna(celle, rallentati, fonte);
}

}  // namespace gs::svg

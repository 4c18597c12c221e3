#include "views/disegna.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "common/nomi_file.h"
#include "views/disegna_svg.h"
#include "views/etichette.h"

namespace gs {

std::string testo_xml(std::string_view utf8) {
  std::string s;
  s.reserve(utf8.size());
  for (const char ch : utf8) {
    switch (ch) {
      case '&':
        s += "&amp;";
        break;
      case '<':
        s += "&lt;";
        break;
      case '>':
        s += "&gt;";
        break;
      case '"':
        s += "&quot;";
        break;
      case '\'':
        s += "&apos;";
        break;
      default:
        // XML 1.0 has no place for control characters other than tab and line ends.
        if (static_cast<unsigned char>(ch) < 0x20 && ch != '\t' && ch != '\n' && ch != '\r')
          s += "\xEF\xBF\xBD";
        else
          s += ch;
    }
  }
  return s;
}

std::vector<double> quote(const std::vector<Cella>& celle) {
  std::vector<double> q(celle.size() + 1, 0.0);
  for (std::size_t k = 0; k < celle.size(); ++k)
    q[k + 1] = q[k] + (int{celle[k].pendenza} - 100) * 50.0 / 1000.0;
  return q;
}

namespace svg {

std::string num(double v) {
  if (!std::isfinite(v)) return "0";
  char b[48];
  std::snprintf(b, sizeof b, "%.1f", v);
  std::string s = b;
  if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
  if (s == "-0") s = "0";
  return s;
}

double larghezza_testo(std::string_view utf8, double corpo) {
  double em = 0;
  for (const char ch : utf8) {
    const auto b = static_cast<unsigned char>(ch);
    if ((b & 0xC0) == 0x80) continue;  // a continuation byte: counted with its first byte
    if (ch == ' ' || ch == '.' || ch == ',' || ch == '\'' || ch == 'I' || ch == 'i' || ch == 'l' ||
        ch == ':')
      em += 0.32;
    else if (ch >= 'A' && ch <= 'Z')
      em += ch == 'M' || ch == 'W' ? 0.86 : 0.7;
    else
      em += 0.6;
  }
  return em * corpo;
}

void Foglio::linea(double x1, double y1, double x2, double y2, std::string_view stile) {
  corpo_ += "<line x1=\"" + num(x1) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x2) + "\" y2=\"" +
            num(y2) + "\" style=\"" + std::string(stile) + "\"/>\n";
}

void Foglio::rettangolo(double x, double y, double l, double a, std::string_view stile) {
  corpo_ += "<rect x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(std::max(l, 0.0)) +
            "\" height=\"" + num(std::max(a, 0.0)) + "\" style=\"" + std::string(stile) + "\"/>\n";
}

void Foglio::cerchio(double x, double y, double r, std::string_view stile) {
  corpo_ += "<circle cx=\"" + num(x) + "\" cy=\"" + num(y) + "\" r=\"" + num(r) + "\" style=\"" +
            std::string(stile) + "\"/>\n";
}

void Foglio::testo(double x, double y, std::string_view t, std::string_view stile,
                   std::string_view ancora, double rotazione) {
  corpo_ += "<text x=\"" + num(x) + "\" y=\"" + num(y) + "\"";
  if (ancora != "start") corpo_ += " text-anchor=\"" + std::string(ancora) + "\"";
  if (rotazione != 0)
    corpo_ += " transform=\"rotate(" + num(rotazione) + " " + num(x) + " " + num(y) + ")\"";
  corpo_ += " style=\"" + std::string(stile) + "\">" + testo_xml(t) + "</text>\n";
}

}  // namespace svg

namespace {

using svg::Etichetta;
using svg::Foglio;
using svg::larghezza_testo;
using svg::num;

constexpr double kLarghezza = 5000;
constexpr double kSinistra = 190;  // strip titles and axis values
constexpr double kDestra = 50;
constexpr double kCorsia = 46;  // a lane of the points strip, but the board texts'

std::string n(int64_t v) { return std::to_string(v); }

// A station, as the sheet draws it.
struct StazioneTavola {
  int voce = 0;
  const Stazione* s = nullptr;
  std::string nome;  // UTF-8
};

// A slowdown from its start cell to its end cell.
struct Rallentamento {
  std::size_t inizio = 0, fine = 0;
  int32_t velocita = 0;
};

std::vector<StazioneTavola> stazioni_di(const Stazioni& t) {
  std::vector<StazioneTavola> stazioni;
  const auto ruoli = ruoli_voci(t);
  for (int i = 1; i < kVociStazioni; ++i) {
    if (ruoli[static_cast<std::size_t>(i)] != Ruolo::kStazione) continue;
    const Stazione& s = t[static_cast<std::size_t>(i)];
    stazioni.push_back({i, &s, utf8_da_1252(s.nome)});
  }
  return stazioni;
}

std::vector<Rallentamento> rallentamenti_di(const std::vector<Cella>& celle) {
  std::vector<Rallentamento> rallentamenti;
  for (std::size_t k = 0; k < celle.size(); ++k) {
    if (celle[k].tipo != kInizioRallentamento) continue;
    std::size_t e = k + 1;
    while (e < celle.size() && celle[e].tipo != kFineRallentamento &&
           celle[e].tipo != kInizioRallentamento)
      ++e;
    // A start and end in one cell leave only the start: the slowdown is drawn one cell long.
    const bool trovata = e < celle.size() && celle[e].tipo == kFineRallentamento;
    rallentamenti.push_back({k, trovata ? e : k, celle[k].dato1});
  }
  return rallentamenti;
}

// The start of a point's tooltip: the cell and the metre the point stands at.
std::string dove(std::size_t k, int64_t pos) {
  return "cell " + n(static_cast<int64_t>(k)) + ", " + n(pos) + " m: ";
}

// A board text cut to `massimo` pixels at 12 px, never inside a UTF-8 sequence, with an
// ellipsis when cut.
std::string taglia(const std::string& intero, double massimo) {
  std::string testo = intero;
  while (larghezza_testo(testo, 12) > massimo && testo.size() > 4) {
    testo.pop_back();
    while (!testo.empty() && (static_cast<unsigned char>(testo.back()) & 0xC0) == 0x80)
      testo.pop_back();
    if (!testo.empty() && static_cast<unsigned char>(testo.back()) >= 0xC0) testo.pop_back();
  }
  if (testo != intero) testo += "…";
  return testo;
}

// Round steps for an axis: about `quante` of them over the range.
double passo_asse(double ampiezza, int quante) {
  for (const double p : {1.0, 2.0, 5.0, 10.0, 20.0, 25.0, 50.0, 100.0, 200.0, 250.0, 500.0, 1000.0,
                         2000.0, 5000.0}) {
    if (ampiezza / p <= quante) return p;
  }
  return std::pow(10.0, std::ceil(std::log10(std::max(ampiezza, 1.0) / quante)));
}

// Where the lanes of the points strip lie, from the top: the station names standing upright,
// then the lanes of the stations, signals, slowdowns, speed boards, indication boards (their
// texts upright below them) and code points.
struct Corsie {
  double y_stazioni = 0, y_segnali = 0, y_rallentamenti = 0, y_indicatori = 0;
  double y_cartelli = 0, y_codici = 0;
  double altezza_cartelli = 0;  // the board lane with its texts
  double altezza = 0;           // the whole strip
};

// The points strip as its lanes draw it, joined only once every lane is done. Each mark goes
// to the slot of its cell, so that the file lists the marks in the order of the line, whatever
// their lane; the slowdown bars come after them and the labels last, since what comes later
// in an SVG file is painted over what comes before.
struct DisegnoPunti {
  explicit DisegnoPunti(std::size_t celle) : segni(celle) {}
  std::vector<Foglio> segni;  // per drawn cell
  Foglio barre;               // the slowdowns, with their speeds
  // The labels, lane by lane.
  Foglio segnali, indicatori, codici, cartelli;
};

class Tavola {
 public:
  Tavola(const Stazioni& t, const std::vector<Cella>& celle, const Geometria* g);

  std::string disegna();

 private:
  double x(double metri) const {
    return kSinistra + metri / static_cast<double>(fine_) * larghezza_utile();
  }
  static double larghezza_utile() { return kLarghezza - kSinistra - kDestra; }
  // The cell range drawn: up to the last cell whose step starts before the sheet's end.
  std::size_t celle_disegnate() const {
    return std::min(celle_.size(), static_cast<std::size_t>(fine_ / 50 + 1));
  }
  // Calls f(first, past_last) for each run of drawn cells with the same value of a field.
  template <typename Campo, typename F>
  void per_tratti(Campo campo, F f) const {
    const std::size_t ultima = celle_disegnate();
    for (std::size_t k = 0; k < ultima;) {
      std::size_t e = k;
      while (e < ultima && campo(celle_[e]) == campo(celle_[k])) ++e;
      f(k, e);
      k = e;
    }
  }
  // Calls f(cell, metre, x) for each drawn cell whose point is of one of the kinds, in order.
  template <typename F>
  void per_punti(std::initializer_list<uint8_t> tipi, F f) const {
    const std::size_t ultima = celle_disegnate();
    for (std::size_t k = 0; k < ultima; ++k) {
      if (std::find(tipi.begin(), tipi.end(), celle_[k].tipo) == tipi.end()) continue;
      const int64_t pos = metro_cella(static_cast<int64_t>(k));
      f(k, pos, x(static_cast<double>(pos)));
    }
  }
  int contati(uint8_t tipo) const {
    return static_cast<int>(std::count_if(celle_.begin(), celle_.end(),
                                          [&](const Cella& c) { return c.tipo == tipo; }));
  }
  // The UTF-8 text of an indication board, or what the cell points to when no entry holds it.
  std::string testo_cartello_di(const Cella& c) const;

  void intestazione(double y);
  std::string riassunto() const;
  void legenda(double y);
  double pianta(double y);
  void titolo_striscia(double y, double altezza, const std::string& titolo,
                       const std::string& sotto = "");
  double asse_progressive(double y);
  std::vector<int64_t> confini_sezioni() const;

  // The points strip, one function per lane.
  double punti(double y);
  Corsie disponi_corsie(double y) const;
  void guida_corsia(double yc, const std::string& titolo);
  void corsia_stazioni(double yc);
  void corsia_segnali(double yc, DisegnoPunti& d) const;
  void corsia_rallentamenti(double yc, DisegnoPunti& d) const;
  void corsia_indicatori(double yc, DisegnoPunti& d) const;
  void corsia_cartelli(double yc, double altezza, DisegnoPunti& d) const;
  void corsia_codici(double yc, DisegnoPunti& d) const;

  double altimetria(double y);
  double pendenze(double y);
  double velocita(double y);
  double aderenza(double y);
  double montagna(double y);
  double asse_posizioni(double y);
  std::string guide_stazioni(double inizio, double fine) const;
  std::string documento(double altezza) const;
  // A step line over the drawn cells, from a value per cell to a y on the sheet.
  template <typename Valore>
  std::string gradini(Valore valore) const;

  const Stazioni& t_;
  const std::vector<Cella>& celle_;
  const Geometria* g_;
  int64_t lunghezza_ = 0;
  int64_t fine_ = 0;
  std::vector<StazioneTavola> stazioni_;
  std::vector<Rallentamento> rallentamenti_;
  Foglio f_;
};

Tavola::Tavola(const Stazioni& t, const std::vector<Cella>& celle, const Geometria* g)
    : t_(t),
      celle_(celle),
      g_(g),
      stazioni_(stazioni_di(t)),
      rallentamenti_(rallentamenti_di(celle)) {
  const int64_t griglia = metro_profilo(static_cast<int64_t>(celle.size()));
  lunghezza_ = t[kVoceParametri].fine;
  if (lunghezza_ <= 0 || lunghezza_ > griglia)
    lunghezza_ = std::max<int64_t>(griglia - 7000, griglia / 2);
  // Past the line's end only as far as the last point or station, so the sheet is not mostly
  // run-out.
  fine_ = lunghezza_;
  for (std::size_t k = 0; k < celle.size(); ++k) {
    if (celle[k].tipo != kLibera && celle[k].tipo != kMarcaMontagna)
      fine_ = std::max(fine_, metro_cella(static_cast<int64_t>(k)));
  }
  for (const StazioneTavola& s : stazioni_) fine_ = std::max<int64_t>(fine_, s.s->fine);
  fine_ = std::max<int64_t>(std::min(fine_ + 300, griglia), 50);
}

std::string Tavola::testo_cartello_di(const Cella& c) const {
  if (c.dato1 >= 0 && c.dato1 < kVociStazioni)
    return utf8_da_1252(testo_cartello(t_[static_cast<std::size_t>(c.dato1)].nome));
  return "board entry " + n(c.dato1);
}

void Tavola::titolo_striscia(double y, double altezza, const std::string& titolo,
                             const std::string& sotto) {
  f_.rettangolo(kSinistra, y, larghezza_utile(), altezza, "fill:none;stroke:#bbb;stroke-width:1");
  f_.testo(12, y + 22, titolo, "font-size:17px;font-weight:bold");
  if (!sotto.empty()) f_.testo(12, y + 42, sotto, "font-size:13px;fill:#555");
}

void Tavola::intestazione(double y) {
  f_.testo(12, y + 40,
           "Route sheet: " + utf8_da_1252(t_[kVoceLinea].nome) + ", train " +
               utf8_da_1252(t_[kVoceTreno].nome),
           "font-size:36px;font-weight:bold");
  f_.testo(12, y + 72, riassunto(), "font-size:18px;fill:#333");
  legenda(y);
}

std::string Tavola::riassunto() const {
  const Stazione& linea = t_[kVoceLinea];
  const Stazione& treno = t_[kVoceTreno];
  const Stazione& parametri = t_[kVoceParametri];
  const int64_t orologio = orologio_treno(treno);
  return "line length " + n(parametri.fine) + " m, " + n(static_cast<int64_t>(stazioni_.size())) +
         " stations, " + n(contati(kSegnale)) + " signals, " +
         n(static_cast<int64_t>(rallentamenti_.size())) + " slowdowns, " +
         n(contati(kIndicatoreVelocita)) + " speed boards, " + n(contati(kCartelloIndicatore)) +
         " indication boards, " + n(contati(kCodice)) + " code points; " + n(parametri.posizione) +
         " cars, braked mass " + n(parametri.inizio) + " %, sand " + n(treno.campo7) + ", clock " +
         formatta_orario(orologio) + "; race codes " + n(celle_.size() > 1 ? celle_[1].dato2 : 0) +
         " and " + n(linea.orario);
}

void Tavola::legenda(double y) {
  // The same marks as the strips draw, but outside the strips' classes, so that counting a
  // class counts only the sheet's own points.
  double lx = kLarghezza - 1950;
  const double ly = y + 20;
  const auto voce = [&](const std::string& testo) {
    f_.testo(lx + 22, ly + 6, testo, "font-size:17px");
    lx += 30 + larghezza_testo(testo, 17) + 20;
  };
  f_.grezzo("<g class=\"legenda\">\n");
  f_.linea(lx, ly + 8, lx, ly - 8, "stroke:#222;stroke-width:2");
  f_.cerchio(lx, ly - 10, 5, "fill:#0a0;stroke:#222");
  voce("signal (sx 1)");
  f_.linea(lx, ly + 8, lx, ly - 8, "stroke:#222;stroke-width:2");
  f_.cerchio(lx, ly - 10, 5, "fill:#fc0;stroke:#222");
  voce("signal (sx 2)");
  f_.rettangolo(lx - 6, ly - 4, 22, 8, "fill:#d22");
  voce("slowdown");
  f_.grezzo("<path d=\"M" + num(lx - 6) + " " + num(ly + 6) + " L" + num(lx) + " " + num(ly - 6) +
            " L" + num(lx + 6) + " " + num(ly + 6) + " Z\" style=\"fill:#f90;stroke:#a50\"/>\n");
  voce("slowdown warning");
  f_.rettangolo(lx - 6, ly - 7, 12, 14, "fill:#fff;stroke:#00a;stroke-width:2");
  voce("speed board");
  f_.rettangolo(lx - 5, ly - 7, 10, 14, "fill:#6a4;stroke:#363");
  voce("indication board");
  f_.linea(lx, ly - 8, lx, ly + 8, "stroke:#a0a;stroke-width:3");
  voce("code point");
  f_.cerchio(lx, ly, 6, "fill:#fff;stroke:#c00;stroke-width:3");
  voce("station");
  f_.grezzo("</g>\n");
}

double Tavola::pianta(double y) {
  if (g_ != nullptr)
    return svg::disegna_pianta(f_, *g_, t_, lunghezza_, kSinistra, y, larghezza_utile(), 1000) + 30;
  f_.testo(12, y + 22, "Plan view", "font-size:22px;font-weight:bold");
  f_.rettangolo(kSinistra, y + 40, larghezza_utile(), 70, "fill:#fbfbf7;stroke:#999");
  f_.testo(kSinistra + 20, y + 82,
           "No plan view: the line geometry file was not found (the scenario was compiled "
           "without it).",
           "font-size:20px;fill:#a00");
  return 140;
}

// The sheet's start, the start of each chainage section on it, and the sheet's end, in order:
// a position uses the section with the largest start at or before it.
std::vector<int64_t> Tavola::confini_sezioni() const {
  std::vector<int64_t> confini = {0};
  for (int i = kProgressivaTre; i <= kProgressivaUno; ++i) {
    const int64_t s = t_[static_cast<std::size_t>(i)].inizio;
    if (s > 0 && s < fine_) confini.push_back(s);
  }
  std::sort(confini.begin(), confini.end());
  confini.erase(std::unique(confini.begin(), confini.end()), confini.end());
  confini.push_back(fine_);
  return confini;
}

double Tavola::asse_progressive(double y) {
  constexpr double kAltezza = 70;
  titolo_striscia(y, kAltezza, "Chainage", "km, by section");
  const std::vector<int64_t> confini = confini_sezioni();
  std::vector<double> centri, larghezze;
  std::vector<std::string> testi;
  std::vector<bool> cinque;
  for (std::size_t a = 0; a + 1 < confini.size(); ++a) {
    const int64_t da = confini[a], a_fine = confini[a + 1];
    const int64_t c0 = progressiva_a(t_, da);
    const bool cala = progressiva_a(t_, std::min(da + 1, a_fine)) < c0;
    const double px_da = x(static_cast<double>(da));
    if (a > 0) {
      f_.linea(px_da, y, px_da, y + kAltezza, "stroke:#c60;stroke-width:3");
      f_.testo(px_da + 4, y + kAltezza - 6, "section from " + formatta_progressiva(c0),
               "font-size:12px;fill:#c60");
    }
    // The whole kilometres of chainage in this piece, from the first at or past its start in
    // the way the chainage runs.
    const int64_t passo = cala ? -1000 : 1000;
    int64_t km = cala ? (c0 >= 0 ? c0 / 1000 * 1000 : -((-c0 + 999) / 1000) * 1000)
                      : (c0 >= 0 ? (c0 + 999) / 1000 * 1000 : -(-c0 / 1000) * 1000);
    for (int guardia = 0; guardia < 100000; ++guardia, km += passo) {
      const int64_t p = da + (cala ? c0 - km : km - c0);
      if (p >= a_fine) break;
      if (p < da) continue;
      const double px = x(static_cast<double>(p));
      const bool grande = km % 5000 == 0;
      f_.linea(px, y, px, y + (grande ? 22 : 12),
               "stroke:#333;stroke-width:" + std::string(grande ? "2" : "1"));
      testi.push_back(n(km / 1000));
      centri.push_back(px);
      larghezze.push_back(larghezza_testo(testi.back(), grande ? 16 : 13));
      cinque.push_back(grande);
    }
  }
  // Every fifth kilometre is labelled first, so that crowding never leaves a long stretch
  // with no number at all.
  const std::vector<bool> tenuti = dirada(centri, larghezze, 6, cinque);
  for (std::size_t i = 0; i < testi.size(); ++i) {
    if (!tenuti[i]) continue;
    f_.testo(centri[i], y + (cinque[i] ? 42 : 34), testi[i],
             cinque[i] ? "font-size:16px;font-weight:bold" : "font-size:13px;fill:#444", "middle");
  }
  return kAltezza;
}

double Tavola::punti(double y) {
  const Corsie c = disponi_corsie(y);
  titolo_striscia(y, c.altezza, "Stations", "name, scheduled time");
  guida_corsia(c.y_stazioni, "station spans");
  guida_corsia(c.y_segnali, "signals");
  guida_corsia(c.y_rallentamenti, "slowdowns");
  guida_corsia(c.y_indicatori, "speed boards");
  guida_corsia(c.y_cartelli, "indication boards");
  guida_corsia(c.y_codici, "code points");
  corsia_stazioni(c.y_stazioni);
  DisegnoPunti d(celle_disegnate());
  corsia_segnali(c.y_segnali, d);
  corsia_rallentamenti(c.y_rallentamenti, d);
  corsia_indicatori(c.y_indicatori, d);
  corsia_cartelli(c.y_cartelli, c.altezza_cartelli, d);
  corsia_codici(c.y_codici, d);
  for (const Foglio& segno : d.segni) f_.grezzo(segno.corpo());
  for (const Foglio* parte : {&d.barre, &d.segnali, &d.indicatori, &d.codici, &d.cartelli})
    f_.grezzo(parte->corpo());
  return c.altezza;
}

Corsie Tavola::disponi_corsie(double y) const {
  // Room for the longest upright board text, within reason: longer ones are cut.
  double cartelli_alti = 60;
  for (const Cella& c : celle_) {
    if (c.tipo == kCartelloIndicatore && c.dato1 >= 0 && c.dato1 < kVociStazioni)
      cartelli_alti = std::max(cartelli_alti, larghezza_testo(testo_cartello_di(c), 12) + 30);
  }
  // Room for the longest upright station name with its time.
  double nomi = 120;
  for (const StazioneTavola& s : stazioni_)
    nomi = std::max(nomi, larghezza_testo(s.nome + "  00:00", 15) + 34);
  nomi = std::min(nomi, 420.0);
  Corsie c;
  c.altezza_cartelli = std::min(cartelli_alti, 340.0);
  c.y_stazioni = y + nomi;
  c.y_segnali = c.y_stazioni + kCorsia;
  c.y_rallentamenti = c.y_segnali + kCorsia;
  c.y_indicatori = c.y_rallentamenti + kCorsia;
  c.y_cartelli = c.y_indicatori + kCorsia;
  c.y_codici = c.y_cartelli + c.altezza_cartelli;
  c.altezza = c.y_codici + kCorsia - y;
  return c;
}

void Tavola::guida_corsia(double yc, const std::string& titolo) {
  f_.linea(kSinistra, yc + kCorsia / 2, kSinistra + larghezza_utile(), yc + kCorsia / 2,
           "stroke:#eee;stroke-width:1");
  f_.testo(12, yc + 5, titolo, "font-size:15px;font-weight:bold");
}

// Each station: its span, its stop and, where it fits, its name and time upright above.
void Tavola::corsia_stazioni(double yc) {
  std::vector<double> centri, larghezze;
  for (const StazioneTavola& s : stazioni_) {
    centri.push_back(x(s.s->posizione));
    larghezze.push_back(17);
  }
  const std::vector<bool> tenuti = dirada(centri, larghezze, 2);
  for (std::size_t i = 0; i < stazioni_.size(); ++i) {
    const Stazione& s = *stazioni_[i].s;
    const std::string& nome = stazioni_[i].nome;
    const double px = x(s.posizione);
    std::string titolo = n(stazioni_[i].voce) + ". " + nome + " at " + n(s.posizione) +
                         " m, kind " + n(s.tipo) + ", span " + n(s.inizio) + " to " + n(s.fine) +
                         " m";
    if (s.orario != 0) titolo += ", " + formatta_orario(s.orario);
    f_.grezzo("<g class=\"stazione\"><title>" + testo_xml(titolo) + "</title>\n");
    const double da = x(std::clamp<double>(s.inizio, 0, static_cast<double>(fine_)));
    const double a = x(std::clamp<double>(s.fine, 0, static_cast<double>(fine_)));
    f_.rettangolo(da, yc - 7, a - da, 14, "fill:#fcc;stroke:#c00");
    f_.cerchio(px, yc, 6, "fill:#fff;stroke:#c00;stroke-width:3");
    if (tenuti[i]) {
      std::string etichetta = nome;
      if (s.orario != 0) etichetta += "  " + formatta_orario(s.orario).substr(0, 5);
      f_.testo(px + 5, yc - 14, etichetta, "font-size:15px;font-weight:bold;fill:#900", "start",
               -90);
    }
    f_.grezzo("</g>\n");
  }
}

// Each signal: a post with its left-hand light, labelled with the aspects it shows.
void Tavola::corsia_segnali(double yc, DisegnoPunti& d) const {
  std::vector<Etichetta> aspetti;
  per_punti({kSegnale}, [&](std::size_t k, int64_t pos, double px) {
    const Cella& c = celle_[k];
    const SegnaleLetto s = decodifica_segnale(c);
    Foglio& f = d.segni[k];
    f.grezzo("<g class=\"segnale\"><title>" +
             testo_xml(dove(k, pos) + "signal, left (sx " + n(s.sx) + ") " + n(s.s1) + "/" +
                       n(s.s2) + "/" + n(s.s3) + ", right (dx " + n(s.dx) + ") " + n(s.d1) + "/" +
                       n(s.d2) + "/" + n(s.d3) + ", rapp " + n(s.rapp) +
                       (c.tempo ? ", time value " + n(c.tempo) : "")) +
             "</title>");
    f.linea(px, yc + 14, px, yc - 6, "stroke:#222;stroke-width:2");
    f.cerchio(px, yc - 9, 5, std::string("stroke:#222;fill:") + (s.sx == 2 ? "#fc0" : "#0a0"));
    f.grezzo("</g>\n");
    // Trailing zero aspects are left out, so that more labels fit side by side.
    aspetti.push_back({px, n(s.s1) + (s.s2 != 0 || s.s3 != 0 ? "/" + n(s.s2) : "") +
                               (s.s3 != 0 ? "/" + n(s.s3) : "")});
  });
  svg::scrivi_in_fila(d.segnali, aspetti, yc + 30, 13, "font-size:13px");
}

// The warnings and pre-warnings along the line, and the slowdowns themselves with their speeds.
void Tavola::corsia_rallentamenti(double yc, DisegnoPunti& d) const {
  per_punti({kPreavvisoRallentamento}, [&](std::size_t k, int64_t, double px) {
    d.segni[k].cerchio(px, yc + 12, 1.5, "fill:#a50");
  });
  per_punti({kAvvisoRallentamento}, [&](std::size_t k, int64_t pos, double px) {
    Foglio& f = d.segni[k];
    // The warning stands 1200 m before its slowdown: a dashed line leads to the start.
    f.linea(px, yc, x(static_cast<double>(pos + 1200)), yc,
            "stroke:#f90;stroke-width:1.5;stroke-dasharray:4 3");
    f.grezzo("<g class=\"avviso\"><title>" +
             testo_xml(dove(k, pos) + "slowdown warning point, " + n(celle_[k].dato1) + " km/h") +
             "</title><path d=\"M" + num(px - 6) + " " + num(yc + 6) + " L" + num(px) + " " +
             num(yc - 6) + " L" + num(px + 6) + " " + num(yc + 6) +
             " Z\" style=\"fill:#f90;stroke:#a50\"/></g>\n");
  });
  for (const Rallentamento& r : rallentamenti_) {
    const int64_t da = metro_cella(static_cast<int64_t>(r.inizio));
    const int64_t a = metro_cella(static_cast<int64_t>(r.fine));
    const double xa = x(static_cast<double>(da)), xb = x(static_cast<double>(a));
    d.barre.grezzo(
        "<g class=\"rallentamento\"><title>" +
        testo_xml("slowdown from " + n(da) + " to " + n(a) + " m, " + n(r.velocita) + " km/h") +
        "</title>");
    d.barre.rettangolo(xa, yc - 5, std::max(xb - xa, 3.0), 10, "fill:#d22");
    d.barre.grezzo("</g>\n");
    d.barre.testo((xa + xb) / 2, yc + 22, n(r.velocita),
                  "font-size:13px;font-weight:bold;fill:#d22", "middle");
  }
}

// Each speed board, labelled with the speeds it sets.
void Tavola::corsia_indicatori(double yc, DisegnoPunti& d) const {
  std::vector<Etichetta> testi;
  per_punti({kIndicatoreVelocita}, [&](std::size_t k, int64_t pos, double px) {
    const IndicatoreLetto v = decodifica_indicatore(celle_[k]);
    std::string testo = n(v.vas) + "/" + n(v.vbs) + "/" + n(v.vcs);
    if (v.vad != 0 || v.vbd != 0 || v.vcd != 0)
      testo += " " + n(v.vad) + "/" + n(v.vbd) + "/" + n(v.vcd);
    Foglio& f = d.segni[k];
    f.grezzo("<g class=\"indicatore\"><title>" +
             testo_xml(dove(k, pos) + "speed board " + testo + " km/h") + "</title>");
    f.rettangolo(px - 6, yc - 7, 12, 14, "fill:#fff;stroke:#00a;stroke-width:2");
    f.grezzo("</g>\n");
    testi.push_back({px, testo});
  });
  svg::scrivi_in_fila(d.indicatori, testi, yc + 24, 13, "font-size:13px;fill:#00a");
}

// Each indication board, with its text standing upright below it. The texts are far longer
// than they are wide, so they are thinned by their upright width alone, and what does not fit
// the lane is cut: the whole text is in the tooltip.
void Tavola::corsia_cartelli(double yc, double altezza, DisegnoPunti& d) const {
  std::vector<Etichetta> cartelli;
  per_punti({kCartelloIndicatore}, [&](std::size_t k, int64_t pos, double px) {
    const std::string testo = testo_cartello_di(celle_[k]);
    Foglio& f = d.segni[k];
    f.grezzo("<g class=\"cartello\"><title>" + testo_xml(dove(k, pos) + testo) + "</title>");
    f.rettangolo(px - 5, yc - 7, 10, 14, "fill:#6a4;stroke:#363");
    f.grezzo("</g>\n");
    cartelli.push_back({px, testo});
  });
  std::vector<double> centri, larghezze;
  for (const Etichetta& e : cartelli) {
    centri.push_back(e.x);
    larghezze.push_back(14);
  }
  const std::vector<bool> tenuti = dirada(centri, larghezze, 1);
  for (std::size_t i = 0; i < cartelli.size(); ++i) {
    if (!tenuti[i]) continue;
    d.cartelli.testo(cartelli[i].x + 4, yc + 14, taglia(cartelli[i].testo, altezza - 24),
                     "font-size:12px;fill:#363", "end", -90);
  }
}

// Each code point, with or without a code.
void Tavola::corsia_codici(double yc, DisegnoPunti& d) const {
  std::vector<Etichetta> codici;
  per_punti({kCodice, kAbbattimento}, [&](std::size_t k, int64_t pos, double px) {
    const Cella& c = celle_[k];
    const bool con_codice = c.tipo == kCodice;
    Foglio& f = d.segni[k];
    f.grezzo(std::string("<g class=\"") + (con_codice ? "codice" : "codice-nullo") + "\"><title>" +
             testo_xml(dove(k, pos) + (con_codice ? "code point, code " + n(c.dato1)
                                                  : "code point without a code")) +
             "</title>");
    f.linea(px, yc - 8, px, yc + 8,
            std::string("stroke-width:3;stroke:") + (con_codice ? "#a0a" : "#888"));
    f.grezzo("</g>\n");
    // Code points are many and nearly all 180: only the others are labelled.
    const std::string testo = con_codice ? n(c.dato1) : "-";
    if (testo != "180") codici.push_back({px, testo});
  });
  svg::scrivi_in_fila(d.codici, codici, yc + 24, 12, "font-size:12px;fill:#a0a");
}

template <typename Valore>
std::string Tavola::gradini(Valore valore) const {
  std::string d;
  const std::size_t ultima = celle_disegnate();
  double prima = 0;
  for (std::size_t k = 0; k < ultima; ++k) {
    const double v = valore(celle_[k]);
    const double a = x(static_cast<double>(metro_profilo(static_cast<int64_t>(k))));
    if (k == 0)
      d.append("M").append(num(a)).append(" ").append(num(v));
    else if (v != prima)
      d += " L" + num(a) + " " + num(prima) + " L" + num(a) + " " + num(v);
    prima = v;
  }
  if (ultima > 0) d += " L" + num(x(static_cast<double>(fine_))) + " " + num(prima);
  return d;
}

double Tavola::altimetria(double y) {
  constexpr double kAltezza = 300;
  titolo_striscia(y, kAltezza, "Elevation", "m, from the gradients");
  const std::vector<double> q = quote(celle_);
  const std::size_t ultima = celle_disegnate();
  double minimo = 0, massimo = 0;
  for (std::size_t k = 0; k <= ultima && k < q.size(); ++k) {
    minimo = std::min(minimo, q[k]);
    massimo = std::max(massimo, q[k]);
  }
  const double passo = passo_asse(std::max(massimo - minimo, 1.0), 6);
  const double basso = std::floor(minimo / passo) * passo;
  const double alto = std::max(std::ceil(massimo / passo) * passo, basso + passo);
  const auto yq = [&](double v) {
    return y + kAltezza - 14 - (v - basso) / (alto - basso) * (kAltezza - 28);
  };
  for (double v = basso; v <= alto + 1e-9; v += passo) {
    f_.linea(kSinistra, yq(v), kSinistra + larghezza_utile(), yq(v), "stroke:#eee;stroke-width:1");
    f_.testo(kSinistra - 8, yq(v) + 5, num(v), "font-size:13px;fill:#555", "end");
  }
  std::string d;
  for (std::size_t k = 0; k <= ultima && k < q.size(); ++k) {
    const double metri = std::min<double>(
        static_cast<double>(metro_profilo(static_cast<int64_t>(k))), static_cast<double>(fine_));
    d += (d.empty() ? "M" : " L") + num(x(metri)) + " " + num(yq(q[k]));
  }
  if (d.empty()) return kAltezza;
  // The same line twice: closed down to the axis for the ground, and open for the profile.
  const int64_t fine_linea = std::min<int64_t>(metro_profilo(static_cast<int64_t>(ultima)), fine_);
  f_.grezzo("<path d=\"" + d + " L" + num(x(static_cast<double>(fine_linea))) + " " +
            num(yq(basso)) + " L" + num(x(0)) + " " + num(yq(basso)) +
            " Z\" style=\"fill:#e8dcc8;stroke:none\"/>\n<path class=\"altimetria\" d=\"" + d +
            "\" style=\"fill:none;stroke:#741;stroke-width:2\"/>\n");
  return kAltezza;
}

double Tavola::pendenze(double y) {
  constexpr double kAltezza = 44;
  titolo_striscia(y, kAltezza, "Gradient", "per mille");
  const auto pendenza = [](const Cella& c) { return c.pendenza; };
  per_tratti(pendenza, [&](std::size_t k, std::size_t e) {
    const int g = int{celle_[k].pendenza} - 100;
    const double a = x(static_cast<double>(metro_profilo(static_cast<int64_t>(k))));
    const double b = x(std::min<double>(static_cast<double>(metro_profilo(static_cast<int64_t>(e))),
                                        static_cast<double>(fine_)));
    const double alto = y + 6, basso = y + kAltezza - 6, mezzo = y + kAltezza / 2;
    const char* colore = g > 0 ? "#a33" : g < 0 ? "#36a" : "#777";
    // Uphill rises to the right, downhill falls, level stays in the middle.
    const double y_da = g > 0 ? basso : g < 0 ? alto : mezzo;
    const double y_a = g > 0 ? alto : g < 0 ? basso : mezzo;
    f_.linea(a, y_da, b, y_a, std::string("stroke-width:1.5;stroke:") + colore);
    f_.linea(b, y, b, y + kAltezza, "stroke:#999;stroke-width:1");
    const std::string testo = g > 0 ? std::string("+").append(n(g)) : n(g);
    const double l = larghezza_testo(testo, 13);
    if (b - a > l + 6) {
      f_.rettangolo((a + b) / 2 - l / 2 - 1, mezzo - 9, l + 2, 15, "fill:#fff;opacity:0.85");
      f_.testo((a + b) / 2, mezzo + 5, testo, std::string("font-size:13px;fill:") + colore,
               "middle");
    }
  });
  return kAltezza;
}

double Tavola::velocita(double y) {
  constexpr double kAltezza = 240;
  titolo_striscia(y, kAltezza, "Speed limit", "km/h; slowdowns in red");
  int massimo = 0;
  for (std::size_t k = 0; k < celle_disegnate(); ++k)
    massimo = std::max(massimo, int{celle_[k].velocita} * 5);
  for (const Rallentamento& r : rallentamenti_)
    massimo = std::max(massimo, static_cast<int>(r.velocita));
  const double passo = passo_asse(std::max(massimo, 20), 6);
  const double alto = std::max(std::ceil(massimo / passo) * passo, passo);
  const auto yv = [&](double v) {
    return y + kAltezza - 12 - std::clamp(v, 0.0, alto) / alto * (kAltezza - 40);
  };
  for (double v = 0; v <= alto + 1e-9; v += passo) {
    f_.linea(kSinistra, yv(v), kSinistra + larghezza_utile(), yv(v), "stroke:#eee;stroke-width:1");
    f_.testo(kSinistra - 8, yv(v) + 5, num(v), "font-size:13px;fill:#555", "end");
  }
  f_.grezzo("<path class=\"limite\" d=\"" +
            gradini([&](const Cella& c) { return yv(c.velocita * 5.0); }) +
            "\" style=\"fill:none;stroke:#05a;stroke-width:2.5\"/>\n");
  for (const Rallentamento& r : rallentamenti_) {
    const double a = x(static_cast<double>(metro_cella(static_cast<int64_t>(r.inizio))));
    const double b = x(static_cast<double>(metro_cella(static_cast<int64_t>(r.fine))));
    f_.rettangolo(a, yv(r.velocita), std::max(b - a, 2.0), yv(0) - yv(r.velocita),
                  "fill:#d22;opacity:0.25");
    f_.linea(a, yv(r.velocita), std::max(b, a + 2), yv(r.velocita), "stroke:#d22;stroke-width:2.5");
  }
  // The speeds the boards announce, boxed at the top of the strip, each with a dashed drop
  // to the limit line so that the two can be read against each other.
  std::vector<double> centri, larghezze;
  std::vector<std::string> testi;
  per_punti({kIndicatoreVelocita}, [&](std::size_t k, int64_t, double px) {
    const IndicatoreLetto v = decodifica_indicatore(celle_[k]);
    f_.linea(px, y + 22, px, yv(v.vas), "stroke:#00a;stroke-width:1;stroke-dasharray:3 3");
    testi.push_back(n(v.vas));
    centri.push_back(px);
    larghezze.push_back(larghezza_testo(testi.back(), 13) + 8);
  });
  const std::vector<bool> tenuti = dirada(centri, larghezze, 4);
  for (std::size_t i = 0; i < testi.size(); ++i) {
    if (!tenuti[i]) continue;
    f_.rettangolo(centri[i] - larghezze[i] / 2, y + 6, larghezze[i], 17,
                  "fill:#fff;stroke:#00a;stroke-width:1.5");
    f_.testo(centri[i], y + 19, testi[i], "font-size:13px;fill:#00a", "middle");
  }
  return kAltezza;
}

double Tavola::aderenza(double y) {
  constexpr double kAltezza = 110;
  titolo_striscia(y, kAltezza, "Adhesion");
  int minimo = 255, massimo = 0;
  for (std::size_t k = 0; k < celle_disegnate(); ++k) {
    minimo = std::min(minimo, int{celle_[k].aderenza});
    massimo = std::max(massimo, int{celle_[k].aderenza});
  }
  if (minimo > massimo) minimo = massimo = 0;
  const double basso = std::max(0, minimo - 10), alto = massimo + 10;
  const auto ya = [&](double v) {
    return y + kAltezza - 10 - (v - basso) / (alto - basso) * (kAltezza - 20);
  };
  for (const int v : {minimo, massimo}) {
    f_.linea(kSinistra, ya(v), kSinistra + larghezza_utile(), ya(v), "stroke:#eee;stroke-width:1");
    f_.testo(kSinistra - 8, ya(v) + 5, n(v), "font-size:13px;fill:#555", "end");
  }
  f_.grezzo("<path class=\"aderenza\" d=\"" +
            gradini([&](const Cella& c) { return ya(c.aderenza); }) +
            "\" style=\"fill:none;stroke:#083;stroke-width:2.5\"/>\n");
  // The value of each run, where it fits.
  const auto aderenza = [](const Cella& c) { return c.aderenza; };
  per_tratti(aderenza, [&](std::size_t k, std::size_t e) {
    const double a = x(static_cast<double>(metro_profilo(static_cast<int64_t>(k)))),
                 b = x(static_cast<double>(metro_profilo(static_cast<int64_t>(e))));
    if (b - a > 40)
      f_.testo((a + b) / 2, ya(celle_[k].aderenza) - 6, n(celle_[k].aderenza),
               "font-size:13px;fill:#083", "middle");
  });
  return kAltezza;
}

double Tavola::montagna(double y) {
  constexpr double kAltezza = 56;
  titolo_striscia(y, kAltezza, "Mountain side", "1 upper, 2 lower, other codes full");
  const auto montagna = [](const Cella& c) { return c.montagna; };
  per_tratti(montagna, [&](std::size_t k, std::size_t e) {
    const int m = celle_[k].montagna;
    if (m == 0) return;
    const double a = x(static_cast<double>(metro_profilo(static_cast<int64_t>(k)))),
                 b = x(static_cast<double>(metro_profilo(static_cast<int64_t>(e))));
    // Sides 1 and 2 take a half of the strip each, so that a change of side shows as a step.
    const double y0 = m == 2 ? y + kAltezza / 2 : y + 4;
    const double h = m == 1 || m == 2 ? kAltezza / 2 - 4 : kAltezza - 8;
    f_.grezzo("<g class=\"montagna\"><title>" +
              testo_xml("mountain side " + n(m) + " from " +
                        n(metro_profilo(static_cast<int64_t>(k))) + " to " +
                        n(metro_profilo(static_cast<int64_t>(e))) + " m") +
              "</title>");
    const char* colore = m == 1 ? "fill:#a86" : m == 2 ? "fill:#686" : "fill:#c84";
    f_.rettangolo(a, y0, std::max(b - a, 1.0), h, colore);
    f_.grezzo("</g>\n");
    if (m != 1 && m != 2 && b - a > 20)
      f_.testo((a + b) / 2, y + kAltezza / 2 + 5, n(m), "font-size:12px;fill:#fff", "middle");
  });
  per_punti({kMarcaMontagna}, [&](std::size_t, int64_t, double px) {
    f_.linea(px, y + 2, px, y + kAltezza - 2, "stroke:#222;stroke-width:1.5");
  });
  return kAltezza;
}

double Tavola::asse_posizioni(double y) {
  constexpr double kAltezza = 50;
  f_.testo(12, y + 30, "Position, km", "font-size:15px;font-weight:bold");
  // Every km labelled while a km takes 40 px; else a label every 5 km, or every 10 km below
  // 8 px a km, with four plain ticks between labels.
  const double km_px = 1000.0 / static_cast<double>(fine_) * larghezza_utile();
  const int64_t ogni = km_px >= 40 ? 1000 : km_px >= 8 ? 5000 : 10000;
  for (int64_t p = 0; p <= fine_; p += ogni / (ogni == 1000 ? 1 : 5)) {
    const bool etichetta = p % ogni == 0;
    const double px = x(static_cast<double>(p));
    f_.linea(px, y, px, y + (etichetta ? 12 : 6), "stroke:#333;stroke-width:1");
    if (etichetta) f_.testo(px, y + 30, n(p / 1000), "font-size:14px", "middle");
  }
  const double fine_linea = x(static_cast<double>(lunghezza_));
  f_.linea(fine_linea, y - 4, fine_linea, y + 40, "stroke:#c00;stroke-width:2");
  f_.testo(fine_linea - 4, y + 46, "end of line", "font-size:13px;fill:#c00", "end");
  return kAltezza;
}

// Station guides run across every strip, so each profile can be read against the stations.
std::string Tavola::guide_stazioni(double inizio, double fine) const {
  std::string guide;
  for (const StazioneTavola& s : stazioni_) {
    const double px = x(s.s->posizione);
    guide += "<line x1=\"" + num(px) + "\" y1=\"" + num(inizio) + "\" x2=\"" + num(px) +
             "\" y2=\"" + num(fine) + "\"/>\n";
  }
  return "<g class=\"guide\" style=\"stroke:#f2b8b8;stroke-width:1;stroke-dasharray:4 4\">\n" +
         guide + "</g>\n";
}

std::string Tavola::documento(double altezza) const {
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + num(kLarghezza) +
         "\" height=\"" + num(altezza) + "\" viewBox=\"0 0 " + num(kLarghezza) + " " +
         num(altezza) + "\" font-family=\"" + svg::kCarattere + "\">\n";
  svg += "<title>" +
         testo_xml("Route sheet: " + utf8_da_1252(t_[kVoceLinea].nome) + ", train " +
                   utf8_da_1252(t_[kVoceTreno].nome)) +
         "</title>\n";
  svg += "<rect x=\"0\" y=\"0\" width=\"" + num(kLarghezza) + "\" height=\"" + num(altezza) +
         "\" style=\"fill:#fff\"/>\n";
  return svg;
}

std::string Tavola::disegna() {
  intestazione(0);
  double y = 110;
  y += pianta(y);
  // The strips are drawn first because the guides, which go under them, need their extent.
  const double inizio_strisce = y;
  y += asse_progressive(y) + 10;
  y += punti(y) + 10;
  y += altimetria(y) + 4;
  y += pendenze(y) + 10;
  y += velocita(y) + 10;
  y += aderenza(y) + 10;
  y += montagna(y) + 6;
  const double fine_strisce = y;
  y += asse_posizioni(y) + 20;
  return documento(y) + guide_stazioni(inizio_strisce, fine_strisce) + f_.corpo() + "</svg>\n";
}

}  // namespace

std::string disegna_tavola(const Stazioni& tabella, const std::vector<Cella>& celle,
                           const Geometria* geometria) {
  return Tavola(tabella, celle, geometria).disegna();
}

}  // namespace gs

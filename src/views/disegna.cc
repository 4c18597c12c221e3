#include "views/disegna.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <utility>

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
    q[k + 1] = q[k] + (int{celle[k].pendenza} - 100) * static_cast<double>(kMetriCella) / 1000.0;
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

// A station's name with its scheduled time, the seconds only when it has them: "BETA  05:37",
// "BETA  05:37:10".
std::string etichetta_stazione(const StazioneTavola& s) {
  if (s.s->orario == 0) return s.nome;
  std::string ora = formatta_orario(s.s->orario);
  if (s.s->orario % 60 == 0) ora.resize(ora.size() - 3);
  return s.nome + "  " + ora;
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

// The nearest multiple of `passo` at or above `v`, and at or below it, for either sign.
int64_t multiplo_su(int64_t v, int64_t passo) {
  return v >= 0 ? (v + passo - 1) / passo * passo : -(-v / passo * passo);
}
int64_t multiplo_giu(int64_t v, int64_t passo) {
  return v >= 0 ? v / passo * passo : -((-v + passo - 1) / passo * passo);
}

// A km label of an axis: "12" on a whole km, "12.3" between them (the axes' steps are whole
// hundreds of metres).
std::string etichetta_km(int64_t metri) {
  if (metri % 1000 == 0) return n(metri / 1000);
  const int64_t assoluto = metri < 0 ? -metri : metri;
  return std::string(metri < 0 ? "-" : "") + n(assoluto / 1000) + "." + n(assoluto % 1000 / 100);
}

// Metres, never negative, as km to the metre, with no trailing zero but the first decimal:
// "12.0", "12.345".
std::string km_esatti(int64_t metri) {
  std::string decimali = std::to_string(1000 + metri % 1000).substr(1);
  while (decimali.size() > 1 && decimali.back() == '0') decimali.pop_back();
  return n(metri / 1000) + "." + decimali;
}

// The line's length as the table gives it; from the grid when the table has none, or one
// past the grid's end.
int64_t lunghezza_di(const Stazioni& t, const std::vector<Cella>& celle) {
  const int64_t griglia = metro_profilo(static_cast<int64_t>(celle.size()));
  const int64_t lunghezza = t[kVoceParametri].fine;
  if (lunghezza <= 0 || lunghezza > griglia)
    return std::max<int64_t>(griglia - kMetriOltreLinea, griglia / 2);
  return lunghezza;
}

// Past the line's end only as far as the last point or station, so the sheet is not mostly
// run-out.
int64_t estensione_di(const std::vector<Cella>& celle, const std::vector<StazioneTavola>& stazioni,
                      int64_t lunghezza) {
  const int64_t griglia = metro_profilo(static_cast<int64_t>(celle.size()));
  int64_t fine = lunghezza;
  for (std::size_t k = 0; k < celle.size(); ++k) {
    if (celle[k].tipo != kLibera && celle[k].tipo != kMarcaMontagna)
      fine = std::max(fine, metro_cella(static_cast<int64_t>(k)));
  }
  for (const StazioneTavola& s : stazioni) fine = std::max<int64_t>(fine, s.s->fine);
  return std::max<int64_t>(std::min(fine + 300, griglia), 50);
}

// The window asked for, inside the sheet; the whole sheet when none was asked for.
Finestra finestra_entro(const std::optional<Finestra>& chiesta, int64_t estensione) {
  if (!chiesta) return {0, estensione};
  int64_t da = std::clamp<int64_t>(chiesta->da, 0, estensione);
  int64_t a = std::clamp<int64_t>(chiesta->a, 0, estensione);
  if (a < da) std::swap(da, a);
  // Narrower than this, a window shows less than two cells: it is widened about its centre.
  constexpr int64_t kMinima = 100;
  if (a - da < kMinima) {
    const int64_t centro = da + (a - da) / 2;
    da = std::clamp<int64_t>(centro - kMinima / 2, 0, std::max<int64_t>(estensione - kMinima, 0));
    a = std::min(da + kMinima, estensione);
  }
  return {da, a};
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
  DisegnoPunti(std::size_t prima, std::size_t fine) : base(prima), segni(fine - prima) {}
  Foglio& segno(std::size_t cella) { return segni[cella - base]; }
  std::size_t base;           // the first cell drawn
  std::vector<Foglio> segni;  // per drawn cell
  Foglio barre;               // the slowdowns, with their speeds
  // The labels, lane by lane.
  Foglio segnali, indicatori, codici, cartelli;
};

class Tavola {
 public:
  Tavola(const Stazioni& t, const std::vector<Cella>& celle, const Geometria* g,
         const OpzioniTavola& opzioni);

  std::string disegna();

 private:
  double x(double metri) const {
    return kSinistra +
           (metri - static_cast<double>(da_)) / static_cast<double>(a_ - da_) * larghezza_utile();
  }
  // The x of an end that may fall outside a window, held at its edge. The whole sheet draws
  // such ends where they fall.
  double x_dentro(double metri) const {
    return x(finestra_ ? std::clamp(metri, static_cast<double>(da_), static_cast<double>(a_))
                       : metri);
  }
  static double larghezza_utile() { return kLarghezza - kSinistra - kDestra; }
  // Whether anything from `da` to `a` metres shows: on the whole sheet, everything does.
  bool visibile(int64_t da, int64_t a) const { return !finestra_ || (a >= da_ && da <= a_); }
  // The cells drawn, from the one whose profile step holds the drawing's start up to the last
  // whose step starts before its end; the whole sheet also draws one that starts at its end.
  std::size_t prima_cella() const {
    return std::min(celle_.size(), static_cast<std::size_t>(passo_profilo(da_)));
  }
  std::size_t celle_disegnate() const {
    const int64_t fine = finestra_ ? passo_profilo(a_ + kMetriCella - 1) : passo_profilo(a_) + 1;
    return std::min(celle_.size(), static_cast<std::size_t>(fine));
  }
  // Past the last cell whose point may stand in the drawing: a point stands 50 m before its
  // cell's profile step.
  std::size_t fine_punti() const {
    return finestra_ ? std::min(celle_.size(), static_cast<std::size_t>(passo_profilo(a_) + 2))
                     : celle_disegnate();
  }
  // Calls f(first, past_last, from, to) for each run of drawn cells with the same value of a
  // field, with the metres it spans in the drawing: a window cuts the runs at its edges.
  template <typename Campo, typename F>
  void per_tratti(Campo campo, F f) const {
    const std::size_t ultima = celle_disegnate();
    for (std::size_t k = prima_cella(); k < ultima;) {
      std::size_t e = k;
      while (e < ultima && campo(celle_[e]) == campo(celle_[k])) ++e;
      const int64_t da = std::max(metro_profilo(static_cast<int64_t>(k)), da_);
      const int64_t a = metro_profilo(static_cast<int64_t>(e));
      f(k, e, da, finestra_ ? std::min(a, a_) : a);
      k = e;
    }
  }
  // Calls f(cell, metre, x) for each drawn cell whose point is of one of the kinds, in order.
  // A point before the line's start (cell 0) shows at the start of a window that begins there.
  template <typename F>
  void per_punti(std::initializer_list<uint8_t> tipi, F f) const {
    const std::size_t ultima = fine_punti();
    for (std::size_t k = prima_cella(); k < ultima; ++k) {
      if (std::find(tipi.begin(), tipi.end(), celle_[k].tipo) == tipi.end()) continue;
      const int64_t pos = metro_cella(static_cast<int64_t>(k));
      const int64_t dove = finestra_ ? std::max<int64_t>(pos, 0) : pos;
      if (finestra_ && (dove < da_ || dove > a_)) continue;
      f(k, pos, x(static_cast<double>(dove)));
    }
  }
  // The source of a cell's point, when the sheet was given sources and it has one.
  const FonteCella* fonte(int64_t cella) const {
    return fonti_ == nullptr || cella < 0 ? nullptr : fonti_->di(static_cast<std::size_t>(cella));
  }
  std::string attributo_fonte(int64_t cella) const;
  std::string riga_fonte(int64_t cella) const;
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
  int64_t passo_progressive() const;

  // The points strip, one function per lane.
  double punti(double y);
  Corsie disponi_corsie(double y) const;
  void guida_corsia(double yc, const std::string& titolo);
  void corsia_stazioni(double yc);
  void stazione(double yc, const StazioneTavola& s, bool in_piedi, bool con_nome);
  void corsia_segnali(double yc, DisegnoPunti& d) const;
  void corsia_rallentamenti(double yc, DisegnoPunti& d) const;
  void corsia_indicatori(double yc, DisegnoPunti& d) const;
  void corsia_cartelli(double yc, double altezza, DisegnoPunti& d) const;
  void corsia_codici(double yc, DisegnoPunti& d) const;

  double altimetria(double y);
  std::vector<svg::Punto> profilo_quote() const;
  double pendenze(double y);
  double velocita(double y);
  double orario(double y);
  double aderenza(double y);
  double montagna(double y);
  std::pair<std::size_t, std::size_t> tratto_intero(std::size_t k, std::size_t e) const;
  double asse_posizioni(double y);
  int64_t etichette_posizioni() const;
  std::string guide_stazioni(double inizio, double fine) const;
  std::string documento(double altezza) const;
  // A step line over the drawn cells, from a value per cell to a y on the sheet.
  template <typename Valore>
  std::string gradini(Valore valore) const;

  const Stazioni& t_;
  const std::vector<Cella>& celle_;
  const Geometria* g_;
  const Fonti* fonti_;
  bool finestra_;   // a window, not the whole sheet
  bool attributi_;  // the root element tells a page what it shows
  int64_t lunghezza_ = 0;
  int64_t fine_ = 0;  // the whole sheet's extent
  int64_t da_ = 0;    // the metres drawn
  int64_t a_ = 0;
  std::vector<StazioneTavola> stazioni_;
  std::vector<Rallentamento> rallentamenti_;
  std::vector<Rallentato> rallentati_;  // the same in metres, for the timetable
  Foglio f_;
};

Tavola::Tavola(const Stazioni& t, const std::vector<Cella>& celle, const Geometria* g,
               const OpzioniTavola& opzioni)
    : t_(t),
      celle_(celle),
      g_(g),
      fonti_(opzioni.fonti),
      finestra_(opzioni.finestra.has_value()),
      attributi_(opzioni.finestra.has_value() || opzioni.fonti != nullptr),
      lunghezza_(lunghezza_di(t, celle)),
      stazioni_(stazioni_di(t)),
      rallentamenti_(rallentamenti_di(celle)) {
  if (opzioni.rallentati != nullptr) {
    rallentati_ = *opzioni.rallentati;
  } else {
    for (const Rallentamento& r : rallentamenti_)
      rallentati_.push_back({metro_cella(static_cast<int64_t>(r.inizio)),
                             metro_cella(static_cast<int64_t>(r.fine)), r.velocita});
  }
  fine_ = estensione_di(celle, stazioni_, lunghezza_);
  const Finestra w = finestra_entro(opzioni.finestra, fine_);
  da_ = w.da;
  a_ = w.a;
}

std::string Tavola::attributo_fonte(int64_t cella) const {
  if (fonte(cella) == nullptr) return "";
  return " data-fonte=\"" + n(fonti_->per_cella[static_cast<std::size_t>(cella)]) + "\"";
}

// The tooltip's last line: the source line of the mark and, for a code point the compiler
// placed, the point it was placed for.
std::string Tavola::riga_fonte(int64_t cella) const {
  const FonteCella* f = fonte(cella);
  if (f == nullptr) return "";
  const std::string riga =
      f->posto_per.empty() ? "\nfrom " : "\nplaced for " + f->posto_per + ", from ";
  return riga + f->file + ":" + n(f->riga);
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
  // A window says first which part of the sheet it is, since a page shows one at a time.
  const std::string mostrata = finestra_ ? "shown: km " + km_esatti(da_) + " to " + km_esatti(a_) +
                                               " of " + km_esatti(fine_) + "; "
                                         : "";
  f_.testo(12, y + 72, mostrata + riassunto(), "font-size:18px;fill:#333");
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
         " cars, braked mass " + n(parametri.inizio) + " %, sand " + n(treno.sabbia()) +
         ", clock " + formatta_orario(orologio) + "; race codes " +
         n(celle_.size() > 1 ? celle_[1].dato2 : 0) + " and " + n(linea.orario);
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
  if (g_ != nullptr) {
    const std::optional<Finestra> w =
        finestra_ ? std::optional<Finestra>(Finestra{da_, a_}) : std::nullopt;
    return svg::disegna_pianta(f_, *g_, t_, lunghezza_, w, kSinistra, y, larghezza_utile(), 1000) +
           30;
  }
  f_.testo(12, y + 22, "Plan view", "font-size:22px;font-weight:bold");
  f_.rettangolo(kSinistra, y + 40, larghezza_utile(), 70, "fill:#fbfbf7;stroke:#999");
  f_.testo(kSinistra + 20, y + 82,
           "No plan view: the line geometry file was not found (the scenario was compiled "
           "without it).",
           "font-size:20px;fill:#a00");
  return 140;
}

// The drawing's start, the start of each chainage section in it, and the drawing's end, in
// order: a position uses the section with the largest start at or before it.
std::vector<int64_t> Tavola::confini_sezioni() const {
  std::vector<int64_t> confini = {da_};
  for (int i = kProgressivaTre; i <= kProgressivaUno; ++i) {
    const int64_t s = t_[static_cast<std::size_t>(i)].inizio;
    if (s > da_ && s < a_) confini.push_back(s);
  }
  std::sort(confini.begin(), confini.end());
  confini.erase(std::unique(confini.begin(), confini.end()), confini.end());
  confini.push_back(a_);
  return confini;
}

// A chainage tick every km on the whole sheet; a window close enough to read them gets one
// every 100, 200 or 500 m.
int64_t Tavola::passo_progressive() const {
  const double metro_px = larghezza_utile() / static_cast<double>(a_ - da_);
  if (finestra_) {
    for (const int64_t passo : {100, 200, 500}) {
      if (static_cast<double>(passo) * metro_px >= 50) return passo;
    }
  }
  return 1000;
}

double Tavola::asse_progressive(double y) {
  constexpr double kAltezza = 70;
  titolo_striscia(y, kAltezza, "Chainage", "km, by section");
  const std::vector<int64_t> confini = confini_sezioni();
  const int64_t passo = passo_progressive();
  // The ticks that stand out, and whose labels are kept first: every 5 km, or every km when
  // there are ticks between them.
  const int64_t grande_ogni = passo < 1000 ? 1000 : 5000;
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
    // The ticks of chainage in this piece, from the first at or past its start in the way the
    // chainage runs.
    const int64_t verso = cala ? -passo : passo;
    int64_t km = cala ? multiplo_giu(c0, passo) : multiplo_su(c0, passo);
    for (int guardia = 0; guardia < 100000; ++guardia, km += verso) {
      const int64_t p = da + (cala ? c0 - km : km - c0);
      if (p >= a_fine) break;
      if (p < da) continue;
      const double px = x(static_cast<double>(p));
      const bool grande = km % grande_ogni == 0;
      f_.linea(px, y, px, y + (grande ? 22 : 12),
               "stroke:#333;stroke-width:" + std::string(grande ? "2" : "1"));
      testi.push_back(etichetta_km(km));
      centri.push_back(px);
      larghezze.push_back(larghezza_testo(testi.back(), grande ? 16 : 13));
      cinque.push_back(grande);
    }
  }
  // The big ticks are labelled first, so that crowding never leaves a long stretch with no
  // number at all.
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
  DisegnoPunti d(prima_cella(), fine_punti());
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
    nomi = std::max(nomi, larghezza_testo(etichetta_stazione(s), 15) + 34);
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

// Each station: its span, its stop and, where it fits, its name and time upright above. A
// window draws the part of a span inside it, and the stop and name of a station standing in it.
void Tavola::corsia_stazioni(double yc) {
  // The stations shown, each with its place among the names, or -1 when it stands outside.
  std::vector<std::pair<const StazioneTavola*, int>> visibili;
  std::vector<double> centri, larghezze;
  for (const StazioneTavola& s : stazioni_) {
    if (!visibile(std::min(s.s->inizio, s.s->posizione), std::max(s.s->fine, s.s->posizione)))
      continue;
    const bool in_piedi = visibile(s.s->posizione, s.s->posizione);
    visibili.emplace_back(&s, in_piedi ? static_cast<int>(centri.size()) : -1);
    if (!in_piedi) continue;
    centri.push_back(x(s.s->posizione));
    larghezze.push_back(17);
  }
  const std::vector<bool> tenuti = dirada(centri, larghezze, 2);
  for (const auto& [s, nome] : visibili)
    stazione(yc, *s, nome >= 0, nome >= 0 && tenuti[static_cast<std::size_t>(nome)]);
}

void Tavola::stazione(double yc, const StazioneTavola& st, bool in_piedi, bool con_nome) {
  const Stazione& s = *st.s;
  const double px = x(s.posizione);
  const int64_t fermata = ha_fermata(s.tipo) ? cella_fermata(s.fine) : -1;
  std::string titolo = n(st.voce) + ". " + st.nome + " at " + n(s.posizione) + " m, kind " +
                       n(s.tipo) + ", span " + n(s.inizio) + " to " + n(s.fine) + " m";
  if (s.orario != 0) titolo += ", " + formatta_orario(s.orario);
  f_.grezzo("<g class=\"stazione\"" + attributo_fonte(fermata) + "><title>" +
            testo_xml(titolo + riga_fonte(fermata)) + "</title>\n");
  const double inizio = static_cast<double>(da_), fine = static_cast<double>(a_);
  const double da = x(std::clamp<double>(s.inizio, inizio, fine));
  const double a = x(std::clamp<double>(s.fine, inizio, fine));
  f_.rettangolo(da, yc - 7, a - da, 14, "fill:#fcc;stroke:#c00");
  if (in_piedi) f_.cerchio(px, yc, 6, "fill:#fff;stroke:#c00;stroke-width:3");
  if (con_nome)
    f_.testo(px + 5, yc - 14, etichetta_stazione(st), "font-size:15px;font-weight:bold;fill:#900",
             "start", -90);
  f_.grezzo("</g>\n");
}

// Each signal: a post with its left-hand light, labelled with the aspects it shows.
void Tavola::corsia_segnali(double yc, DisegnoPunti& d) const {
  std::vector<Etichetta> aspetti;
  per_punti({kSegnale}, [&](std::size_t k, int64_t pos, double px) {
    const Cella& c = celle_[k];
    const Segnale s = decodifica_segnale(c);
    Foglio& f = d.segno(k);
    const auto cella = static_cast<int64_t>(k);
    f.grezzo("<g class=\"segnale\"" + attributo_fonte(cella) + "><title>" +
             testo_xml(dove(k, pos) + "signal, left (sx " + n(s.sx) + ") " + n(s.s1) + "/" +
                       n(s.s2) + "/" + n(s.s3) + ", right (dx " + n(s.dx) + ") " + n(s.d1) + "/" +
                       n(s.d2) + "/" + n(s.d3) + ", rapp " + n(s.rapp) +
                       (c.tempo ? ", time value " + n(c.tempo) : "") + riga_fonte(cella)) +
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
    d.segno(k).cerchio(px, yc + 12, 1.5, "fill:#a50");
  });
  per_punti({kAvvisoRallentamento}, [&](std::size_t k, int64_t pos, double px) {
    Foglio& f = d.segno(k);
    // The warning stands kMetriAvviso before its slowdown: a dashed line leads to the start.
    f.linea(px, yc, x_dentro(static_cast<double>(pos + kMetriAvviso)), yc,
            "stroke:#f90;stroke-width:1.5;stroke-dasharray:4 3");
    const auto cella = static_cast<int64_t>(k);
    f.grezzo("<g class=\"avviso\"" + attributo_fonte(cella) + "><title>" +
             testo_xml(dove(k, pos) + "slowdown warning point, " + n(celle_[k].dato1) + " km/h" +
                       riga_fonte(cella)) +
             "</title><path d=\"M" + num(px - 6) + " " + num(yc + 6) + " L" + num(px) + " " +
             num(yc - 6) + " L" + num(px + 6) + " " + num(yc + 6) +
             " Z\" style=\"fill:#f90;stroke:#a50\"/></g>\n");
  });
  for (const Rallentamento& r : rallentamenti_) {
    const int64_t da = metro_cella(static_cast<int64_t>(r.inizio));
    const int64_t a = metro_cella(static_cast<int64_t>(r.fine));
    if (!visibile(da, a)) continue;
    const double xa = x_dentro(static_cast<double>(da)), xb = x_dentro(static_cast<double>(a));
    const auto cella = static_cast<int64_t>(r.inizio);
    d.barre.grezzo("<g class=\"rallentamento\"" + attributo_fonte(cella) + "><title>" +
                   testo_xml("slowdown from " + n(da) + " to " + n(a) + " m, " + n(r.velocita) +
                             " km/h" + riga_fonte(cella)) +
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
    const IndicatoreVelocita v = decodifica_indicatore(celle_[k]);
    std::string testo = n(v.vas) + "/" + n(v.vbs) + "/" + n(v.vcs);
    if (v.vad != 0 || v.vbd != 0 || v.vcd != 0)
      testo += " " + n(v.vad) + "/" + n(v.vbd) + "/" + n(v.vcd);
    Foglio& f = d.segno(k);
    const auto cella = static_cast<int64_t>(k);
    f.grezzo("<g class=\"indicatore\"" + attributo_fonte(cella) + "><title>" +
             testo_xml(dove(k, pos) + "speed board " + testo + " km/h" + riga_fonte(cella)) +
             "</title>");
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
    Foglio& f = d.segno(k);
    const auto cella = static_cast<int64_t>(k);
    f.grezzo("<g class=\"cartello\"" + attributo_fonte(cella) + "><title>" +
             testo_xml(dove(k, pos) + testo + riga_fonte(cella)) + "</title>");
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
    Foglio& f = d.segno(k);
    const auto cella = static_cast<int64_t>(k);
    f.grezzo(
        std::string("<g class=\"") + (con_codice ? "codice" : "codice-nullo") + "\"" +
        attributo_fonte(cella) + "><title>" +
        testo_xml(dove(k, pos) +
                  (con_codice ? "code point, code " + n(c.dato1) : "code point without a code") +
                  riga_fonte(cella)) +
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
  const std::size_t prima = prima_cella(), ultima = celle_disegnate();
  double precedente = 0;
  for (std::size_t k = prima; k < ultima; ++k) {
    const double v = valore(celle_[k]);
    const double a = x(static_cast<double>(std::max(metro_profilo(static_cast<int64_t>(k)), da_)));
    if (k == prima)
      d.append("M").append(num(a)).append(" ").append(num(v));
    else if (v != precedente)
      d += " L" + num(a) + " " + num(precedente) + " L" + num(a) + " " + num(v);
    precedente = v;
  }
  if (ultima > prima) d += " L" + num(x(static_cast<double>(a_))) + " " + num(precedente);
  return d;
}

double Tavola::altimetria(double y) {
  constexpr double kAltezza = 300;
  titolo_striscia(y, kAltezza, "Elevation", "m, from the gradients");
  const std::vector<svg::Punto> profilo = profilo_quote();
  double minimo = profilo.empty() ? 0 : profilo.front().y, massimo = minimo;
  for (const svg::Punto& p : profilo) {
    minimo = std::min(minimo, p.y);
    massimo = std::max(massimo, p.y);
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
  for (const svg::Punto& p : profilo)
    d += (d.empty() ? "M" : " L") + num(x(p.x)) + " " + num(yq(p.y));
  if (d.empty()) return kAltezza;
  // The same line twice: closed down to the axis for the ground, and open for the profile.
  f_.grezzo("<path d=\"" + d + " L" + num(x(profilo.back().x)) + " " + num(yq(basso)) + " L" +
            num(x(profilo.front().x)) + " " + num(yq(basso)) +
            " Z\" style=\"fill:#e8dcc8;stroke:none\"/>\n<path class=\"altimetria\" d=\"" + d +
            "\" style=\"fill:none;stroke:#741;stroke-width:2\"/>\n");
  return kAltezza;
}

// The elevation drawn, as (metre, elevation): at the start of each cell drawn and at the
// drawing's end. The elevation runs straight within a cell, so a window's edges, which fall
// anywhere in one, are found between its ends.
std::vector<svg::Punto> Tavola::profilo_quote() const {
  const std::vector<double> q = quote(celle_);
  const std::size_t ultima = celle_disegnate();
  std::vector<svg::Punto> profilo;
  if (!finestra_) {
    for (std::size_t k = 0; k <= ultima && k < q.size(); ++k) {
      const double metri = std::min<double>(
          static_cast<double>(metro_profilo(static_cast<int64_t>(k))), static_cast<double>(fine_));
      profilo.push_back({metri, q[k]});
    }
    return profilo;
  }
  const auto quota = [&](int64_t metri) {
    const int64_t passo = passo_profilo(metri);
    const auto k = static_cast<std::size_t>(passo);
    if (k + 1 >= q.size()) return q.back();
    return q[k] + (q[k + 1] - q[k]) * static_cast<double>(metri - metro_profilo(passo)) /
                      static_cast<double>(kMetriCella);
  };
  profilo.push_back({static_cast<double>(da_), quota(da_)});
  for (std::size_t k = prima_cella() + 1; k < ultima && k < q.size(); ++k) {
    if (metro_profilo(static_cast<int64_t>(k)) < a_)
      profilo.push_back({static_cast<double>(metro_profilo(static_cast<int64_t>(k))), q[k]});
  }
  profilo.push_back({static_cast<double>(a_), quota(a_)});
  return profilo;
}

double Tavola::pendenze(double y) {
  constexpr double kAltezza = 44;
  titolo_striscia(y, kAltezza, "Gradient", "per mille");
  const auto pendenza = [](const Cella& c) { return c.pendenza; };
  per_tratti(pendenza, [&](std::size_t k, std::size_t, int64_t da, int64_t a_metri) {
    const int g = int{celle_[k].pendenza} - 100;
    const double a = x(static_cast<double>(da));
    const double b = x(static_cast<double>(std::min(a_metri, fine_)));
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
  for (std::size_t k = prima_cella(); k < celle_disegnate(); ++k)
    massimo = std::max(massimo, int{celle_[k].velocita} * 5);
  for (const Rallentamento& r : rallentamenti_) {
    if (visibile(metro_cella(static_cast<int64_t>(r.inizio)),
                 metro_cella(static_cast<int64_t>(r.fine))))
      massimo = std::max(massimo, static_cast<int>(r.velocita));
  }
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
    const int64_t da = metro_cella(static_cast<int64_t>(r.inizio));
    const int64_t a_metri = metro_cella(static_cast<int64_t>(r.fine));
    if (!visibile(da, a_metri)) continue;
    const double a = x_dentro(static_cast<double>(da));
    const double b = x_dentro(static_cast<double>(a_metri));
    f_.rettangolo(a, yv(r.velocita), std::max(b - a, 2.0), yv(0) - yv(r.velocita),
                  "fill:#d22;opacity:0.25");
    f_.linea(a, yv(r.velocita), std::max(b, a + 2), yv(r.velocita), "stroke:#d22;stroke-width:2.5");
  }
  // The speeds the boards announce, boxed at the top of the strip, each with a dashed drop
  // to the limit line so that the two can be read against each other.
  std::vector<double> centri, larghezze;
  std::vector<std::string> testi;
  per_punti({kIndicatoreVelocita}, [&](std::size_t k, int64_t, double px) {
    const IndicatoreVelocita v = decodifica_indicatore(celle_[k]);
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

double Tavola::orario(double y) {
  constexpr double kAltezza = 260;
  titolo_striscia(y, kAltezza, "Timetable");
  // The key, short enough to leave the time axis its room.
  const std::string chiave = "font-size:13px;fill:#555";
  f_.linea(12, y + 46, 32, y + 46, "stroke:#222;stroke-width:2.5");
  f_.testo(38, y + 51, "timetable", chiave);
  f_.linea(12, y + 64, 32, y + 64, "stroke:#05a;stroke-width:2.5");
  f_.testo(38, y + 69, "fastest run", chiave);
  f_.rettangolo(12, y + 76, 20, 12, "fill:#d22;opacity:0.3");
  f_.testo(38, y + 87, "too fast", chiave);
  svg::disegna_orario(f_, t_, celle_, rallentati_, {kSinistra, larghezza_utile(), da_, a_}, y,
                      kAltezza, [this](int64_t cella) { return attributo_fonte(cella); });
  return kAltezza;
}

double Tavola::aderenza(double y) {
  constexpr double kAltezza = 110;
  titolo_striscia(y, kAltezza, "Adhesion");
  int minimo = 255, massimo = 0;
  for (std::size_t k = prima_cella(); k < celle_disegnate(); ++k) {
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
  per_tratti(aderenza, [&](std::size_t k, std::size_t, int64_t da, int64_t a_metri) {
    const double a = x(static_cast<double>(da)), b = x(static_cast<double>(a_metri));
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
  per_tratti(montagna, [&](std::size_t k, std::size_t e, int64_t da, int64_t a_metri) {
    const int m = celle_[k].montagna;
    if (m == 0) return;
    const double a = x(static_cast<double>(da)), b = x(static_cast<double>(a_metri));
    const auto [inizio, fine] = tratto_intero(k, e);
    // Sides 1 and 2 take a half of the strip each, so that a change of side shows as a step.
    const double y0 = m == 2 ? y + kAltezza / 2 : y + 4;
    const double h = m == 1 || m == 2 ? kAltezza / 2 - 4 : kAltezza - 8;
    f_.grezzo("<g class=\"montagna\"><title>" +
              testo_xml("mountain side " + n(m) + " from " +
                        n(metro_profilo(static_cast<int64_t>(inizio))) + " to " +
                        n(metro_profilo(static_cast<int64_t>(fine))) + " m") +
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

// A run of mountain side cut by a window, as far as it goes on either side: the tooltip gives
// the whole span. Spans are short, so this looks at few cells past the window.
std::pair<std::size_t, std::size_t> Tavola::tratto_intero(std::size_t k, std::size_t e) const {
  if (!finestra_) return {k, e};
  const uint8_t m = celle_[k].montagna;
  while (k > 0 && celle_[k - 1].montagna == m) --k;
  while (e < celle_.size() && celle_[e].montagna == m) ++e;
  return {k, e};
}

double Tavola::asse_posizioni(double y) {
  constexpr double kAltezza = 50;
  f_.testo(12, y + 30, "Position, km", "font-size:15px;font-weight:bold");
  const int64_t ogni = etichette_posizioni();
  const int64_t passo = ogni < 1000 ? 100 : ogni / (ogni == 1000 ? 1 : 5);
  for (int64_t p = multiplo_su(da_, passo); p <= a_; p += passo) {
    const bool etichetta = p % ogni == 0;
    const double px = x(static_cast<double>(p));
    f_.linea(px, y, px, y + (etichetta ? 12 : 6), "stroke:#333;stroke-width:1");
    if (etichetta) f_.testo(px, y + 30, etichetta_km(p), "font-size:14px", "middle");
  }
  if (!visibile(lunghezza_, lunghezza_)) return kAltezza;
  const double fine_linea = x(static_cast<double>(lunghezza_));
  f_.linea(fine_linea, y - 4, fine_linea, y + 40, "stroke:#c00;stroke-width:2");
  // Near a window's left edge the words go to the right of the mark, inside the strip.
  const bool a_destra = finestra_ && fine_linea - kSinistra < 90;
  f_.testo(fine_linea + (a_destra ? 4 : -4), y + 46, "end of line", "font-size:13px;fill:#c00",
           a_destra ? "start" : "end");
  return kAltezza;
}

// How far apart the position labels are: every km while a km takes 40 px; else every 5 km, or
// every 10 km below 8 px a km, with four plain ticks between labels. A window close enough
// gets one every 100, 200 or 500 m, with a tick every 100 m: room for "999.9".
int64_t Tavola::etichette_posizioni() const {
  const double km_px = 1000.0 / static_cast<double>(a_ - da_) * larghezza_utile();
  if (finestra_) {
    for (const int64_t ogni : {100, 200, 500}) {
      if (static_cast<double>(ogni) / 1000 * km_px >= 70) return ogni;
    }
  }
  return km_px >= 40 ? 1000 : km_px >= 8 ? 5000 : 10000;
}

// Station guides run across every strip, so each profile can be read against the stations.
std::string Tavola::guide_stazioni(double inizio, double fine) const {
  std::string guide;
  for (const StazioneTavola& s : stazioni_) {
    if (!visibile(s.s->posizione, s.s->posizione)) continue;
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
         num(altezza) + "\" font-family=\"" + svg::kCarattere + "\"";
  if (attributi_)
    svg +=
        " data-da=\"" + n(da_) + "\" data-a=\"" + n(a_) + "\" data-estensione=\"" + n(fine_) + "\"";
  svg += ">\n";
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
  y += orario(y) + 10;
  y += aderenza(y) + 10;
  y += montagna(y) + 6;
  const double fine_strisce = y;
  y += asse_posizioni(y) + 20;
  return documento(y) + guide_stazioni(inizio_strisce, fine_strisce) + f_.corpo() + "</svg>\n";
}

}  // namespace

std::string disegna_tavola(const Stazioni& tabella, const std::vector<Cella>& celle,
                           const Geometria* geometria, const OpzioniTavola& opzioni) {
  return Tavola(tabella, celle, geometria, opzioni).disegna();
}

std::string disegna_tavola(const Stazioni& tabella, const std::vector<Cella>& celle,
                           const Geometria* geometria) {
  return disegna_tavola(tabella, celle, geometria, OpzioniTavola{});
}

int64_t estensione_tavola(const Stazioni& tabella, const std::vector<Cella>& celle) {
  return estensione_di(celle, stazioni_di(tabella), lunghezza_di(tabella, celle));
}

}  // namespace gs

#include "views/disegna.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/nomi_file.h"
#include "views/disegna_svg.h"
#include "output/uscita.h"

namespace gs {

std::string testo_xml(std::string_view utf8) {
  std::string s;
  s.reserve(utf8.size());
  for (const char ch : utf8) {
    switch (ch) {
      case '&': s += "&amp;"; break;
      case '<': s += "&lt;"; break;
      case '>': s += "&gt;"; break;
      case '"': s += "&quot;"; break;
      case '\'': s += "&apos;"; break;
      default:
        // XML 1.0 has no place for control characters other than tab and line ends.
        if (static_cast<unsigned char>(ch) < 0x20 && ch != '\t' && ch != '\n' && ch != '\r') s += "\xEF\xBF\xBD";
        else s += ch;
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

std::vector<bool> dirada(const std::vector<double>& centri, const std::vector<double>& larghezze,
                         double spazio, const std::vector<bool>& priorita) {
  const std::size_t n = std::min(centri.size(), larghezze.size());
  std::vector<bool> tenuti(n, false);
  std::vector<std::pair<double, double>> presi;  // kept intervals, in no particular order
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
    if (ch == ' ' || ch == '.' || ch == ',' || ch == '\'' || ch == 'I' || ch == 'i' || ch == 'l' || ch == ':')
      em += 0.32;
    else if (ch >= 'A' && ch <= 'Z')
      em += ch == 'M' || ch == 'W' ? 0.86 : 0.7;
    else
      em += 0.6;
  }
  return em * corpo;
}

void Foglio::linea(double x1, double y1, double x2, double y2, std::string_view stile) {
  corpo_ += "<line x1=\"" + num(x1) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x2) + "\" y2=\"" + num(y2) +
            "\" style=\"" + std::string(stile) + "\"/>\n";
}

void Foglio::rettangolo(double x, double y, double l, double a, std::string_view stile) {
  corpo_ += "<rect x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(std::max(l, 0.0)) +
            "\" height=\"" + num(std::max(a, 0.0)) + "\" style=\"" + std::string(stile) + "\"/>\n";
}

void Foglio::cerchio(double x, double y, double r, std::string_view stile) {
  corpo_ += "<circle cx=\"" + num(x) + "\" cy=\"" + num(y) + "\" r=\"" + num(r) + "\" style=\"" +
            std::string(stile) + "\"/>\n";
}

void Foglio::testo(double x, double y, std::string_view t, std::string_view stile, std::string_view ancora,
                   double rotazione) {
  corpo_ += "<text x=\"" + num(x) + "\" y=\"" + num(y) + "\"";
  if (ancora != "start") corpo_ += " text-anchor=\"" + std::string(ancora) + "\"";
  if (rotazione != 0) corpo_ += " transform=\"rotate(" + num(rotazione) + " " + num(x) + " " + num(y) + ")\"";
  corpo_ += " style=\"" + std::string(stile) + "\">" + testo_xml(t) + "</text>\n";
}

}  // namespace svg

namespace {

using svg::Foglio;
using svg::larghezza_testo;
using svg::num;

constexpr double kLarghezza = 5000;
constexpr double kSinistra = 190;  // strip titles and axis values
constexpr double kDestra = 50;

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

class Tavola {
 public:
  Tavola(const Stazioni& t, const std::vector<Cella>& celle, const Geometria* g)
      : t_(t), celle_(celle), g_(g) {
    const int64_t griglia = static_cast<int64_t>(celle.size()) * 50;
    lunghezza_ = t[kVoceParametri].fine;
    if (lunghezza_ <= 0 || lunghezza_ > griglia) lunghezza_ = std::max<int64_t>(griglia - 7000, griglia / 2);
    // Past the line's end only as far as the last point, so the sheet is not mostly run-out.
    fine_ = lunghezza_;
    for (std::size_t k = 0; k < celle.size(); ++k) {
      if (celle[k].tipo != kLibera && celle[k].tipo != kMarcaMontagna)
        fine_ = std::max(fine_, posizione_punto(static_cast<int64_t>(k)));
    }
    const auto ruoli = ruoli_voci(t);
    for (int i = 1; i < kVociStazioni; ++i) {
      if (ruoli[static_cast<std::size_t>(i)] != Ruolo::kStazione) continue;
      stazioni_.push_back({i, &t[static_cast<std::size_t>(i)], utf8_da_1252(t[static_cast<std::size_t>(i)].nome)});
      fine_ = std::max<int64_t>(fine_, t[static_cast<std::size_t>(i)].fine);
    }
    fine_ = std::max<int64_t>(std::min(fine_ + 300, griglia), 50);
    for (std::size_t k = 0; k < celle.size(); ++k) {
      if (celle[k].tipo != kInizioRallentamento) continue;
      std::size_t e = k + 1;
      while (e < celle.size() && celle[e].tipo != kFineRallentamento && celle[e].tipo != kInizioRallentamento) ++e;
      // A start and end in one cell leave only the start: the slowdown is drawn one cell long.
      const bool trovata = e < celle.size() && celle[e].tipo == kFineRallentamento;
      rallentamenti_.push_back({k, trovata ? e : k, celle[k].dato1});
    }
  }

  std::string disegna();

 private:
  double x(double metri) const { return kSinistra + metri / static_cast<double>(fine_) * larghezza_utile(); }
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
  int contati(uint8_t tipo) const {
    return static_cast<int>(std::count_if(celle_.begin(), celle_.end(), [&](const Cella& c) { return c.tipo == tipo; }));
  }

  void intestazione(double y);
  void titolo_striscia(double y, double altezza, const std::string& titolo, const std::string& sotto = "");
  double asse_progressive(double y);
  double punti(double y);
  double altimetria(double y);
  double pendenze(double y);
  double velocita(double y);
  double aderenza(double y);
  double montagna(double y);
  double asse_posizioni(double y);
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

void Tavola::titolo_striscia(double y, double altezza, const std::string& titolo, const std::string& sotto) {
  f_.rettangolo(kSinistra, y, larghezza_utile(), altezza, "fill:none;stroke:#bbb;stroke-width:1");
  f_.testo(12, y + 22, titolo, "font-size:17px;font-weight:bold");
  if (!sotto.empty()) f_.testo(12, y + 42, sotto, "font-size:13px;fill:#555");
}

void Tavola::intestazione(double y) {
  const Stazione& linea = t_[kVoceLinea];
  const Stazione& treno = t_[kVoceTreno];
  const Stazione& parametri = t_[kVoceParametri];
  f_.testo(12, y + 40, "Route sheet: " + utf8_da_1252(linea.nome) + ", train " + utf8_da_1252(treno.nome),
           "font-size:36px;font-weight:bold");
  const std::string riga = "line length " + n(parametri.fine) + " m, " + n(static_cast<int64_t>(stazioni_.size())) +
                           " stations, " + n(contati(kSegnale)) + " signals, " +
                           n(static_cast<int64_t>(rallentamenti_.size())) + " slowdowns, " +
                           n(contati(kIndicatoreVelocita)) + " speed boards, " + n(contati(kCartelloIndicatore)) +
                           " indication boards, " + n(contati(kCodice)) + " code points; " + n(parametri.posizione) +
                           " cars, braked mass " + n(parametri.inizio) + " %, sand " + n(treno.campo7) +
                           ", clock " +
                           formatta_orario(int64_t{treno.campo10} * 3600 + int64_t{treno.campo11} * 60 + treno.campo12) +
                           "; race codes " + n(celle_.size() > 1 ? celle_[1].dato2 : 0) + " and " + n(linea.orario);
  f_.testo(12, y + 72, riga, "font-size:18px;fill:#333");
  // Legend: the same marks as below, but of their own class so that they are not counted.
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
  f_.grezzo("<path d=\"M" + num(lx - 6) + " " + num(ly + 6) + " L" + num(lx) + " " + num(ly - 6) + " L" +
            num(lx + 6) + " " + num(ly + 6) + " Z\" style=\"fill:#f90;stroke:#a50\"/>\n");
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

double Tavola::asse_progressive(double y) {
  constexpr double kAltezza = 70;
  titolo_striscia(y, kAltezza, "Chainage", "km, by section");
  // Sections in order of start; a position uses the one with the largest start at or before it.
  std::vector<int64_t> confini = {0};
  for (int i = kProgressivaTre; i <= kProgressivaUno; ++i) {
    const int64_t s = t_[static_cast<std::size_t>(i)].inizio;
    if (s > 0 && s < fine_) confini.push_back(s);
  }
  std::sort(confini.begin(), confini.end());
  confini.erase(std::unique(confini.begin(), confini.end()), confini.end());
  confini.push_back(fine_);
  std::vector<double> centri, larghezze;
  std::vector<std::string> testi;
  std::vector<bool> cinque;
  for (std::size_t a = 0; a + 1 < confini.size(); ++a) {
    const int64_t da = confini[a], a_fine = confini[a + 1];
    const int64_t c0 = progressiva_a(t_, da);
    const bool cala = progressiva_a(t_, std::min(da + 1, a_fine)) < c0;
    if (a > 0) {
      f_.linea(x(static_cast<double>(da)), y, x(static_cast<double>(da)), y + kAltezza, "stroke:#c60;stroke-width:3");
      f_.testo(x(static_cast<double>(da)) + 4, y + kAltezza - 6, "section from " + formatta_progressiva(c0),
               "font-size:12px;fill:#c60");
    }
    // Whole kilometres of chainage inside this piece.
    const int64_t passo = cala ? -1000 : 1000;
    int64_t km = cala ? (c0 >= 0 ? c0 / 1000 * 1000 : -((-c0 + 999) / 1000) * 1000)
                      : (c0 >= 0 ? (c0 + 999) / 1000 * 1000 : -(-c0 / 1000) * 1000);
    for (int guardia = 0; guardia < 100000; ++guardia, km += passo) {
      const int64_t p = da + (cala ? c0 - km : km - c0);
      if (p >= a_fine) break;
      if (p < da) continue;
      const double px = x(static_cast<double>(p));
      const bool grande = km % 5000 == 0;
      f_.linea(px, y, px, y + (grande ? 22 : 12), "stroke:#333;stroke-width:" + std::string(grande ? "2" : "1"));
      testi.push_back(n(km / 1000));
      centri.push_back(px);
      larghezze.push_back(larghezza_testo(testi.back(), grande ? 16 : 13));
      cinque.push_back(grande);
    }
  }
  const std::vector<bool> tenuti = dirada(centri, larghezze, 6, cinque);
  for (std::size_t i = 0; i < testi.size(); ++i) {
    if (!tenuti[i]) continue;
    f_.testo(centri[i], y + (cinque[i] ? 42 : 34), testi[i],
             cinque[i] ? "font-size:16px;font-weight:bold" : "font-size:13px;fill:#444", "middle");
  }
  return kAltezza;
}

double Tavola::punti(double y) {
  // Lanes from the top: station names, stations, signals, slowdowns, speed boards, indication
  // boards with their texts, code points.
  constexpr double kCorsia = 46;
  // Room for the longest upright board text, within reason: longer ones are cut.
  double cartelli_alti = 60;
  for (const Cella& c : celle_) {
    if (c.tipo == kCartelloIndicatore && c.dato1 >= 0 && c.dato1 < kVociStazioni)
      cartelli_alti = std::max(cartelli_alti, larghezza_testo(utf8_da_1252(testo_cartello(t_[static_cast<std::size_t>(c.dato1)].nome)), 12) + 30);
  }
  const double altezza_cartelli = std::min(cartelli_alti, 340.0);
  // Room for the longest upright station name with its time.
  double nomi = 120;
  for (const StazioneTavola& s : stazioni_)
    nomi = std::max(nomi, larghezza_testo(s.nome + "  00:00", 15) + 34);
  nomi = std::min(nomi, 420.0);
  const double y_stazioni = y + nomi;
  const double y_segnali = y_stazioni + kCorsia;
  const double y_rallentamenti = y_segnali + kCorsia;
  const double y_indicatori = y_rallentamenti + kCorsia;
  const double y_cartelli = y_indicatori + kCorsia;
  const double y_codici = y_cartelli + altezza_cartelli;
  const double altezza = y_codici + kCorsia - y;
  f_.rettangolo(kSinistra, y, larghezza_utile(), altezza, "fill:none;stroke:#bbb;stroke-width:1");
  f_.testo(12, y + 22, "Stations", "font-size:17px;font-weight:bold");
  f_.testo(12, y + 42, "name, scheduled time", "font-size:13px;fill:#555");
  const auto corsia = [&](double yc, const std::string& titolo) {
    f_.linea(kSinistra, yc + kCorsia / 2, kSinistra + larghezza_utile(), yc + kCorsia / 2, "stroke:#eee;stroke-width:1");
    f_.testo(12, yc + 5, titolo, "font-size:15px;font-weight:bold");
  };
  corsia(y_stazioni, "station spans");
  corsia(y_segnali, "signals");
  corsia(y_rallentamenti, "slowdowns");
  corsia(y_indicatori, "speed boards");
  corsia(y_cartelli, "indication boards");
  corsia(y_codici, "code points");

  // Stations: span, stop cell, name and time.
  {
    std::vector<double> centri, larghezze;
    for (const StazioneTavola& s : stazioni_) {
      centri.push_back(x(s.s->posizione));
      larghezze.push_back(17);
    }
    const std::vector<bool> tenuti = dirada(centri, larghezze, 2);
    for (std::size_t i = 0; i < stazioni_.size(); ++i) {
      const StazioneTavola& s = stazioni_[i];
      const double px = x(s.s->posizione);
      std::string titolo = n(s.voce) + ". " + s.nome + " at " + n(s.s->posizione) + " m, kind " + n(s.s->tipo) +
                           ", span " + n(s.s->inizio) + " to " + n(s.s->fine) + " m";
      if (s.s->orario != 0) titolo += ", " + formatta_orario(s.s->orario);
      f_.grezzo("<g class=\"stazione\"><title>" + testo_xml(titolo) + "</title>\n");
      const double da = x(std::clamp<double>(s.s->inizio, 0, static_cast<double>(fine_)));
      const double a = x(std::clamp<double>(s.s->fine, 0, static_cast<double>(fine_)));
      f_.rettangolo(da, y_stazioni - 7, a - da, 14, "fill:#fcc;stroke:#c00");
      f_.cerchio(px, y_stazioni, 6, "fill:#fff;stroke:#c00;stroke-width:3");
      if (tenuti[i]) {
        std::string etichetta = s.nome;
        if (s.s->orario != 0) etichetta += "  " + formatta_orario(s.s->orario).substr(0, 5);
        f_.testo(px + 5, y_stazioni - 14, etichetta, "font-size:15px;font-weight:bold;fill:#900", "start", -90);
      }
      f_.grezzo("</g>\n");
    }
  }

  // Point markers, each with a tooltip; labels only where they fit.
  struct Etichetta {
    double x;
    std::string testo;
  };
  std::vector<Etichetta> segnali, indicatori, cartelli, codici;
  const std::size_t ultima = celle_disegnate();
  for (std::size_t k = 0; k < ultima; ++k) {
    const Cella& c = celle_[k];
    const int64_t pos = posizione_punto(static_cast<int64_t>(k));
    const double px = x(static_cast<double>(pos));
    const std::string dove = "cell " + n(static_cast<int64_t>(k)) + ", " + n(pos) + " m: ";
    switch (c.tipo) {
      case kSegnale: {
        const SegnaleLetto s = decodifica_segnale(c);
        const std::string aspetti = n(s.s1) + (s.s2 != 0 || s.s3 != 0 ? "/" + n(s.s2) : "") + (s.s3 != 0 ? "/" + n(s.s3) : "");
        f_.grezzo("<g class=\"segnale\"><title>" +
                  testo_xml(dove + "signal, left (sx " + n(s.sx) + ") " + n(s.s1) + "/" + n(s.s2) + "/" + n(s.s3) +
                            ", right (dx " + n(s.dx) + ") " + n(s.d1) + "/" + n(s.d2) + "/" + n(s.d3) + ", rapp " +
                            n(s.rapp) + (c.tempo ? ", time value " + n(c.tempo) : "")) +
                  "</title>");
        f_.linea(px, y_segnali + 14, px, y_segnali - 6, "stroke:#222;stroke-width:2");
        f_.cerchio(px, y_segnali - 9, 5, std::string("stroke:#222;fill:") + (s.sx == 2 ? "#fc0" : "#0a0"));
        f_.grezzo("</g>\n");
        segnali.push_back({px, aspetti});
        break;
      }
      case kAvvisoRallentamento:
        // The warning stands 1200 m before its slowdown: a dashed line leads to the start.
        f_.linea(px, y_rallentamenti, x(static_cast<double>(pos + 1200)), y_rallentamenti,
                 "stroke:#f90;stroke-width:1.5;stroke-dasharray:4 3");
        f_.grezzo("<g class=\"avviso\"><title>" + testo_xml(dove + "slowdown warning point, " + n(c.dato1) + " km/h") +
                  "</title><path d=\"M" + num(px - 6) + " " + num(y_rallentamenti + 6) + " L" + num(px) + " " +
                  num(y_rallentamenti - 6) + " L" + num(px + 6) + " " + num(y_rallentamenti + 6) +
                  " Z\" style=\"fill:#f90;stroke:#a50\"/></g>\n");
        break;
      case kPreavvisoRallentamento:
        f_.cerchio(px, y_rallentamenti + 12, 1.5, "fill:#a50");
        break;
      case kIndicatoreVelocita: {
        const IndicatoreLetto v = decodifica_indicatore(c);
        std::string testo = n(v.vas) + "/" + n(v.vbs) + "/" + n(v.vcs);
        if (v.vad != 0 || v.vbd != 0 || v.vcd != 0) testo += " " + n(v.vad) + "/" + n(v.vbd) + "/" + n(v.vcd);
        f_.grezzo("<g class=\"indicatore\"><title>" + testo_xml(dove + "speed board " + testo + " km/h") + "</title>");
        f_.rettangolo(px - 6, y_indicatori - 7, 12, 14, "fill:#fff;stroke:#00a;stroke-width:2");
        f_.grezzo("</g>\n");
        indicatori.push_back({px, testo});
        break;
      }
      case kCartelloIndicatore: {
        std::string testo = "board entry " + n(c.dato1);
        if (c.dato1 >= 0 && c.dato1 < kVociStazioni)
          testo = utf8_da_1252(testo_cartello(t_[static_cast<std::size_t>(c.dato1)].nome));
        f_.grezzo("<g class=\"cartello\"><title>" + testo_xml(dove + testo) + "</title>");
        f_.rettangolo(px - 5, y_cartelli - 7, 10, 14, "fill:#6a4;stroke:#363");
        f_.grezzo("</g>\n");
        cartelli.push_back({px, testo});
        break;
      }
      case kCodice:
      case kAbbattimento: {
        const bool con_codice = c.tipo == kCodice;
        f_.grezzo(std::string("<g class=\"") + (con_codice ? "codice" : "codice-nullo") + "\"><title>" +
                  testo_xml(dove + (con_codice ? "code point, code " + n(c.dato1) : "code point without a code")) +
                  "</title>");
        f_.linea(px, y_codici - 8, px, y_codici + 8, std::string("stroke-width:3;stroke:") + (con_codice ? "#a0a" : "#888"));
        f_.grezzo("</g>\n");
        codici.push_back({px, con_codice ? n(c.dato1) : "-"});
        break;
      }
      default:
        break;
    }
  }
  for (const Rallentamento& r : rallentamenti_) {
    const double a = x(static_cast<double>(posizione_punto(static_cast<int64_t>(r.inizio))));
    const double b = x(static_cast<double>(posizione_punto(static_cast<int64_t>(r.fine))));
    f_.grezzo("<g class=\"rallentamento\"><title>" +
              testo_xml("slowdown from " + n(posizione_punto(static_cast<int64_t>(r.inizio))) + " to " +
                        n(posizione_punto(static_cast<int64_t>(r.fine))) + " m, " + n(r.velocita) + " km/h") +
              "</title>");
    f_.rettangolo(a, y_rallentamenti - 5, std::max(b - a, 3.0), 10, "fill:#d22");
    f_.grezzo("</g>\n");
    f_.testo((a + b) / 2, y_rallentamenti + 22, n(r.velocita), "font-size:13px;font-weight:bold;fill:#d22", "middle");
  }
  const auto etichette = [&](const std::vector<Etichetta>& e, double yt, double corpo, std::string_view stile) {
    std::vector<double> centri, larghezze;
    for (const Etichetta& et : e) {
      centri.push_back(et.x);
      larghezze.push_back(larghezza_testo(et.testo, corpo));
    }
    const std::vector<bool> tenuti = dirada(centri, larghezze, 4);
    for (std::size_t i = 0; i < e.size(); ++i) {
      if (tenuti[i]) f_.testo(e[i].x, yt, e[i].testo, stile, "middle");
    }
  };
  etichette(segnali, y_segnali + 30, 13, "font-size:13px");
  etichette(indicatori, y_indicatori + 24, 13, "font-size:13px;fill:#00a");
  // Code points are many and nearly all 180: only the others are labelled.
  std::vector<Etichetta> codici_diversi;
  for (const Etichetta& e : codici) {
    if (e.testo != "180") codici_diversi.push_back(e);
  }
  etichette(codici_diversi, y_codici + 24, 12, "font-size:12px;fill:#a0a");
  // Board texts stand upright below their marks, thinned where boards crowd together.
  {
    std::vector<double> centri, larghezze;
    for (const Etichetta& e : cartelli) {
      centri.push_back(e.x);
      larghezze.push_back(14);
    }
    const std::vector<bool> tenuti = dirada(centri, larghezze, 1);
    for (std::size_t i = 0; i < cartelli.size(); ++i) {
      if (!tenuti[i]) continue;
      std::string testo = cartelli[i].testo;
      // What does not fit the lane is cut; the whole text is in the tooltip.
      while (larghezza_testo(testo, 12) > altezza_cartelli - 24 && testo.size() > 4) {
        testo.pop_back();
        while (!testo.empty() && (static_cast<unsigned char>(testo.back()) & 0xC0) == 0x80) testo.pop_back();
        if (!testo.empty() && static_cast<unsigned char>(testo.back()) >= 0xC0) testo.pop_back();
      }
      if (testo != cartelli[i].testo) testo += "…";
      f_.testo(cartelli[i].x + 4, y_cartelli + 14, testo, "font-size:12px;fill:#363", "end", -90);
    }
  }
  return altezza;
}

template <typename Valore>
std::string Tavola::gradini(Valore valore) const {
  std::string d;
  const std::size_t ultima = celle_disegnate();
  double prima = 0;
  for (std::size_t k = 0; k < ultima; ++k) {
    const double v = valore(celle_[k]);
    const double a = x(static_cast<double>(k) * 50);
    if (k == 0) d.append("M").append(num(a)).append(" ").append(num(v));
    else if (v != prima) d += " L" + num(a) + " " + num(prima) + " L" + num(a) + " " + num(v);
    prima = v;
  }
  if (ultima > 0) d += " L" + num(x(static_cast<double>(fine_))) + " " + num(prima);
  return d;
}

// Round steps for an axis: about `quante` of them over the range.
double passo_asse(double ampiezza, int quante) {
  for (const double p : {1.0, 2.0, 5.0, 10.0, 20.0, 25.0, 50.0, 100.0, 200.0, 250.0, 500.0, 1000.0, 2000.0, 5000.0}) {
    if (ampiezza / p <= quante) return p;
  }
  return std::pow(10.0, std::ceil(std::log10(std::max(ampiezza, 1.0) / quante)));
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
  const double basso = std::floor(minimo / passo) * passo, alto = std::max(std::ceil(massimo / passo) * passo, basso + passo);
  const auto yq = [&](double v) { return y + kAltezza - 14 - (v - basso) / (alto - basso) * (kAltezza - 28); };
  for (double v = basso; v <= alto + 1e-9; v += passo) {
    f_.linea(kSinistra, yq(v), kSinistra + larghezza_utile(), yq(v), "stroke:#eee;stroke-width:1");
    f_.testo(kSinistra - 8, yq(v) + 5, num(v), "font-size:13px;fill:#555", "end");
  }
  std::string d;
  for (std::size_t k = 0; k <= ultima && k < q.size(); ++k) {
    const double metri = std::min<double>(static_cast<double>(k) * 50, static_cast<double>(fine_));
    d += (d.empty() ? "M" : " L") + num(x(metri)) + " " + num(yq(q[k]));
  }
  if (!d.empty()) {
    f_.grezzo("<path d=\"" + d + " L" + num(x(static_cast<double>(std::min<int64_t>(static_cast<int64_t>(ultima) * 50, fine_)))) + " " +
              num(yq(basso)) + " L" + num(x(0)) + " " + num(yq(basso)) +
              " Z\" style=\"fill:#e8dcc8;stroke:none\"/>\n<path class=\"altimetria\" d=\"" + d +
              "\" style=\"fill:none;stroke:#741;stroke-width:2\"/>\n");
  }
  return kAltezza;
}

double Tavola::pendenze(double y) {
  constexpr double kAltezza = 44;
  titolo_striscia(y, kAltezza, "Gradient", "per mille");
  per_tratti([](const Cella& c) { return c.pendenza; }, [&](std::size_t k, std::size_t e) {
    const int g = int{celle_[k].pendenza} - 100;
    const double a = x(static_cast<double>(k) * 50), b = x(std::min<double>(static_cast<double>(e) * 50, static_cast<double>(fine_)));
    const double alto = y + 6, basso = y + kAltezza - 6, mezzo = y + kAltezza / 2;
    const char* colore = g > 0 ? "#a33" : g < 0 ? "#36a" : "#777";
    f_.linea(a, g > 0 ? basso : g < 0 ? alto : mezzo, b, g > 0 ? alto : g < 0 ? basso : mezzo,
             std::string("stroke-width:1.5;stroke:") + colore);
    f_.linea(b, y, b, y + kAltezza, "stroke:#999;stroke-width:1");
    const std::string testo = g > 0 ? std::string("+").append(n(g)) : n(g);
    if (b - a > larghezza_testo(testo, 13) + 6) {
      f_.rettangolo((a + b) / 2 - larghezza_testo(testo, 13) / 2 - 1, mezzo - 9, larghezza_testo(testo, 13) + 2, 15,
                    "fill:#fff;opacity:0.85");
      f_.testo((a + b) / 2, mezzo + 5, testo, std::string("font-size:13px;fill:") + colore, "middle");
    }
  });
  return kAltezza;
}

double Tavola::velocita(double y) {
  constexpr double kAltezza = 240;
  titolo_striscia(y, kAltezza, "Speed limit", "km/h; slowdowns in red");
  int massimo = 0;
  for (std::size_t k = 0; k < celle_disegnate(); ++k) massimo = std::max(massimo, int{celle_[k].velocita} * 5);
  for (const Rallentamento& r : rallentamenti_) massimo = std::max(massimo, static_cast<int>(r.velocita));
  const double passo = passo_asse(std::max(massimo, 20), 6);
  const double alto = std::max(std::ceil(massimo / passo) * passo, passo);
  const auto yv = [&](double v) { return y + kAltezza - 12 - std::clamp(v, 0.0, alto) / alto * (kAltezza - 40); };
  for (double v = 0; v <= alto + 1e-9; v += passo) {
    f_.linea(kSinistra, yv(v), kSinistra + larghezza_utile(), yv(v), "stroke:#eee;stroke-width:1");
    f_.testo(kSinistra - 8, yv(v) + 5, num(v), "font-size:13px;fill:#555", "end");
  }
  f_.grezzo("<path class=\"limite\" d=\"" + gradini([&](const Cella& c) { return yv(c.velocita * 5.0); }) +
            "\" style=\"fill:none;stroke:#05a;stroke-width:2.5\"/>\n");
  for (const Rallentamento& r : rallentamenti_) {
    const double a = x(static_cast<double>(posizione_punto(static_cast<int64_t>(r.inizio))));
    const double b = x(static_cast<double>(posizione_punto(static_cast<int64_t>(r.fine))));
    f_.rettangolo(a, yv(r.velocita), std::max(b - a, 2.0), yv(0) - yv(r.velocita), "fill:#d22;opacity:0.25");
    f_.linea(a, yv(r.velocita), std::max(b, a + 2), yv(r.velocita), "stroke:#d22;stroke-width:2.5");
  }
  // The speeds the boards announce, at the top of the strip.
  std::vector<double> centri, larghezze;
  std::vector<std::string> testi;
  for (std::size_t k = 0; k < celle_disegnate(); ++k) {
    if (celle_[k].tipo != kIndicatoreVelocita) continue;
    const IndicatoreLetto v = decodifica_indicatore(celle_[k]);
    const double px = x(static_cast<double>(posizione_punto(static_cast<int64_t>(k))));
    f_.linea(px, y + 22, px, yv(v.vas), "stroke:#00a;stroke-width:1;stroke-dasharray:3 3");
    testi.push_back(n(v.vas));
    centri.push_back(px);
    larghezze.push_back(larghezza_testo(testi.back(), 13) + 8);
  }
  const std::vector<bool> tenuti = dirada(centri, larghezze, 4);
  for (std::size_t i = 0; i < testi.size(); ++i) {
    if (!tenuti[i]) continue;
    f_.rettangolo(centri[i] - larghezze[i] / 2, y + 6, larghezze[i], 17, "fill:#fff;stroke:#00a;stroke-width:1.5");
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
  const auto ya = [&](double v) { return y + kAltezza - 10 - (v - basso) / (alto - basso) * (kAltezza - 20); };
  for (const int v : {minimo, massimo}) {
    f_.linea(kSinistra, ya(v), kSinistra + larghezza_utile(), ya(v), "stroke:#eee;stroke-width:1");
    f_.testo(kSinistra - 8, ya(v) + 5, n(v), "font-size:13px;fill:#555", "end");
  }
  f_.grezzo("<path class=\"aderenza\" d=\"" + gradini([&](const Cella& c) { return ya(c.aderenza); }) +
            "\" style=\"fill:none;stroke:#083;stroke-width:2.5\"/>\n");
  // The value of each run, where it fits.
  per_tratti([](const Cella& c) { return c.aderenza; }, [&](std::size_t k, std::size_t e) {
    const double a = x(static_cast<double>(k) * 50), b = x(static_cast<double>(e) * 50);
    if (b - a > 40) f_.testo((a + b) / 2, ya(celle_[k].aderenza) - 6, n(celle_[k].aderenza), "font-size:13px;fill:#083", "middle");
  });
  return kAltezza;
}

double Tavola::montagna(double y) {
  constexpr double kAltezza = 56;
  titolo_striscia(y, kAltezza, "Mountain side", "1 upper, 2 lower, other codes full");
  const std::size_t ultima = celle_disegnate();
  per_tratti([](const Cella& c) { return c.montagna; }, [&](std::size_t k, std::size_t e) {
    const int m = celle_[k].montagna;
    if (m != 0) {
      const double a = x(static_cast<double>(k) * 50), b = x(static_cast<double>(e) * 50);
      const double y0 = m == 2 ? y + kAltezza / 2 : y + 4;
      const double h = m == 1 || m == 2 ? kAltezza / 2 - 4 : kAltezza - 8;
      f_.grezzo("<g class=\"montagna\"><title>" +
                testo_xml("mountain side " + n(m) + " from " + n(static_cast<int64_t>(k) * 50) + " to " +
                          n(static_cast<int64_t>(e) * 50) + " m") +
                "</title>");
      f_.rettangolo(a, y0, std::max(b - a, 1.0), h, m == 1 ? "fill:#a86" : m == 2 ? "fill:#686" : "fill:#c84");
      f_.grezzo("</g>\n");
      if (m != 1 && m != 2 && b - a > 20) f_.testo((a + b) / 2, y + kAltezza / 2 + 5, n(m), "font-size:12px;fill:#fff", "middle");
    }
  });
  for (std::size_t c = 0; c < ultima; ++c) {
    if (celle_[c].tipo != kMarcaMontagna) continue;
    const double px = x(static_cast<double>(posizione_punto(static_cast<int64_t>(c))));
    f_.linea(px, y + 2, px, y + kAltezza - 2, "stroke:#222;stroke-width:1.5");
  }
  return kAltezza;
}

double Tavola::asse_posizioni(double y) {
  constexpr double kAltezza = 50;
  f_.testo(12, y + 30, "Position, km", "font-size:15px;font-weight:bold");
  const double km_px = 1000.0 / static_cast<double>(fine_) * larghezza_utile();
  const int64_t ogni = km_px >= 40 ? 1000 : km_px >= 8 ? 5000 : 10000;
  for (int64_t p = 0; p <= fine_; p += ogni / (ogni == 1000 ? 1 : 5)) {
    const bool etichetta = p % ogni == 0;
    f_.linea(x(static_cast<double>(p)), y, x(static_cast<double>(p)), y + (etichetta ? 12 : 6), "stroke:#333;stroke-width:1");
    if (etichetta) f_.testo(x(static_cast<double>(p)), y + 30, n(p / 1000), "font-size:14px", "middle");
  }
  f_.linea(x(static_cast<double>(lunghezza_)), y - 4, x(static_cast<double>(lunghezza_)), y + 40, "stroke:#c00;stroke-width:2");
  f_.testo(x(static_cast<double>(lunghezza_)) - 4, y + 46, "end of line", "font-size:13px;fill:#c00", "end");
  return kAltezza;
}

std::string Tavola::disegna() {
  double y = 0;
  intestazione(y);
  y += 110;
  if (g_ != nullptr) {
    y += svg::disegna_pianta(f_, *g_, t_, lunghezza_, kSinistra, y, larghezza_utile(), 1000) + 30;
  } else {
    f_.testo(12, y + 22, "Plan view", "font-size:22px;font-weight:bold");
    f_.rettangolo(kSinistra, y + 40, larghezza_utile(), 70, "fill:#fbfbf7;stroke:#999");
    f_.testo(kSinistra + 20, y + 82,
             "No plan view: the line geometry file was not found (the scenario was compiled without it).",
             "font-size:20px;fill:#a00");
    y += 140;
  }
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

  // Station guides run across every strip, so each profile can be read against the stations.
  std::string guide;
  for (const StazioneTavola& s : stazioni_) {
    const double px = x(s.s->posizione);
    guide += "<line x1=\"" + num(px) + "\" y1=\"" + num(inizio_strisce) + "\" x2=\"" + num(px) + "\" y2=\"" +
             num(fine_strisce) + "\"/>\n";
  }
  const double altezza = y;
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + num(kLarghezza) + "\" height=\"" +
         num(altezza) + "\" viewBox=\"0 0 " + num(kLarghezza) + " " + num(altezza) + "\" font-family=\"" +
         svg::kCarattere + "\">\n";
  svg += "<title>" + testo_xml("Route sheet: " + utf8_da_1252(t_[kVoceLinea].nome) + ", train " +
                               utf8_da_1252(t_[kVoceTreno].nome)) +
         "</title>\n";
  svg += "<rect x=\"0\" y=\"0\" width=\"" + num(kLarghezza) + "\" height=\"" + num(altezza) + "\" style=\"fill:#fff\"/>\n";
  svg += "<g class=\"guide\" style=\"stroke:#f2b8b8;stroke-width:1;stroke-dasharray:4 4\">\n" + guide + "</g>\n";
  svg += f_.corpo();
  svg += "</svg>\n";
  return svg;
}

}  // namespace

std::string disegna_tavola(const Stazioni& tabella, const std::vector<Cella>& celle, const Geometria* geometria) {
  return Tavola(tabella, celle, geometria).disegna();
}

}  // namespace gs

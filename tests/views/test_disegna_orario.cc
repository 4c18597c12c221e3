// The route sheet's timetable lane, the times in the station labels, and the plan view's labels
// at the end of a line.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "format/griglia.h"
#include "format/tabella.h"
#include "support/scenario_piccolo.h"
#include "views/disegna.h"
#include "views/disegna_svg.h"
#include "views/ispeziona.h"

namespace gs {
namespace {

using test::conta;

std::string sostituisci(std::string testo, const std::string& da, const std::string& a) {
  const std::size_t p = testo.find(da);
  EXPECT_NE(p, std::string::npos) << da;
  if (p != std::string::npos) testo.replace(p, da.size(), a);
  return testo;
}

// A compile of the small scenario with its train source changed, as a run compiles it, with
// the timetable warnings it gave and its sheet (given the slowdowns as the records give them,
// as serve does, or not, as plot does).
struct Compilato {
  test::Immagini immagini;
  std::vector<std::string> avvisi;
  std::string tavola(bool con_record, std::optional<Finestra> finestra = std::nullopt) const {
    OpzioniTavola o;
    o.finestra = finestra;
    if (con_record) o.rallentati = &immagini.esito->c.rallentamenti;
    const Geometria g = decodifica_geometria(immagini.geometria);
    return disegna_tavola(decodifica_tabella(immagini.tabella),
                          decodifica_griglia(immagini.griglia), &g, o);
  }
};

Compilato compila(const std::string& treno) {
  Compilato c;
  c.immagini = test::compila_piccolo(treno);
  for (const Diagnostica& d : c.immagini.esito->c.registro.elenco())
    if (d.avviso == kAvvisoOrario) c.avvisi.push_back(d.messaggio);
  return c;
}

// The tooltip of each impossible stretch the sheet marks.
std::vector<std::string> segnate(const std::string& svg) {
  std::vector<std::string> titoli;
  const std::string inizio = "<g class=\"orario-impossibile\"";
  for (std::size_t p = svg.find(inizio); p != std::string::npos; p = svg.find(inizio, p + 1)) {
    const std::size_t a = svg.find("<title>", p) + 7;
    titoli.push_back(svg.substr(a, svg.find("</title>", a) - a));
  }
  return titoli;
}

// ALFA at 0 m leaves at 5:27:00; BETA CITTA' at 6000 m at 5:37:10. The limit is 75 km/h, 60 from
// 5000 m, with a slowdown at 30 km/h from 3650 to 3950 m: at least 321.6 s from one to the other.
// BETA at 5:32:00 gives 300 s.
const std::string kBetaPresto = "5,32, 0, BETA";

TEST(DisegnaOrario, AnImpossibleStretchIsMarkedWithItsWarning) {
  const Compilato buono = compila(test::treno_piccolo());
  EXPECT_TRUE(buono.avvisi.empty());
  const std::string svg_buono = buono.tavola(false);
  EXPECT_EQ(conta(svg_buono, "<path class=\"orario\""), 1u);
  EXPECT_EQ(conta(svg_buono, "<path class=\"corsa-veloce\""), 1u);
  EXPECT_TRUE(segnate(svg_buono).empty());

  const Compilato c = compila(sostituisci(test::treno_piccolo(), "5,37,10, BETA", kBetaPresto));
  ASSERT_EQ(c.avvisi.size(), 1u);
  EXPECT_EQ(c.avvisi[0],
            "the train needs at least 5 min 22 s from ALFA (km 10.100) to BETA CITTA' (km 4.100) "
            "under its speed limits; the timetable gives 5 min 0 s");
  // plot and serve alike: the warning's words over the stretch.
  for (const bool con_record : {false, true}) {
    const std::string svg = c.tavola(con_record);
    EXPECT_EQ(segnate(svg), std::vector<std::string>{testo_xml(c.avvisi[0])}) << con_record;
    EXPECT_NE(svg.find(">needs 5 min 22 s, given 5 min 0 s<"), std::string::npos);
  }
  // A window shows the mark while it shows part of the stretch.
  struct Caso {
    Finestra finestra;
    std::size_t segnate;
  };
  for (const Caso& k : {Caso{{5500, 7000}, 1}, Caso{{200, 400}, 1}, Caso{{6500, 9000}, 0}}) {
    const std::string svg = c.tavola(true, k.finestra);
    EXPECT_EQ(segnate(svg).size(), k.segnate) << k.finestra.da;
    EXPECT_EQ(svg.find("nan"), std::string::npos);
  }
}

// The compiled grid holds a slowdown's cells, not its metres: off the 50 m grid, the sheet of
// the compiled files (plot) and the one given the records (serve) may differ by a cell.
TEST(DisegnaOrario, TheRecordsSpanOrTheGridsCells) {
  // 3660 to 3960 m covers five cells whole (3700 to 3950 m); its start and end cells stand for
  // 3650 and 3950 m, six cells.
  const Compilato c = compila(sostituisci(
      sostituisci(test::treno_piccolo(), "5,37,10, BETA", kBetaPresto), "3650,", "3660,"));
  ASSERT_EQ(c.avvisi.size(), 1u);
  EXPECT_NE(c.avvisi[0].find("at least 5 min 18 s"), std::string::npos) << c.avvisi[0];
  EXPECT_EQ(segnate(c.tavola(true)), std::vector<std::string>{testo_xml(c.avvisi[0])});
  const std::vector<std::string> dalla_griglia = segnate(c.tavola(false));
  ASSERT_EQ(dalla_griglia.size(), 1u);
  EXPECT_NE(dalla_griglia[0].find("at least 5 min 22 s"), std::string::npos) << dalla_griglia[0];
}

TEST(DisegnaOrario, StationLabelsShowSecondsWhenATimeHasThem) {
  const std::string svg = compila(test::treno_piccolo()).tavola(false);
  EXPECT_NE(svg.find(">ALFA  05:27</text>"), std::string::npos);
  EXPECT_NE(svg.find(">BETA CITTA&apos;  05:37:10</text>"), std::string::npos);
}

// The points of the lane's path of a class, from its d="M x y L x y ...".
std::vector<svg::Punto> punti(const std::string& svg, const std::string& classe) {
  std::vector<svg::Punto> p;
  const std::string inizio = "<path class=\"" + classe + "\" d=\"";
  const std::size_t a = svg.find(inizio);
  EXPECT_NE(a, std::string::npos) << classe;
  if (a == std::string::npos) return p;
  std::istringstream d(
      svg.substr(a + inizio.size(), svg.find('"', a + inizio.size()) - a - inizio.size()));
  char lettera = 0;
  svg::Punto q;
  while (d >> lettera >> q.x >> q.y) p.push_back(q);
  return p;
}

// The lane's time axis as a function from seconds of the day to y, read from its first two
// labels (each 5 px below its line).
std::function<double(double)> asse_tempi(const std::string& svg) {
  const std::regex etichetta(
      "<text x=\"[-0-9.]+\" y=\"([-0-9.]+)\" text-anchor=\"end\" "
      "style=\"font-size:13px;fill:#555\">([0-9]+):([0-9]+)(?::([0-9]+))?</text>");
  std::vector<std::pair<double, double>> tacche;  // seconds, y
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), etichetta);
       it != std::sregex_iterator() && tacche.size() < 2; ++it) {
    const std::smatch& m = *it;
    const double secondi =
        std::stod(m[2]) * 3600 + std::stod(m[3]) * 60 + (m[4].matched ? std::stod(m[4]) : 0.0);
    tacche.emplace_back(secondi, std::stod(m[1]) - 5);
  }
  EXPECT_EQ(tacche.size(), 2u);
  if (tacche.size() < 2) return [](double) { return 0.0; };
  const auto [t0, y0] = tacche[0];
  const auto [t1, y1] = tacche[1];
  return [=](double t) { return y0 + (t - t0) * (y1 - y0) / (t1 - t0); };
}

// ALFA leaves at 5:27:00, BETA CITTA' is reached at 5:37:10 and, at the fastest, 321.6 s after
// ALFA: the lane's points stand at those times, seconds included, and the fastest run reaches
// BETA's metre.
TEST(DisegnaOrario, TheLanesPointsStandAtTheirTimesToTheSecond) {
  const std::string svg = compila(test::treno_piccolo()).tavola(false);
  const auto y = asse_tempi(svg);
  const double ore_5_27 = 5 * 3600 + 27 * 60;
  ASSERT_GT(std::abs(y(ore_5_27 + 10) - y(ore_5_27)), 2.0) << "too coarse an axis to tell seconds";
  const std::vector<svg::Punto> orario = punti(svg, "orario");
  ASSERT_EQ(orario.size(), 2u);
  EXPECT_NEAR(orario[0].y, y(ore_5_27), 0.5);
  EXPECT_NEAR(orario[1].y, y(ore_5_27 + 610), 0.5);
  const std::vector<svg::Punto> veloce = punti(svg, "corsa-veloce");
  ASSERT_GE(veloce.size(), 2u);
  EXPECT_EQ(veloce.front().x, orario.front().x);
  EXPECT_EQ(veloce.back().x, orario.back().x);
  EXPECT_NEAR(veloce.back().y, y(ore_5_27 + 321.6), 0.5);
  // BETA's own label in the lane, beside its point.
  EXPECT_NE(svg.find("style=\"font-size:13px;fill:#222\">05:37:10</text>"), std::string::npos);
}

TEST(DisegnaOrario, NoTimedStationSaysSo) {
  const Compilato c =
      compila(sostituisci(sostituisci(test::treno_piccolo(), "5,37,10, BETA", "0,0,0, BETA"),
                          "5,27, 0, ALFA", "0,0,0, ALFA"));
  const std::string svg = c.tavola(false);
  EXPECT_NE(svg.find("No station has a scheduled time."), std::string::npos);
  EXPECT_EQ(conta(svg, "<path class=\"orario\""), 0u);
}

// Where a text of the sheet stands, from its position, anchor and size.
svg::Rettangolo scatola(const std::string& svg, const std::string& testo) {
  const std::size_t fine = svg.find(">" + testo + "</text>");
  EXPECT_NE(fine, std::string::npos) << testo;
  if (fine == std::string::npos) return {};
  const std::string elemento =
      svg.substr(svg.rfind("<text ", fine), fine - svg.rfind("<text ", fine));
  std::smatch m;
  const auto numero = [&](const char* modello) {
    return std::regex_search(elemento, m, std::regex(modello)) ? std::stod(m[1]) : 0.0;
  };
  const double x = numero(" x=\"([-0-9.]+)\""), y = numero(" y=\"([-0-9.]+)\"");
  const double corpo = numero("font-size:([0-9.]+)px");
  const double largo = svg::larghezza_testo(testo, corpo);
  const bool fine_ancora = elemento.find("text-anchor=\"end\"") != std::string::npos;
  const bool mezzo = elemento.find("text-anchor=\"middle\"") != std::string::npos;
  const double x0 = fine_ancora ? x - largo : mezzo ? x - largo / 2 : x;
  return {x0, y - corpo, x0 + largo, y + 3};
}

// A straight 62 km line whose last station stands 1 km before its end: its name, the end's label
// and the compass once fell on one another.
TEST(DisegnaOrario, LabelsAtTheLinesEndStandApart) {
  const auto e = test::leggi(
      test::linea({}, 62000),
      test::treno({"velocita, 0, 80", "stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 7,0,0, ALFA",
                   "stazione, 61000, 12, 600, 0,0,0,0,0,0,0,0,0,0, 7,55,0, ECHO"}));
  ASSERT_EQ(e->n(), 0);
  const Geometria g = decodifica_geometria(immagine_geometria(e->c.linea));
  const std::string svg =
      disegna_tavola(decodifica_tabella(immagine_tabella(e->c.stazioni)),
                     decodifica_griglia(immagine_griglia(e->c.celle.tutte())), &g);
  // The compass's dial.
  const std::size_t quadrante = svg.find(" r=\"34\"");
  ASSERT_NE(quadrante, std::string::npos);
  const std::string cerchio = svg.substr(svg.rfind("<circle", quadrante), 80);
  std::smatch m;
  ASSERT_TRUE(std::regex_search(cerchio, m, std::regex("cx=\"([0-9.]+)\" cy=\"([0-9.]+)\"")));
  const double cx = std::stod(m[1]), cy = std::stod(m[2]);
  const std::vector<svg::Rettangolo> scatole = {scatola(svg, "ECHO"),
                                                scatola(svg, "end"),
                                                scatola(svg, "column 1"),
                                                {cx - 34, cy - 34, cx + 34, cy + 34}};
  for (std::size_t i = 0; i < scatole.size(); ++i)
    for (std::size_t j = i + 1; j < scatole.size(); ++j)
      EXPECT_FALSE(scatole[i].interseca(scatole[j])) << i << " and " << j;
}

}  // namespace
}  // namespace gs

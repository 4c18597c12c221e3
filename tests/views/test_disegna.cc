#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
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

TEST(Disegna, SheetOfASmallScenarioHoldsItsStationsAndPoints) {
  const auto i = test::compila_piccolo();
  const Stazioni t = decodifica_tabella(i.tabella);
  const std::vector<Cella> celle = decodifica_griglia(i.griglia);
  const Geometria g = decodifica_geometria(i.geometria);
  const std::string svg = disegna_tavola(t, celle, &g);

  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
  EXPECT_EQ(conta(svg, "<g class=\"segnale\">"), 2u);
  EXPECT_EQ(conta(svg, "<g class=\"cartello\">"), 1u);
  EXPECT_EQ(conta(svg, "<g class=\"indicatore\">"), 1u);
  EXPECT_EQ(conta(svg, "<g class=\"rallentamento\">"), 1u);
  EXPECT_EQ(conta(svg, "<g class=\"avviso\">"), 1u);
  // The pass's code points (three ahead of the start, one before the signal after the end) and
  // the source's own.
  EXPECT_EQ(conta(svg, "<g class=\"codice\">"), 5u);
  EXPECT_EQ(conta(svg, "<g class=\"stazione\">"), 2u);
  EXPECT_EQ(conta(svg, "<g class=\"stazione-pianta\">"), 2u);
  EXPECT_EQ(conta(svg, "class=\"tracciato\""), 1u);
  for (const char* nome :
       {">ALFA", ">BETA CITTA&apos;", "Route sheet: BELMONZA VALICO - SOLMA, train D 237"})
    EXPECT_NE(svg.find(nome), std::string::npos) << nome;
  EXPECT_EQ(svg.find("No plan view"), std::string::npos);
  // The whole sheet, asked for as `plot` asks, tells no page about windows.
  EXPECT_EQ(svg.find("data-da="), std::string::npos);
  // Nothing outside the file: no links, scripts, images or font files.
  for (const char* esterno : {"href", "<script", "<image", "@font-face", "url(http"})
    EXPECT_EQ(svg.find(esterno), std::string::npos) << esterno;
}

TEST(Disegna, WithoutGeometryTheSheetSaysSo) {
  const auto i = test::compila_piccolo();
  const std::string svg =
      disegna_tavola(decodifica_tabella(i.tabella), decodifica_griglia(i.griglia), nullptr);
  EXPECT_NE(svg.find("No plan view: the line geometry file was not found"), std::string::npos);
  EXPECT_EQ(svg.find("class=\"tracciato\""), std::string::npos);
  EXPECT_EQ(conta(svg, "<g class=\"segnale\">"), 2u);
}

TEST(Disegna, NamesAreEscapedAndConvertedToUtf8) {
  const auto i = test::compila_piccolo();
  Stazioni t = decodifica_tabella(i.tabella);
  t[1].nome = "A&B <C> \"D\" 2\xB0";
  t[kVoceLinea].nome = "L<1>";
  const std::string svg = disegna_tavola(t, decodifica_griglia(i.griglia), nullptr);
  EXPECT_NE(svg.find("A&amp;B &lt;C&gt; &quot;D&quot; 2\xC2\xB0"), std::string::npos);
  EXPECT_NE(svg.find("Route sheet: L&lt;1&gt;"), std::string::npos);
  EXPECT_EQ(svg.find("<C>"), std::string::npos);
  EXPECT_EQ(svg.find("L<1>"), std::string::npos);
  EXPECT_EQ(testo_xml("a'b\x01"), "a&apos;b\xEF\xBF\xBD");
}

TEST(Disegna, AnyGridDrawsWithoutFailing) {
  // Garbage shapes of table and grid still make a document: one cell, no stations, no length.
  Stazioni t{};
  for (const std::size_t n : {1u, 2u, 141u}) {
    std::vector<Cella> celle(n);
    for (std::size_t k = 0; k < n; ++k) {
      celle[k].tipo = static_cast<uint8_t>(k % 16);
      celle[k].dato1 = static_cast<int16_t>(-7 * static_cast<int>(k));
      celle[k].pendenza = static_cast<uint8_t>(k * 37);
    }
    const std::string svg = disegna_tavola(t, celle, nullptr);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n") << n;
    EXPECT_EQ(svg.find("nan"), std::string::npos) << n;
  }
}

TEST(Disegna, ElevationIntegratesTheGradientsOverFiftyMetreCells) {
  std::vector<Cella> celle(3);
  celle[0].pendenza = 120;  // +20 per mille over 50 m: 1 m
  celle[1].pendenza = 120;
  celle[2].pendenza = 80;
  EXPECT_EQ(quote(celle), (std::vector<double>{0, 1, 2, 1}));
}

TEST(Disegna, LabelsThatWouldOverlapAreThinned) {
  struct Caso {
    const char* nome;
    std::vector<double> centri, larghezze;
    std::vector<bool> priorita, tenuti;
  };
  const std::vector<Caso> casi = {
      {"apart", {0, 100, 200}, {50, 50, 50}, {}, {true, true, true}},
      {"crowded", {0, 20, 40, 60, 80}, {30, 30, 30, 30, 30}, {}, {true, false, true, false, true}},
      {"priority first", {0, 20, 40}, {30, 30, 30}, {false, true, false}, {false, true, false}},
      {"gap kept for later", {0, 10, 100}, {30, 30, 30}, {false, false, true}, {true, false, true}},
  };
  for (const Caso& c : casi) {
    EXPECT_EQ(dirada(c.centri, c.larghezze, 4, c.priorita), c.tenuti) << c.nome;
  }
}

// The value of an attribute of the root element, or "" without it.
std::string attributo(const std::string& svg, const std::string& nome) {
  const std::size_t radice = svg.find("<svg ");
  const std::size_t p = svg.find(" " + nome + "=\"", radice);
  if (p == std::string::npos || p > svg.find('>', radice)) return "";
  const std::size_t inizio = p + nome.size() + 3;
  return svg.substr(inizio, svg.find('"', inizio) - inizio);
}

// The strips' left and right edges on the sheet.
constexpr double kSinistra = 190, kDestra = 4950;

TEST(Disegna, AWindowDrawsOnlyWhatStandsInIt) {
  const auto i = test::compila_piccolo();
  const Stazioni t = decodifica_tabella(i.tabella);
  const std::vector<Cella> celle = decodifica_griglia(i.griglia);
  const Geometria g = decodifica_geometria(i.geometria);
  // Signals at 4500 and 5700 m; stations ALFA over -500 to 500 m and BETA over 5600 to 6400 m
  // standing at 6000 m; the slowdown from 3650 to 3950 m.
  struct Caso {
    int64_t da, a;
    std::size_t segnali, stazioni, nomi, rallentamenti;
  };
  const std::vector<Caso> casi = {
      {4000, 5000, 1, 0, 0, 0},
      {3800, 5800, 2, 1, 0, 1},  // BETA's span cut at the right, the slowdown's at the left
      {5900, 6100, 0, 1, 1, 0},
      {0, 10300, 2, 2, 2, 1},
  };
  for (const Caso& c : casi) {
    OpzioniTavola o;
    o.finestra = Finestra{c.da, c.a};
    const std::string svg = disegna_tavola(t, celle, &g, o);
    const std::string nome = std::to_string(c.da) + "-" + std::to_string(c.a);
    EXPECT_EQ(conta(svg, "<g class=\"segnale\">"), c.segnali) << nome;
    EXPECT_EQ(conta(svg, "<g class=\"stazione\">"), c.stazioni) << nome;
    EXPECT_EQ(conta(svg, "<g class=\"stazione-pianta\">"), c.nomi) << nome;
    EXPECT_EQ(conta(svg, "<g class=\"rallentamento\">"), c.rallentamenti) << nome;
    EXPECT_EQ(attributo(svg, "data-da"), std::to_string(c.da)) << nome;
    EXPECT_EQ(attributo(svg, "data-a"), std::to_string(c.a)) << nome;
    EXPECT_EQ(attributo(svg, "data-estensione"), std::to_string(estensione_tavola(t, celle)));
    EXPECT_NE(svg.find("shown: km " + std::to_string(c.da / 1000) + "."), std::string::npos);
  }
  OpzioniTavola o;
  o.finestra = Finestra{3800, 5800};
  const std::string svg = disegna_tavola(t, celle, &g, o);
  // The parts of the spans inside the window reach its edges, and stop there: the slowdown
  // from the left edge, BETA's span from 5600 m to the right edge.
  const std::size_t barra = svg.find("<g class=\"rallentamento\">");
  ASSERT_NE(barra, std::string::npos);
  const std::string sinistra = "<rect x=\"" + svg::num(kSinistra) + "\"";
  EXPECT_EQ(svg.substr(svg.find("<rect", barra), sinistra.size()), sinistra);
  const std::size_t campata = svg.find("style=\"fill:#fcc;stroke:#c00\"");
  ASSERT_NE(campata, std::string::npos);
  const std::string rettangolo = svg.substr(svg.rfind("<rect", campata), 120);
  const double metro = (kDestra - kSinistra) / 2000;
  EXPECT_NE(rettangolo.find("x=\"" + svg::num(kDestra - 200 * metro) + "\""), std::string::npos)
      << rettangolo;
  EXPECT_NE(rettangolo.find("width=\"" + svg::num(200 * metro) + "\""), std::string::npos)
      << rettangolo;
}

TEST(Disegna, AWindowWithNoPlanPositionsSaysSo) {
  const auto i = test::compila_piccolo();
  Geometria g = decodifica_geometria(i.geometria);
  g.colonna0.resize(3000);
  g.colonna1.resize(3000);
  OpzioniTavola o;
  o.finestra = Finestra{5000, 7000};
  const std::string svg =
      disegna_tavola(decodifica_tabella(i.tabella), decodifica_griglia(i.griglia), &g, o);
  EXPECT_NE(svg.find("holds no plan position from 5000 to 7000 m"), std::string::npos);
  EXPECT_EQ(svg.find("class=\"tracciato\""), std::string::npos);
}

// A line of 1000000 m: a signal every km, the gradient and the limit changing every 500 m.
std::vector<Cella> griglia_lunga(Stazioni& t) {
  t[kVoceParametri].fine = 1000000;
  std::vector<Cella> celle(20141);
  for (std::size_t k = 0; k < celle.size(); ++k) {
    celle[k].pendenza = static_cast<uint8_t>(100 + (k / 10 % 2 == 0 ? 12 : -8));
    celle[k].velocita = static_cast<uint8_t>(12 + k / 10 % 5);
    celle[k].aderenza = 80;
    if (k % 20 == 1 && k < 20001) celle[k].tipo = kSegnale;
  }
  return celle;
}

TEST(Disegna, ANarrowWindowOfALongLineIsSmall) {
  Stazioni t{};
  const std::vector<Cella> celle = griglia_lunga(t);
  const std::string intera = disegna_tavola(t, celle, nullptr);
  OpzioniTavola o;
  o.finestra = Finestra{500000, 502000};
  const std::string finestra = disegna_tavola(t, celle, nullptr, o);
  EXPECT_EQ(conta(intera, "<g class=\"segnale\">"), 1000u);
  EXPECT_EQ(conta(finestra, "<g class=\"segnale\">"), 3u);
  // What is drawn grows with the window, not with the line.
  EXPECT_LT(finestra.size() * 20, intera.size()) << finestra.size() << " " << intera.size();
  EXPECT_LT(finestra.size(), 40000u);
}

TEST(Disegna, SourcesGoOnTheMarksTheyMade) {
  const auto i = test::compila_piccolo();
  const Stazioni t = decodifica_tabella(i.tabella);
  const std::vector<Cella> celle = decodifica_griglia(i.griglia);
  std::size_t codice = 0;
  while (codice < celle.size() && celle[codice].tipo != kCodice) ++codice;
  ASSERT_LT(codice, celle.size());
  Fonti fonti;
  // Shorter than the grid, with an index past its entries: both read as no source.
  fonti.per_cella.assign(celle.size() - 1, -1);
  fonti.voci = {{"linea & co.txt", 12, 3, "the signal at 4500 m", ""},
                {"t.txt", 20, 1, "the code point placed for the slowdown at 3650 m",
                 "the slowdown at 3650 m"},
                {"t.txt", 9, 1, "the station at 6000 m", ""}};
  fonti.per_cella[91] = 0;      // the signal at 4500 m
  fonti.per_cella[codice] = 1;  // the first code point
  fonti.per_cella[127] = 2;     // BETA's stop cell
  fonti.per_cella[115] = 7;     // the signal at 5700 m, with an entry that is not there
  ASSERT_EQ(celle[91].tipo, kSegnale);
  OpzioniTavola o;
  o.fonti = &fonti;
  const std::string svg = disegna_tavola(t, celle, nullptr, o);
  EXPECT_EQ(conta(svg, "data-fonte="), 3u);
  EXPECT_NE(svg.find("<g class=\"segnale\" data-fonte=\"0\"><title>cell 91, 4500 m: signal"),
            std::string::npos);
  EXPECT_NE(svg.find("\nfrom linea &amp; co.txt:12</title>"), std::string::npos);
  EXPECT_NE(svg.find("<g class=\"codice\" data-fonte=\"1\">"), std::string::npos);
  EXPECT_NE(svg.find("code " + std::to_string(celle[codice].dato1) +
                     "\nplaced for the slowdown at 3650 m, from t.txt:20</title>"),
            std::string::npos);
  EXPECT_NE(svg.find("<g class=\"stazione\" data-fonte=\"2\"><title>2. BETA"), std::string::npos);
  EXPECT_NE(svg.find(">BETA CITTA&apos;"), std::string::npos);
  // The marks without a source are as the plain sheet draws them.
  EXPECT_EQ(conta(svg, "<g class=\"segnale\">"), 1u);
  EXPECT_EQ(conta(svg, "<g class=\"stazione\">"), 1u);
  // The whole line, with what a page needs to ask for a window of it.
  EXPECT_EQ(attributo(svg, "data-da"), "0");
  EXPECT_EQ(attributo(svg, "data-a"), std::to_string(estensione_tavola(t, celle)));
}

TEST(Disegna, WindowsOutsideTheSheetAreBroughtIntoIt) {
  const auto i = test::compila_piccolo();
  const Stazioni t = decodifica_tabella(i.tabella);
  const std::vector<Cella> celle = decodifica_griglia(i.griglia);
  const Geometria g = decodifica_geometria(i.geometria);
  const int64_t e = estensione_tavola(t, celle);
  constexpr int64_t kMassimo = std::numeric_limits<int64_t>::max();
  struct Caso {
    const char* nome;
    Finestra chiesta, data;
  };
  const std::vector<Caso> casi = {
      {"past the end", {e + 1000, e + 5000}, {e - 100, e}},
      {"inverted", {6000, 3000}, {3000, 6000}},
      {"before the start", {-500, 20}, {0, 100}},
      {"narrow", {5000, 5010}, {4955, 5055}},
      {"everything", {-kMassimo, kMassimo}, {0, e}},
  };
  for (const Caso& c : casi) {
    for (const Geometria* geometria : {&g, static_cast<const Geometria*>(nullptr)}) {
      OpzioniTavola o;
      o.finestra = c.chiesta;
      const std::string svg = disegna_tavola(t, celle, geometria, o);
      EXPECT_EQ(attributo(svg, "data-da"), std::to_string(c.data.da)) << c.nome;
      EXPECT_EQ(attributo(svg, "data-a"), std::to_string(c.data.a)) << c.nome;
      EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n") << c.nome;
      EXPECT_EQ(svg.find("nan"), std::string::npos) << c.nome;
    }
  }
  // A window of a grid too short for one.
  OpzioniTavola o;
  o.finestra = Finestra{0, 1000};
  const std::string svg = disegna_tavola(Stazioni{}, std::vector<Cella>(1), nullptr, o);
  EXPECT_EQ(attributo(svg, "data-a"), "50");
}

}  // namespace
}  // namespace gs

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_ispeziona_scenario.h"
#include "views/disegna.h"
#include "views/ispeziona.h"

namespace gs {
namespace {

std::size_t conta(const std::string& testo, const std::string& cosa) {
  std::size_t n = 0;
  for (std::size_t p = testo.find(cosa); p != std::string::npos;
       p = testo.find(cosa, p + cosa.size()))
    ++n;
  return n;
}

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

}  // namespace
}  // namespace gs

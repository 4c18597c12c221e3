// The slowdown order, line by line against the paper form, and its table structure.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "aiuti_test.h"
#include "documents/documenti.h"
#include "scenario/scrittore_testo.h"

namespace gs {
namespace {

struct Riga {
  std::size_t lunghezza;
  std::string_view testo;
};

constexpr Riga kRallentamenti[] = {
    {0, ""},
    {1, " "},
    {42, "                               Modulo M. 3"},
    {50, "                           ORDINE DI RALLENTAMENTO"},
    {81, " ________________________________________________________________________________"},
    {30, "  Linea  BELMONZA VALICO-SOLMA"},
    {0, ""},
    {79, "  Si ordina al macchinista del treno 237 di effettuare i seguenti rallentamenti"},
    {81, "  _______________________________________________________________________________"},
    {82, " |   |                            |Inizio dopo |          |         |            |"},
    {82, " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|"},
    {82, " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |"},
    {82, " |___|____________________________|____________|__________|_________|____________|"},
    {82, " |O1 |BELMONZA CENTRALE-CAMPOROSSO|  89+35O    |   3O     |   3OO   |     A      |"},
    {82, " |O2 |MALBORGHETTO-BAGNI LUSNIZZA |  77+65O    |   65     |    5O   |    A-D     |"},
    {82, " |O3 |MALBORGHETTO-BAGNI LUSNIZZA |  76+65O    |   3O     |   8OO   |   A-B-D    |"},
    {82, " |O4 |DOGNA-CHIUSAFORTE           |  57+25O    |   65     |   35O   |     A      |"},
    {82, " |O5 |CARNIA-VENZONE              |  39+3OO    |   75     |   35O   |     A      |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |   |                            |            |          |         |            |"},
    {82, " |___|____________________________|____________|__________|_________|____________|"},
    {0, ""},
    {37, "              Prescrizioni specifiche"},
    {63, " A - Da rispettare con tutto il treno (per i treni viaggiatori)"},
    {53, " B - Interessa anche la stazione di BAGNI DI LUSNIZZA"},
    {60, " D - Avviso come da disposizioni varie localita' di servizio"},
    {58, " C - Da rispettare dalle ore ....  alle ore ..... di tutti"},
    {68, "     i giorni esclusi i seguenti:.........                          "},
};

TEST(DocumentiRallentamenti, EveryLineHasTheFormTextAndLength) {
  const auto righe = righe_rallentamenti();
  ASSERT_EQ(righe.size(), std::size(kRallentamenti) + 1);
  EXPECT_EQ(righe.back(), kFineFile);
  for (std::size_t i = 0; i < std::size(kRallentamenti); ++i) {
    SCOPED_TRACE("line " + std::to_string(i + 1));
    EXPECT_EQ(kRallentamenti[i].testo.size(), kRallentamenti[i].lunghezza);  // the table itself
    EXPECT_EQ(righe[i].size(), kRallentamenti[i].lunghezza);
    EXPECT_EQ(righe[i], kRallentamenti[i].testo);
  }
}

TEST(DocumentiRallentamenti, TheTableStructure) {
  const auto righe = righe_rallentamenti();
  auto riga = [&](std::size_t n) { return righe[n - 1]; };
  EXPECT_EQ(riga(2), " ");
  EXPECT_EQ(test::spazi_finali(riga(47)), 26u);
  EXPECT_EQ(riga(13), riga(40));
  // Every row of the table has its rules in the same columns as the head.
  std::vector<std::size_t> colonne;
  for (std::size_t k = 0; k < riga(10).size(); ++k)
    if (riga(10)[k] == '|') colonne.push_back(k);
  EXPECT_EQ(colonne.size(), 7u);
  for (std::size_t n = 10; n <= 40; ++n)
    for (const auto k : colonne) EXPECT_EQ(riga(n)[k], '|') << "line " << n;
  for (std::size_t n = 20; n <= 39; ++n) EXPECT_EQ(riga(n), riga(19));
  EXPECT_EQ(riga(19).find_first_not_of(" |"), std::string_view::npos);
  // The five slowdowns are numbered O1 to O5 and use the letter O for every zero.
  constexpr std::string_view kNumeri[] = {"O1", "O2", "O3", "O4", "O5"};
  for (std::size_t n = 14; n <= 18; ++n) {
    EXPECT_EQ(riga(n).substr(2, 2), kNumeri[n - 14]);
    EXPECT_EQ(riga(n).find('0'), std::string_view::npos) << "line " << n;
  }
}

}  // namespace
}  // namespace gs

// The train card, line by line against the typed original, and the structure of its
// timetable: fixed column rules, chainage falling from the border to the plain, times rising.
#include <gtest/gtest.h>

#include <cstdint>
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

constexpr Riga kScheda[] = {
    {0, ""},
    {0, ""},
    {82, "  ___________________                                               ______________"},
    {83, " |                   |                    SCHEDA TRENO             |              |"},
    {83, " |   TRENO n.237     |                   da: BELMONZA VALICO       |    V140 B    |"},
    {83, " |___________________|                    a: SOLMA                 |     125%     |"},
    {83, "                                                                   |______________|"},
    {56, "  ___________________                ___________________"},
    {64, " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       "},
    {57, " |      DIRETTO      |              |      600T         |"},
    {57, " |___________________|              |___________________|"},
    {0, ""},
    {83, "  _________________________________________________________________________________"},
    {83, " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |"},
    {83, " | Lim.|Marc.|          |  Rs |                            |                |     |"},
    {83, " |_____|_____|__________|_____|____________________________|________________|_____|"},
    {84, " |  75 |  60 |   99+986 |     |BELMONZA VALICO(SIMULATA)   |          05.27 |     | "},
    {83, " |  60 |     |   94+050 |     |sc.ingr.Belmonza Centrale   |                |     |"},
    {83, " |     |     |   93+586 |     |BELMONZA CENTRALE...........|05.35     05.37 |     |"},
    {85, " |  75 |     |   92+450 |     |cippo Km 92+450             |                |     |  "},
    {83, " |     |  65 |   91+672 |     |Belmonza citta'.............|05.40     05.41 |     |"},
    {83, " |     |     |   88+233 |     |CAMPOROSSO IN VALCANALE     |     05.46      |     |"},
    {83, " |     |     |   86+790 |     |culmine                     |     05.48      |     |"},
    {83, " |     |     |   85+059 |     |Valbruna-Lussari            |     05.50      |     |"},
    {83, " |     |     |   82+651 |     |UGOVIZZA                    |     05.54      |     |"},
    {83, " |     |     |   80+066 |     |Malborghetto                |     05.57      |     |"},
    {83, " |     |     |   76+146 |     |BAGNI DI LUSNIZZA           |     06.02      |     |"},
    {83, " |     |     |   72+038 |     |LAGLESIE SAN LEOPOLDO       |     06.06      |     |"},
    {83, " |  80 |  70 |   69+550 |     |sc.ingr.Pontebba            |                |     |"},
    {83, " |     |     |   69+127 |     |PONTEBBA....................|06.10     06.13 | 4+  |"},
    {83, " |     |     |   68+143 |     |PONTEBBA PARCO              |     06.15      |     |"},
    {83, " |     |     |   65+661 |     |PIETRATAGLIATA              |     06.18      |     |"},
    {83, " |     |     |   60+160 |     |DOGNA                       |     06.22      |     |"},
    {83, " |     |     |   56+146 |     |CHIUSAFORTE                 |     06.26      |  +  |"},
    {83, " |     |     |   51+574 |     |Roveredo                    |     06.31      |     |"},
    {83, " |     |     |   48+053 |     |RESIUTTA                    |     06.35      |     |"},
    {83, " |     |     |   45+333 |     |MOGGIO                      |     06.38      | 2+  |"},
    {87, " | 105 |     |   40+500 |     |dev.ingr.Carnia             |                |     |    "},
    {83, " |     |  95 |   40+119 |     |CARNIA......................|06.45     06.46 | 2   |"},
    {83, " |     |     |   35+170 |     |VENZONE                     |     06.52      |     |"},
    {84, " |  95 |  85 |   28+750 |     |dev.ingr.Gemona del Friuli  |                |     | "},
    {83, " |     |     |   28+477 |     |GEMONA DEL FRIULI...........|06.58     07.00 | 2   |"},
    {83, " | 115 | 100 |   27+550 |     |cippo Km 27+550             |                |     |"},
    {83, " |     |     |   22+385 |     |ARTEGNA                     |     07.07      |     |"},
    {83, " |     |     |   18+923 |     |TARCENTO                    |     07.10      |     |"},
    {83, " | 100 |  90 |   16+150 |     |cippo Km 16+150             |                |     |"},
    {83, " |     |     |   14+431 |     |TRICESIMO                   |     07.14      |     |"},
    {83, " | 140 | 100 |   12+250 |     |cippo Km 12+250             |                |     |"},
    {83, " |     |     |   12+046 |     |San Pelagio                 |     07.17      |     |"},
    {83, " |     |     |    9+051 |     |REANA DEL ROIALE            |     07.20      |     |"},
    {83, " |     |     |    4+492 |     |P.M.VAT                     |     07.24      |     |"},
    {83, " |  95 |  85 |    1+200 |     |cippo Km 1+200              |                |     |"},
    {83, " |     |     |    0+000 |     |SOLMA                       |     07.29      | 8+  |"},
    {84, " |     |     |          |     |                            |                |     | "},
    {83, " |     |     |          |     |IL TRENO PROSEGUIVA PER VENEZIA              |     |"},
    {83, " |_____|_____|__________|_____|TRATTO DA UN FOGLIO DI VIAGGIO DEL 1982-83___|_____|"},
};

TEST(DocumentiScheda, EveryLineHasThePrintedTextAndLength) {
  const auto righe = righe_scheda();
  ASSERT_EQ(righe.size(), std::size(kScheda) + 1);
  EXPECT_EQ(righe.back(), kFineFile);
  for (std::size_t i = 0; i < std::size(kScheda); ++i) {
    SCOPED_TRACE("line " + std::to_string(i + 1));
    EXPECT_EQ(kScheda[i].testo.size(), kScheda[i].lunghezza);  // the table itself
    EXPECT_EQ(righe[i].size(), kScheda[i].lunghezza);
    EXPECT_EQ(righe[i], kScheda[i].testo);
  }
}

TEST(DocumentiScheda, TrailingSpacesOnlyWhereThePrintHasThem) {
  const std::vector<std::pair<std::size_t, std::size_t>> attesi = {{9, 7},  {17, 1}, {20, 2},
                                                                   {38, 4}, {41, 1}, {54, 1}};
  std::vector<std::pair<std::size_t, std::size_t>> trovati;
  const auto righe = righe_scheda();
  for (std::size_t i = 0; i + 1 < righe.size(); ++i) {
    if (righe[i].empty()) continue;
    if (const auto n = test::spazi_finali(righe[i]); n > 0) trovati.emplace_back(i + 1, n);
  }
  EXPECT_EQ(trovati, attesi);
}

TEST(DocumentiScheda, TheWorkingTimetableFromTheBorderToThePlain) {
  const auto righe = righe_scheda();
  constexpr std::size_t kColonne[] = {1, 7, 13, 24, 30, 59, 76, 82};
  for (std::size_t n = 14; n <= 54; ++n) {
    const auto r = righe[n - 1];
    std::vector<std::size_t> barre;
    for (std::size_t k = 0; k < r.size(); ++k)
      if (r[k] == '|') barre.push_back(k);
    EXPECT_EQ(barre, std::vector<std::size_t>(std::begin(kColonne), std::end(kColonne)))
        << "line " << n;
  }

  // Rows 17 to 53: chainage "K+MMM" right-aligned in its column, strictly falling.
  int64_t precedente = 1000000;
  std::string ultimo_orario;
  std::size_t fermate = 0;
  for (std::size_t n = 17; n <= 53; ++n) {
    const auto r = righe[n - 1];
    SCOPED_TRACE(std::string(r));
    const auto progr = r.substr(14, 9);
    const auto piu = progr.find('+');
    ASSERT_NE(piu, std::string_view::npos);
    ASSERT_EQ(progr.size() - piu, 4u);
    const int64_t metri = std::stoll(std::string(progr.substr(0, piu))) * 1000 +
                          std::stoll(std::string(progr.substr(piu + 1)));
    EXPECT_LT(metri, precedente);
    precedente = metri;

    // Times "HH.MM" in the timetable column never go back.
    const auto orario = r.substr(60, 16);
    std::vector<std::string> ore;
    for (std::size_t k = 0; k + 5 <= orario.size(); ++k)
      if (orario[k] >= '0' && orario[k] <= '9' && orario[k + 2] == '.') {
        ore.emplace_back(orario.substr(k, 5));
        k += 4;
      }
    for (const auto& o : ore) {
      EXPECT_GE(o, ultimo_orario);
      ultimo_orario = o;
    }
    // A stop pads its name with dots and gives arrival and departure.
    if (r.find("..") != std::string_view::npos) {
      ++fermate;
      ASSERT_EQ(ore.size(), 2u);
      EXPECT_LT(ore[0], ore[1]);
    }
  }
  EXPECT_EQ(precedente, 0);
  EXPECT_EQ(ultimo_orario, "07.29");
  EXPECT_EQ(fermate, 5u);
}

}  // namespace
}  // namespace gs

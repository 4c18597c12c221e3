// The line source is checked by reading its lines back with independent parsers: section
// sizes, record formats, ordering and the counts and sums of every table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "aiuti_test.h"
#include "common/file_system.h"
#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"

namespace gs {
namespace {

using test::campi;
using test::dopo_spazi;

constexpr int64_t kLunghezzaLinea = 100000;

std::span<const std::string_view> righe() {
  return test::senza_marcatore(righe_linea(), kFineFile);
}

// The records under one section head.
struct Sezione {
  std::string_view testa;
  std::size_t slot_testa = 0;
  std::vector<std::string_view> righe;
};

std::vector<Sezione> sezioni() {
  std::vector<Sezione> out;
  const auto tutte = righe();
  for (std::size_t i = 0; i < tutte.size(); ++i) {
    const auto r = tutte[i];
    if (!r.empty() && r.front() == '[') {
      out.push_back({r, i, {}});
    } else if (!out.empty()) {
      out.back().righe.push_back(r);
    } else {
      ADD_FAILURE() << "record before the first head: " << r;
    }
  }
  return out;
}

std::vector<std::string_view> records(std::string_view testa) {
  for (auto& s : sezioni())
    if (s.testa == testa) return s.righe;
  ADD_FAILURE() << "no section " << testa;
  return {};
}

TEST(ContenutoLinea, A454RowTableThenTheMarker) {
  const auto tabella = righe_linea();
  ASSERT_EQ(tabella.size(), 455u);
  EXPECT_EQ(tabella[454], kFineFile);
  EXPECT_EQ(righe().size(), 454u);  // the marker appears nowhere earlier
  EXPECT_EQ(tabella[0], "[generale]");
  EXPECT_EQ(tabella[453], "[fine]");
}

TEST(ContenutoLinea, SectionsInOrderWithTheirStatedRowCounts) {
  struct Atteso {
    std::string_view testa;
    std::size_t slot;
    std::size_t record;
  };
  constexpr Atteso kAttese[] = {
      {"[generale]", 0, 8},    {"[curve]", 9, 183},     {"[pendenze]", 193, 175},
      {"[montagne]", 369, 40}, {"[cartelli]", 410, 10}, {"[indicazioni]", 421, 31},
      {"[fine]", 453, 0},
  };
  const auto trovate = sezioni();
  ASSERT_EQ(trovate.size(), std::size(kAttese));
  for (std::size_t i = 0; i < trovate.size(); ++i) {
    SCOPED_TRACE(kAttese[i].testa);
    EXPECT_EQ(trovate[i].testa, kAttese[i].testa);
    EXPECT_EQ(trovate[i].slot_testa, kAttese[i].slot);
    EXPECT_EQ(trovate[i].righe.size(), kAttese[i].record);
  }
}

TEST(ContenutoLinea, NoBlankLineNoEdgeSpacesNoStrayBytes) {
  for (const auto r : righe()) {
    SCOPED_TRACE(std::string(r));
    ASSERT_FALSE(r.empty());
    EXPECT_NE(r.front(), ' ');
    EXPECT_NE(r.back(), ' ');
    for (const char c : r) {
      const auto b = static_cast<unsigned char>(c);
      // The degree sign is the only byte outside printable ASCII.
      EXPECT_TRUE((b >= 0x20 && b < 0x7F) || b == 0xB0) << "byte " << int(b);
    }
  }
}

TEST(ContenutoLinea, QuotedLinesAreWrittenByteForByte) {
  constexpr std::string_view kCitate[] = {
      "lunghezza percorso,    100000",
      "ripetizione segnali 4 codici,    0    ,0",
      "curvad6,  2300,  300",
      "pendenza,  0,   0",
      "pendenza,  13300,   -18",
      "montagna,   4700,  4900,  1",
      "indicatori_vmax,  1150,  70,  75,  75,  0,  ,  ,  ,  0",
      "cartello_indicatore,  4650,   (GALERIA ARTIF.  )(Mt.140 Km.95+278)",
  };
  const auto tutte = righe();
  for (const auto c : kCitate) EXPECT_EQ(std::count(tutte.begin(), tutte.end(), c), 1) << c;
}

TEST(ContenutoLinea, GeneralSection) {
  const auto generale = records("[generale]");
  constexpr std::string_view kAttese[] = {
      "lunghezza percorso,    100000",
      "progressiva chilometrica uno,    0,    100000,    1",
      "progressiva chilometrica due,    0,    0,    0",
      "progressiva chilometrica tre,    0,    0,    0",
      "sfondo uno,    80000",
      "sfondo due,    65000",
      "sfondo tre,    1",
      "ripetizione segnali 4 codici,    0    ,0",
  };
  ASSERT_EQ(generale.size(), std::size(kAttese));
  for (std::size_t i = 0; i < generale.size(); ++i) EXPECT_EQ(generale[i], kAttese[i]);
  // Every value but the repetition line's sits after exactly four blanks.
  for (std::size_t i = 0; i + 1 < generale.size(); ++i) {
    const auto f = campi(generale[i]);
    for (std::size_t k = 1; k < f.size(); ++k) EXPECT_TRUE(dopo_spazi(f[k], 4)) << generale[i];
  }
  const auto rip = campi(generale.back());
  ASSERT_EQ(rip.size(), 3u);
  EXPECT_EQ(rip[1], "    0    ");
  EXPECT_EQ(rip[2], "0");
}

TEST(ContenutoLinea, CurvesOrderedWithoutOverlapInTheirStatedClasses) {
  const auto curve = records("[curve]");
  ASSERT_EQ(curve.size(), 183u);
  std::map<std::string, int> per_classe;
  std::map<char, int64_t> lunghezza_per_lato;
  int64_t fine_precedente = 0, somma_inizi = 0, somma_lunghezze = 0;
  for (const auto r : curve) {
    SCOPED_TRACE(std::string(r));
    const auto f = campi(r);
    ASSERT_EQ(f.size(), 3u);
    ASSERT_EQ(f[0].size(), 7u);
    ASSERT_EQ(f[0].substr(0, 5), "curva");
    const char lato = f[0][5], classe = f[0][6];
    EXPECT_TRUE(lato == 's' || lato == 'd');
    EXPECT_TRUE(classe >= '1' && classe <= '6');
    const auto inizio = dopo_spazi(f[1], 2), lunghezza = dopo_spazi(f[2], 2);
    ASSERT_TRUE(inizio && lunghezza);
    EXPECT_EQ(*inizio % 50, 0);
    EXPECT_EQ(*lunghezza % 50, 0);
    EXPECT_GT(*lunghezza, 0);
    EXPECT_GE(*inizio, fine_precedente);
    fine_precedente = *inizio + *lunghezza;
    ++per_classe[std::string(f[0].substr(5))];
    lunghezza_per_lato[lato] += *lunghezza;
    somma_inizi += *inizio;
    somma_lunghezze += *lunghezza;
  }
  EXPECT_LE(fine_precedente, kLunghezzaLinea);
  const std::map<std::string, int> attese = {{"d6", 55}, {"s6", 50}, {"d5", 25}, {"s5", 25},
                                             {"d4", 10}, {"s4", 13}, {"d3", 3},  {"s3", 2}};
  EXPECT_EQ(per_classe, attese);
  EXPECT_EQ(somma_inizi, 6567700);
  EXPECT_EQ(somma_lunghezze, 45550);
  EXPECT_EQ(lunghezza_per_lato['s'], 23250);
  EXPECT_EQ(lunghezza_per_lato['d'], 22300);
  EXPECT_EQ(curve.front(), "curvad6,  2300,  300");
  EXPECT_EQ(curve.back(), "curvad5,  97750,  150");
}

TEST(ContenutoLinea, GradientsStrictlyIncreasingAndWithinLimits) {
  const auto pendenze = records("[pendenze]");
  ASSERT_EQ(pendenze.size(), 175u);
  int64_t precedente = -1, somma_posizioni = 0, somma_pendenze = 0;
  int negative = 0;
  for (const auto r : pendenze) {
    SCOPED_TRACE(std::string(r));
    const auto f = campi(r);
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0], "pendenza");
    const auto pos = dopo_spazi(f[1], 2), val = dopo_spazi(f[2], 3);
    ASSERT_TRUE(pos && val);
    EXPECT_GT(*pos, precedente);
    EXPECT_EQ(*pos % 50, 0);
    EXPECT_GE(*val, -22);
    EXPECT_LE(*val, 22);
    precedente = *pos;
    somma_posizioni += *pos;
    somma_pendenze += *val;
    negative += *val < 0;
  }
  EXPECT_LT(precedente, kLunghezzaLinea);
  EXPECT_EQ(somma_posizioni, 8146800);
  EXPECT_EQ(somma_pendenze, -975);
  EXPECT_EQ(negative, 118);
  EXPECT_EQ(pendenze.back(), "pendenza,  99150,   0");
}

TEST(ContenutoLinea, MountainMarkersOrderedWithoutOverlapByKind) {
  const auto montagne = records("[montagne]");
  ASSERT_EQ(montagne.size(), 40u);
  std::map<int64_t, int> per_tipo;
  int64_t fine_precedente = 0, somma_estese = 0;
  for (const auto r : montagne) {
    SCOPED_TRACE(std::string(r));
    const auto f = campi(r);
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0], "montagna");
    const auto inizio = dopo_spazi(f[1], 3), fine = dopo_spazi(f[2], 2), tipo = dopo_spazi(f[3], 2);
    ASSERT_TRUE(inizio && fine && tipo);
    EXPECT_EQ(*inizio % 50, 0);
    EXPECT_EQ(*fine % 50, 0);
    EXPECT_LT(*inizio, *fine);
    EXPECT_GE(*inizio, fine_precedente);
    fine_precedente = *fine;
    ++per_tipo[*tipo];
    somma_estese += *fine - *inizio;
  }
  const std::map<int64_t, int> attesi = {{1, 24}, {2, 5}, {11, 8}, {12, 3}};
  EXPECT_EQ(per_tipo, attesi);
  EXPECT_EQ(somma_estese, 8350);
  EXPECT_EQ(montagne.back(), "montagna,   68850,  68950,  12");
}

TEST(ContenutoLinea, SpeedBoardsWithAnEmptySecondGroup) {
  struct Cartello {
    int64_t pos, va, vb, vc;
  };
  constexpr Cartello kAttesi[] = {
      {1150, 70, 75, 75},     {5950, 60, 60, 60},  {7550, 70, 75, 75},     {30550, 75, 80, 80},
      {59500, 100, 105, 105}, {71250, 90, 95, 95}, {72450, 110, 115, 115}, {83850, 95, 100, 100},
      {87500, 120, 140, 140}, {98800, 90, 95, 95},
  };
  const auto cartelli = records("[cartelli]");
  ASSERT_EQ(cartelli.size(), std::size(kAttesi));
  for (std::size_t i = 0; i < cartelli.size(); ++i) {
    SCOPED_TRACE(std::string(cartelli[i]));
    const auto f = campi(cartelli[i]);
    ASSERT_EQ(f.size(), 10u);
    EXPECT_EQ(f[0], "indicatori_vmax");
    EXPECT_EQ(dopo_spazi(f[1], 2), kAttesi[i].pos);
    EXPECT_EQ(dopo_spazi(f[2], 2), kAttesi[i].va);
    EXPECT_EQ(dopo_spazi(f[3], 2), kAttesi[i].vb);
    EXPECT_EQ(dopo_spazi(f[4], 2), kAttesi[i].vc);
    EXPECT_EQ(f[5], "  0");
    EXPECT_EQ(f[6], "  ");
    EXPECT_EQ(f[7], "  ");
    EXPECT_EQ(f[8], "  ");
    EXPECT_EQ(f[9], "  0");
  }
}

TEST(ContenutoLinea, IndicationBoardsInBracketedGroups) {
  const auto cartelli = records("[indicazioni]");
  ASSERT_EQ(cartelli.size(), 31u);
  std::vector<int64_t> con_grado;
  std::map<int64_t, std::string_view> testi;
  int64_t precedente = -1;
  for (const auto r : cartelli) {
    SCOPED_TRACE(std::string(r));
    const auto f = campi(r);
    ASSERT_EQ(f.size(), 3u);  // a comma inside a board text would add a field
    EXPECT_EQ(f[0], "cartello_indicatore");
    const auto pos = dopo_spazi(f[1], 2);
    ASSERT_TRUE(pos);
    EXPECT_GT(*pos, precedente);
    EXPECT_EQ(*pos % 50, 0);
    EXPECT_LE(*pos, kLunghezzaLinea);
    precedente = *pos;
    ASSERT_GT(f[2].size(), 3u);
    EXPECT_EQ(f[2].find_first_not_of(' '), 3u);
    const auto testo = f[2].substr(3);
    testi[*pos] = testo;

    // Groups "(...)" one after the other, the last giving length and chainage.
    std::vector<std::string_view> gruppi;
    std::string_view resto = testo;
    while (!resto.empty()) {
      ASSERT_EQ(resto.front(), '(');
      const auto chiusa = resto.find(')');
      ASSERT_NE(chiusa, std::string_view::npos);
      const auto gruppo = resto.substr(0, chiusa + 1);
      EXPECT_EQ(gruppo.find('(', 1), std::string_view::npos);
      gruppi.push_back(gruppo);
      resto.remove_prefix(chiusa + 1);
    }
    ASSERT_GE(gruppi.size(), 2u);
    ASSERT_LE(gruppi.size(), 3u);
    // The groups of one board are padded to one width, the degree sign counting as one byte.
    for (const auto g : gruppi) EXPECT_EQ(g.size(), gruppi.front().size()) << g;
    EXPECT_NE(gruppi.back().find("Km."), std::string_view::npos);

    const auto grado = testo.find('\xB0');
    if (grado != std::string_view::npos) {
      con_grado.push_back(*pos);
      EXPECT_EQ(testo.find('\xB0', grado + 1), std::string_view::npos);
      EXPECT_EQ(testo.substr(0, 10), "(GALLERIA ");
      EXPECT_TRUE(testo[grado - 1] >= '1' && testo[grado - 1] <= '3');
    }
  }
  EXPECT_EQ(con_grado, (std::vector<int64_t>{35600, 36200, 36600, 36850, 42000, 42850}));
  // Spellings kept as on the boards, not corrected.
  EXPECT_EQ(testi[4650].substr(0, 18), "(GALERIA ARTIF.  )");
  EXPECT_EQ(testi[26450].substr(0, 17), "(GALLERI ARTIF. )");
  EXPECT_EQ(testi[33600].substr(0, 18), "(GALLERIAC ARTIF.)");
  EXPECT_EQ(testi[40450], "(VIADOTTO      )(VALL.VIDALI   )(Mt72 Km.59+523)");
  EXPECT_EQ(testi[35600],
            "(GALLERIA 2\xB0"
            "     )(PONTE DI MURO   )(Mt.365 Km.64+357)");
  EXPECT_EQ(testi[43000], "(PONTE IN FERRO  )(FIUME FELLA     )(Mt.155 Km.56+974)");
}

TEST(ContenutoLinea, TheWrittenFileReplacesTheOldOne) {
  test::CartellaTemporanea cartella;
  const auto file = cartella.percorso() / "BELMONZA VALICO - SOLMA_linea.txt";
  scrivi_file(file, std::string(200000, 'x'));  // an older, longer file

  dati_linea(file);
  const std::string testo = leggi_file(file);
  std::vector<std::string> lette;
  ASSERT_TRUE(test::righe_crlf(testo, lette));
  ASSERT_EQ(lette.size(), 454u);
  for (std::size_t i = 0; i < lette.size(); ++i) EXPECT_EQ(lette[i], righe()[i]);
  EXPECT_EQ(testo.substr(testo.size() - 8), "[fine]\r\n");
  EXPECT_EQ(testo.find("riferimento"), std::string::npos);
  EXPECT_EQ(std::count(testo.begin(), testo.end(), '\xB0'), 6);

  dati_linea(file);
  EXPECT_EQ(leggi_file(file), testo);
}

}  // namespace
}  // namespace gs

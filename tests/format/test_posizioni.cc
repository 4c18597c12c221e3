// The rules that turn positions into 50 m cells, case by case against the authors' guide
// ("Positions and the 50 m grid", the station kinds and the limits): every conversion divides
// by 50 as a real number and rounds halves to even.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "common/errori.h"
#include "format/formato.h"

namespace gs {
namespace {

constexpr int64_t kMassimo32 = std::numeric_limits<int32_t>::max();
constexpr int64_t kMinimo32 = std::numeric_limits<int32_t>::min();
// 50 x 2^52 m: a 64-bit position whose cell is still exact in a double (2^52 + 1 is).
constexpr int64_t kGrande = int64_t{50} << 52;

TEST(Posizioni, RoundingTakesHalvesToEven) {
  struct Caso {
    double x;
    int64_t atteso;
  };
  constexpr Caso kCasi[] = {
      {0.5, 0},
      {1.5, 2},
      {2.5, 2},
      {24.5, 24},
      {25.5, 26},
      {-0.5, 0},
      {-1.5, -2},
      {-2.5, -2},
      {0.49999999999999994, 0},
      {2.5000000000000004, 3},
      {-24.51, -25},
      {4503599627370497.0, 4503599627370497},
  };
  for (const auto& c : kCasi) EXPECT_EQ(arrotonda(c.x), c.atteso) << c.x;
  // A value with no 64-bit integer is a reading failure, never a wrapped cell.
  for (const double x : {1e19, -1e19, std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN()})
    EXPECT_THROW(arrotonda(x), ErroreLettura) << x;
}

TEST(Posizioni, CellRules) {
  struct Caso {
    const char* regola;
    int64_t (*cella)(int64_t);
    int64_t metri;
    int64_t atteso;
  };
  const auto punto = &cella_punto;             // round(p / 50 + 1)
  const auto profilo = &cella_profilo;         // round(p / 50)
  const auto campata = &ultima_cella_campata;  // round(p / 50 - 1)
  const auto fermata = &cella_fermata;         // round(p / 50) - 1
  const Caso kCasi[] = {
      // A point: cell k holds 50 (k - 1) +- 25 m, both edges for an even k, neither for an odd.
      {"point", punto, 0, 1},
      {"point", punto, 24, 1},
      {"point", punto, 25, 2},
      {"point", punto, 26, 2},
      {"point", punto, -24, 1},
      {"point", punto, -25, 0},
      {"point", punto, -75, 0},
      {"point", punto, -76, -1},
      {"point", punto, -125, -2},
      {"point", punto, 1124, 23},
      {"point", punto, 1125, 24},
      {"point", punto, 1150, 24},
      {"point", punto, 1175, 24},
      {"point", punto, 1176, 25},
      {"point", punto, 1224, 25},
      {"point", punto, 1225, 26},
      {"point", punto, 1275, 26},
      {"point", punto, 4500, 91},
      {"point", punto, 1006900, 20139},  // the last record position of a 1000000 m line
      {"point", punto, kMassimo32, 42949674},
      {"point", punto, kMinimo32, -42949672},
      {"point", punto, kGrande, (int64_t{1} << 52) + 1},
      // A profile value or a code point record: round(p / 50), at a multiple of 50 m one cell
      // before a point's.
      {"profile", profilo, 0, 0},
      {"profile", profilo, 24, 0},
      {"profile", profilo, 25, 0},
      {"profile", profilo, 26, 1},
      {"profile", profilo, 75, 2},
      {"profile", profilo, 125, 2},
      {"profile", profilo, 1150, 23},
      {"profile", profilo, -25, 0},
      {"profile", profilo, -26, -1},
      {"profile", profilo, -75, -2},
      {"profile", profilo, kMassimo32, 42949673},
      {"profile", profilo, kMinimo32, -42949673},
      {"profile", profilo, kGrande, int64_t{1} << 52},
      // The grid's last cell U = round((length + 7000) / 50): 380 for a 12000 m line (381 cells),
      // 20140 for the longest line; a length of -6975 m leaves no cell 1.
      {"grid", profilo, 12000 + 7000, 380},
      {"grid", profilo, 1000000 + 7000, 20140},
      {"grid", profilo, -6974 + 7000, 1},
      {"grid", profilo, -6975 + 7000, 0},
      // A mountain span's last cell, round(b / 50 - 1): at halves not round(b / 50) - 1.
      {"span end", campata, 5300, 105},
      {"span end", campata, 0, -1},
      {"span end", campata, 24, -1},
      {"span end", campata, 25, 0},
      {"span end", campata, 26, 0},
      {"span end", campata, 75, 0},
      {"span end", campata, 125, 2},
      {"span end", campata, -25, -2},
      {"span end", campata, -75, -2},
      {"span end", campata, 1007000, 20139},
      {"span end", campata, kMassimo32, 42949672},
      // A station's stop cell, round(f / 50) - 1: at halves not the cell of a point at f - 100 m.
      {"stop", fermata, 150, 2},  // the earliest end a station may have
      {"stop", fermata, 500, 9},
      {"stop", fermata, 4150, 82},
      {"stop", fermata, 6300, 125},
      {"stop", fermata, 11350, 226},
      {"stop", fermata, 25, -1},
      {"stop", fermata, 75, 1},
      {"stop", fermata, 125, 1},
      {"stop", fermata, -75, -3},
      {"stop", fermata, kMassimo32, 42949672},
  };
  for (const auto& c : kCasi)
    EXPECT_EQ(c.cella(c.metri), c.atteso) << c.regola << " at " << c.metri << " m";
}

// Cell k stands for a point at 50 (k - 1) m and a profile step from 50 k m, and takes the points
// 25 m either side of it only when k is even.
TEST(Posizioni, EveryCellAgainstTheMetresItStandsFor) {
  for (int64_t k = -40; k <= 40; ++k) {
    SCOPED_TRACE(k);
    const int64_t p = metro_cella(k);
    EXPECT_EQ(p, 50 * k - 50);
    EXPECT_EQ(cella_punto(p), k);
    EXPECT_EQ(cella_profilo(metro_profilo(k)), k);
    EXPECT_EQ(metro_profilo(k), 50 * k);
    EXPECT_EQ(cella_profilo(p), k - 1);  // a code point record, one cell earlier
    EXPECT_EQ(cella_fermata(p + 100), k);
    const bool pari = k % 2 == 0;
    EXPECT_EQ(cella_punto(p - 25), pari ? k : k - 1);
    EXPECT_EQ(cella_punto(p + 25), pari ? k : k + 1);
    EXPECT_EQ(cella_punto(p - 26), k - 1);
    EXPECT_EQ(cella_punto(p + 26), k + 1);
    EXPECT_EQ(cella_punto(p - 24), k);
    EXPECT_EQ(cella_punto(p + 24), k);
  }
}

TEST(Posizioni, InsideTheGridUpToItsMargin) {
  EXPECT_EQ(fine_griglia(380), 19000);
  EXPECT_EQ(fine_griglia(20140), 1007000);
  struct Caso {
    int64_t ultima, posizione, margine;
    bool dentro;
  };
  constexpr Caso kCasi[] = {
      // A record, (p + 100) / 50 within U: up to U x 50 - 100 m, 18900 m on a 12000 m line.
      {380, 18900, 100, true},
      {380, 18901, 100, false},  // 380.02: a real division, not a whole one
      {380, 18950, 100, false},
      {380, 0, 100, true},
      {380, -1000000, 100, true},  // the rule has no lower bound
      // A station, (p + 800) / 50 within U.
      {380, 18200, 800, true},
      {380, 18201, 800, false},
      // The longest line, and the largest 32-bit position.
      {20140, 1006900, 100, true},
      {20140, 1006901, 100, false},
      {20140, 1006200, 800, true},
      {20140, 1006250, 800, false},
      {20140, kMassimo32, 100, false},
      {20140, kMinimo32, 100, true},
  };
  for (const auto& c : kCasi)
    EXPECT_EQ(nella_griglia(c.ultima, c.posizione, c.margine), c.dentro)
        << c.posizione << " m + " << c.margine << " in cells 0 to " << c.ultima;
}

TEST(Posizioni, StationSpanStopAndMarkersByKind) {
  struct Caso {
    uint8_t tipo;
    int64_t posizione, lunghezza;
    uint8_t campo6;
    int64_t inizio, fine;
    bool fermata, preavvisi;
  };
  constexpr Caso kCasi[] = {
      // Kinds 5 and 6: P - L to P + 150, a stop cell without approach markers; field 6 adds
      // nothing.
      {5, 4000, 400, 0, 3600, 4150, true, false},
      {6, 4000, 400, 1, 3600, 4150, true, false},
      // Kinds 7 and 8: P - L to P + L.
      {7, 6000, 600, 1, 5400, 6600, true, true},
      {8, 0, 500, 1, -500, 500, true, true},
      // Every other kind: P - L/2 to P + L/2, plus 50 m at the end with field 6; a stop cell and
      // approach markers below 25, neither from 25 up.
      {0, 6000, 600, 0, 5700, 6300, true, true},
      {4, 6000, 600, 1, 5700, 6350, true, true},
      {9, 6000, 600, 0, 5700, 6300, true, true},
      {12, 6000, 600, 0, 5700, 6300, true, true},
      {12, 11000, 600, 1, 10700, 11350, true, true},
      {24, 6000, 600, 0, 5700, 6300, true, true},
      {25, 6000, 600, 0, 5700, 6300, false, false},
      {28, 7000, 600, 1, 6700, 7350, false, false},
      {255, 7000, 600, 0, 6700, 7300, false, false},
      // Past 32 bits: the span is worked out in 64 (the reader then refuses it).
      {7, kMassimo32, kMassimo32, 0, 0, 2 * kMassimo32, true, true},
      {12, kMassimo32, 2 * kMassimo32, 1, 0, 2 * kMassimo32 + 50, true, true},
  };
  for (const auto& c : kCasi) {
    SCOPED_TRACE(testing::Message() << "kind " << int(c.tipo) << " at " << c.posizione << " m, "
                                    << c.lunghezza << " m long, field 6 " << int(c.campo6));
    const Campata s = campata_stazione(c.tipo, c.posizione, c.lunghezza, c.campo6);
    EXPECT_EQ(s.inizio, c.inizio);
    EXPECT_EQ(s.fine, c.fine);
    EXPECT_EQ(ha_fermata(c.tipo), c.fermata);
    EXPECT_EQ(ha_preavvisi(c.tipo), c.preavvisi);
  }
}

TEST(Posizioni, ChainageFollowsTheSectionInForceAndItsDirection) {
  Stazioni t{};
  const auto sezione = [&](int voce, int32_t inizio, int32_t fine, int32_t decrescente) {
    t[static_cast<std::size_t>(voce)].inizio = inizio;
    t[static_cast<std::size_t>(voce)].fine = fine;
    t[static_cast<std::size_t>(voce)].posizione = decrescente;
  };
  sezione(kProgressivaTre, 6000, 20000, 0);
  sezione(kProgressivaDue, 3000, 50000, 1);
  sezione(kProgressivaUno, 0, 10000, 0);
  struct Caso {
    int64_t posizione, progressiva;
  };
  for (const Caso& c : {Caso{0, 10000}, Caso{2999, 12999}, Caso{3000, 50000}, Caso{4000, 49000},
                        Caso{6000, 20000}, Caso{7000, 21000}, Caso{-100, 9900}}) {
    EXPECT_EQ(progressiva_a(t, c.posizione), c.progressiva) << c.posizione;
  }
  EXPECT_EQ(formatta_progressiva(95450), "km 95+450");
  EXPECT_EQ(formatta_progressiva(-50), "km -0+050");
}

}  // namespace
}  // namespace gs

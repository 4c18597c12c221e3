// The packing of signals and speed boards into their cells: what goes in comes back out while
// it fits the packing, with the cell data the authors' guide gives for each case.
#include <gtest/gtest.h>

#include <cstdint>

#include "format/punti.h"

namespace gs {
namespace {

TEST(Punti, SignalsComeApartAsPacked) {
  struct Caso {
    Segnale s;
    int16_t dato1, dato2, dato3, dato4;
  };
  const Caso casi[] = {
      {{1, 3, 0, 4, 2, 2, 1, 5, 9}, 31, 5, 49, 25},
      {{2, 3, 4, 5, 6, 1, 7, 8, 9}, 37, 48, 59, 67},  // rapp x 10 + sx x 3 + dx
      {{0, -1, 0, 0, 0, 0, 3, 0, 0}, -7, 0, 0, 0},    // negative aspects pack below zero
      {{1, 0, -2, -1, -1, 2, 0, 9, 0}, 0, -11, -10, -5},
      {{0, 3276, 0, 0, 0, 0, 7, 0, 0}, 32767, 0, 0, 0},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.dato1);
    Cella cella;
    codifica_segnale(c.s, cella);
    EXPECT_EQ(cella.dato1, c.dato1);
    EXPECT_EQ(cella.dato2, c.dato2);
    EXPECT_EQ(cella.dato3, c.dato3);
    EXPECT_EQ(cella.dato4, c.dato4);
    EXPECT_EQ(cella.tipo, 0);  // only the data
    EXPECT_EQ(decodifica_segnale(cella), c.s);
  }
}

// Past its limits the packing loses what spills over: a right aspect of 10 or more carries into
// the left one, a 16-bit overflow wraps, sides above 9 carry into rapp.
TEST(Punti, SignalsOutsideThePackingDoNotComeBack) {
  for (const Segnale& s :
       {Segnale{0, 1, 0, 0, 0, 0, 12, 0, 0}, Segnale{0, 3277, 0, 0, 0, 0, 0, 0, 0},
        Segnale{3, 0, 0, 0, 0, 2, 0, 0, 0}}) {
    Cella cella;
    codifica_segnale(s, cella);
    EXPECT_NE(decodifica_segnale(cella), s) << cella.dato1 << " " << cella.dato4;
  }
}

TEST(Punti, ApproachMarkersCarryTheSidesAndTheirDistance) {
  const Segnale s{2, 0, 0, 0, 0, 1, 0, 0, 0};
  EXPECT_EQ(lati_segnale(s), 7);
  for (int b = 1; b <= 4; ++b) EXPECT_EQ(preavviso_segnale(s, b), 70 + b);
}

TEST(Punti, SpeedBoardsComeApartAsPacked) {
  struct Caso {
    IndicatoreVelocita v;
    int16_t dato1, dato2, dato3, dato4;
  };
  const Caso casi[] = {
      {{70, 75, 120, 2, 60, 30, 15, 1}, 1412, 1506, 2403, 21},
      {{70, 75, 75, 0, 0, 0, 0, 0}, 1400, 1500, 1500, 0},
      {{-1, 0, 1638, 3, 5, 0, 35, 9}, -19, 0, 32767, 39},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.dato1);
    Cella cella;
    EXPECT_EQ(codifica_indicatore(c.v, cella), 0);
    EXPECT_EQ(cella.dato1, c.dato1);
    EXPECT_EQ(cella.dato2, c.dato2);
    EXPECT_EQ(cella.dato3, c.dato3);
    EXPECT_EQ(cella.dato4, c.dato4);
    EXPECT_EQ(decodifica_indicatore(cella), c.v);
  }
}

// A right speed off the 5 km/h steps rounds halves to even and reads back on the step; one of
// 100 km/h or more spills into the left speed.
TEST(Punti, SpeedBoardsOffThePackingReadBackChanged) {
  struct Caso {
    IndicatoreVelocita v, letto;
  };
  const Caso casi[] = {
      {{1, 1, 1, 0, 12, 13, -2, 0}, {1, 1, 1, 0, 10, 15, 0, 0}},  // 2.4, 2.6, -0.4
      {{1, 0, 0, 0, 100, 0, 0, 0}, {2, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Caso& c : casi) {
    Cella cella;
    EXPECT_EQ(codifica_indicatore(c.v, cella), 0);
    EXPECT_EQ(decodifica_indicatore(cella), c.letto) << cella.dato1;
  }
}

// The first pair that does not fit 16 bits is named; the data before it are written, the
// others are left as they were.
TEST(Punti, SpeedBoardOutside16BitsNamesItsPair) {
  struct Caso {
    IndicatoreVelocita v;
    int coppia;
  };
  for (const Caso& c : {Caso{{1639, 0, 0, 0, 0, 0, 0, 0}, 1}, Caso{{0, -1639, 0, 0, 0, 0, 0, 0}, 2},
                        Caso{{0, 0, 1638, 0, 0, 0, 40, 0}, 3}}) {
    Cella cella;
    cella.dato1 = cella.dato2 = cella.dato3 = cella.dato4 = 7;
    EXPECT_EQ(codifica_indicatore(c.v, cella), c.coppia);
    const int16_t dati[] = {cella.dato1, cella.dato2, cella.dato3};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(dati[i] == 7, i >= c.coppia - 1) << c.coppia << " " << i;
    EXPECT_EQ(cella.dato4, 7);
  }
}

}  // namespace
}  // namespace gs

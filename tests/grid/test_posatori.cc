#include <gtest/gtest.h>

#include "grid/griglia.h"

namespace gs {
namespace {

class Posatori : public ::testing::Test {
 protected:
  Posatori() { celle.dimensiona(2140); }
  Posa segnale(int32_t pos, int32_t sx, int32_t& tempo) {
    return memo_segnale(celle, pos, {sx, 3, 4, 5, 6, 1, 7, 8, 9}, tempo);
  }
  Celle celle;
};

TEST_F(Posatori, PointsRoundToCellsHalvesToEven) {
  memo_indicatori_v_max(celle, 0, {1, 1, 1, 0, 0, 0, 0, 0});
  EXPECT_EQ(celle[1].tipo, kIndicatoreVelocita);
  EXPECT_EQ(celle[0].tipo, 0);
  memo_indicatori_v_max(celle, 75, {1, 1, 1, 0, 0, 0, 0, 0});  // 2.5 rounds to 2
  EXPECT_EQ(celle[2].tipo, kIndicatoreVelocita);
  int32_t tempo = 0;
  EXPECT_TRUE(segnale(1225, 1, tempo).riuscita());
  EXPECT_EQ(celle[26].tipo, kSegnale);
  for (const int32_t pos : {1275, 1250}) {
    const Posa p = segnale(pos, 1, tempo);
    EXPECT_EQ(p.errore, 16) << pos;
    EXPECT_EQ(p.cella, 26);
  }
}

TEST_F(Posatori, SignalFields) {
  celle[41].tipo = kMarcaMontagna;  // a mountain marker gives way
  int32_t tempo = 50;
  memo_segnale(celle, 2000, {2, 3, 4, 5, 6, 1, 7, 8, 9}, tempo);
  const Cella& c = celle[41];
  EXPECT_EQ(c.tipo, kSegnale);
  EXPECT_EQ(c.dato1, 37);
  EXPECT_EQ(c.dato2, 48);
  EXPECT_EQ(c.dato3, 59);
  EXPECT_EQ(c.dato4, 67);  // rapp * 10 + sx * 3 + dx
  EXPECT_EQ(c.tempo, 101);
  EXPECT_EQ(tempo, 101);
  for (int b = 1; b <= 4; ++b) EXPECT_EQ(celle[41 - 2 * b].preavviso, 70 + b);

  struct Caso {
    int32_t tempo, sx, cella, chiamante;
  };
  for (const Caso& k : {Caso{150, 2, 150, 150}, Caso{50, 1, 0, 101}, Caso{0, 2, 0, 0},
                        Caso{-5, 2, 251, -5}, Caso{100, 2, 101, 101}}) {
    SCOPED_TRACE(k.tempo);
    Celle g;
    g.dimensiona(100);
    int32_t t = k.tempo;
    memo_segnale(g, 1000, {k.sx, 0, 0, 0, 0, 0, 0, 0, 0}, t);
    EXPECT_EQ(g[21].tempo, k.cella);
    EXPECT_EQ(t, k.chiamante);
  }
}

TEST_F(Posatori, SignalTooNearTheStartFailsAtTheMarkerItCannotReach) {
  int32_t tempo = 0;
  const Posa p = memo_segnale(celle, 250, {1, 0, 0, 0, 0, 0, 0, 0, 0}, tempo);
  EXPECT_EQ(p.errore, kLettura);
  EXPECT_EQ(p.cella, -2);
  EXPECT_NE(p.motivo.testo.find("325 m or later"), std::string::npos) << p.motivo.testo;
  EXPECT_EQ(celle[6].tipo, kSegnale);  // what was written before stays
  EXPECT_EQ(celle[4].preavviso, 31);
  EXPECT_EQ(celle[0].preavviso, 33);
}

TEST_F(Posatori, Slowdowns) {
  EXPECT_TRUE(memo_rallentamento(celle, 1500, 30, 300, 1, 1, 0).riuscita());
  EXPECT_EQ(celle[31].tipo, kInizioRallentamento);
  EXPECT_EQ(celle[37].tipo, kFineRallentamento);
  for (int c = 0; c < 31; ++c) EXPECT_EQ(celle[c].tipo, 0) << c;  // no warning, no kind 5

  EXPECT_TRUE(memo_rallentamento(celle, 5550, 60, 500, 2, 1, 9).riuscita());
  const Cella& w = celle[88];
  EXPECT_EQ(w.tipo, kAvvisoRallentamento);
  EXPECT_EQ(w.dato1, 60);
  EXPECT_EQ(w.dato2, 9);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(celle[87 - i].tipo, kPreavvisoRallentamento);
    EXPECT_EQ(celle[87 - i].dato1, i + 1);
    EXPECT_EQ(celle[87 - i].dato2, i + 1);
  }
  EXPECT_EQ(celle[112].tipo, kInizioRallentamento);
  EXPECT_EQ(celle[112].dato3, 2);
  EXPECT_EQ(celle[122].tipo, kFineRallentamento);
  EXPECT_EQ(celle[122].dato1, 60);

  // Start and end in one cell: it ends as the start.
  EXPECT_TRUE(memo_rallentamento(celle, 10000, 60, 20, 0, 0, 0).riuscita());
  EXPECT_EQ(celle[201].tipo, kInizioRallentamento);
}

TEST_F(Posatori, SlowdownConflicts) {
  struct Caso {
    int32_t occupata, x, f_ta, errore;
  };
  // x = 20000: warning cell 377, start 401, end 405 (l = 200), kind-5 cells 376 to 373.
  const Caso casi[] = {{377, 20000, 0, 17},
                       {401, 20000, 0, 18},
                       {405, 20000, 0, 19},
                       {374, 20000, 1, 20},
                       {374, 20000, 0, 0}};
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.occupata);
    Celle g;
    g.dimensiona(2140);
    g[k.occupata].tipo = kSegnale;
    const Posa p = memo_rallentamento(g, k.x, 60, 200, 1, k.f_ta, 0);
    EXPECT_EQ(p.errore, k.errore);
    if (k.errore != 0) {
      EXPECT_EQ(p.cella, k.occupata);
    }
    if (k.errore >= 17 && k.errore <= 19) {  // the checks come before any write
      int segnati = 0;
      for (const Cella& c : g.tutte()) segnati += c.tipo != 0;
      EXPECT_EQ(segnati, 1);
    }
  }
  // 2475: the warning cell and t are both 26, so the check finds the warning just marked.
  EXPECT_EQ(memo_rallentamento(celle, 2475, 60, 200, 1, 1, 0).errore, 20);
  EXPECT_EQ(celle[26].tipo, kAvvisoRallentamento);
}

TEST_F(Posatori, SlowdownEndPast32BitsIsAReadingFailure) {
  EXPECT_EQ(memo_rallentamento(celle, 2000000000, 60, 2000000000, 1, 0, 0).errore, kLettura);
}

// x + l and a mountain gap are 32-bit values: the ends of the range fit (the point then falls
// outside the grid, or nowhere), one past them does not.
TEST_F(Posatori, ThirtyTwoBitSumsUpToTheEndsOfTheRange) {
  struct Caso {
    int32_t x, l;
    bool entra;
  };
  for (const Caso& k : {Caso{1000, 2147482647, true}, Caso{1000, 2147482648, false},
                        Caso{-25, -2147483623, true}, Caso{-25, -2147483624, false}}) {
    SCOPED_TRACE(int64_t{k.x} + k.l);
    const Posa p = memo_rallentamento(celle, k.x, 60, k.l, 1, 0, 0);
    EXPECT_EQ(p.errore, kLettura);
    EXPECT_EQ(p.argomento, 2);  // l
    EXPECT_EQ(p.motivo.testo.find("does not fit 32 bits") == std::string::npos, k.entra)
        << p.motivo.testo;
  }
  struct Distacco {
    int32_t fine_prima, inizio;
    bool entra;
    int32_t tipo;  // a gap of 150 m or less, however far below, gives kind 3
  };
  for (const Distacco& k :
       {Distacco{-1, 2147483646, true, 1}, Distacco{-2, 2147483646, false, 1},
        Distacco{1, -2147483647, true, 3}, Distacco{2, -2147483647, false, 1}}) {
    SCOPED_TRACE(int64_t{k.inizio} - k.fine_prima);
    Montagne m;
    int32_t tipo = 1;
    ASSERT_TRUE(memo_montagna(celle, m, 100, k.fine_prima, tipo).riuscita());
    const Posa p = memo_montagna(celle, m, k.inizio, k.inizio, tipo);  // an empty span
    EXPECT_EQ(p.riuscita(), k.entra) << p.motivo.testo;
    EXPECT_EQ(tipo, k.tipo);
  }
}

TEST_F(Posatori, SpeedBoards) {
  memo_indicatori_v_max(celle, 1150, {70, 75, 75, 0, 0, 0, 0, 0});
  EXPECT_EQ(celle[24].dato1, 1400);
  memo_indicatori_v_max(celle, 5000, {1, 1, 1, 0, 12, 13, -2, 0});  // halves: 2.4, 2.6, -0.4
  EXPECT_EQ(celle[101].dato1, 22);
  EXPECT_EQ(celle[101].dato2, 23);
  EXPECT_EQ(celle[101].dato3, 20);
  EXPECT_EQ(memo_indicatori_v_max(celle, 5000, {1, 1, 1, 0, 0, 0, 0, 0}).errore, 21);
  const Posa troppo = memo_indicatori_v_max(celle, 6000, {1639, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(troppo.errore, kLettura);
  EXPECT_EQ(troppo.argomento, 1);                   // vas
  EXPECT_EQ(celle[121].tipo, kIndicatoreVelocita);  // written before the value was found too large
  EXPECT_TRUE(
      memo_indicatori_v_max(celle, 7000, {1638, 0, 0, 0, 35, 0, 0, 0}).riuscita());  // 32767
}

TEST_F(Posatori, MountainSpanPastTheGridFailsWhereItLeaves) {
  Montagne m;
  int32_t tipo = 1;
  EXPECT_EQ(memo_montagna(celle, m, 106900, 120000, tipo).errore, kLettura);
  EXPECT_EQ(celle[2140].montagna, 1);
  Montagne altre;
  int32_t vuoto = 12;
  memo_montagna(celle, altre, 500, 500, vuoto);  // an empty range changes nothing
  EXPECT_EQ(vuoto, 2);
  EXPECT_EQ(celle[10].montagna, 0);
}

}  // namespace
}  // namespace gs

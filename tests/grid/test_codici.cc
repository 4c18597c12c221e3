#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "grid/griglia.h"

namespace gs {
namespace {

// A slowdown start at `i` with its speed, and its end.
void segna_rallentamento(Celle& g, int i, int fine, int16_t v) {
  g[i].tipo = kInizioRallentamento;
  g[i].dato1 = v;
  g[fine].tipo = kFineRallentamento;
}

class Codici : public ::testing::Test {
 protected:
  Codici() { celle.dimensiona(300); }
  void metti(std::initializer_list<std::pair<int, uint8_t>> punti) {
    for (const auto& [c, t] : punti) celle[c].tipo = t;
  }
  void rallentamento(int i, int fine, int16_t v) { segna_rallentamento(celle, i, fine, v); }
  bool codice(int c) const { return celle[c].tipo == kCodice && celle[c].dato1 == 180; }
  int codici() const {
    int n = 0;
    for (const Cella& c : celle.tutte()) n += c.tipo == kCodice;
    return n;
  }
  Celle celle;
  Registro reg;
};

TEST_F(Codici, SignalsBeforeAWarningPoint) {
  metti(
      {{100, kAvvisoRallentamento}, {99, kSegnale}, {80, kSegnale}, {79, kSegnale}, {2, kSegnale}});
  metti({{30, kAvvisoRallentamento}, {10, kSegnale}, {9, kSegnale}, {8, kSegnale}});
  passa_codici(celle, reg);
  EXPECT_TRUE(codice(98));  // 1 cell before
  EXPECT_TRUE(codice(78));  // 20 cells before; the signal at 79 is 21 before: nothing
  EXPECT_EQ(celle[77].tipo, 0);
  // The signal at 10 (20 before 30) has signals in 9 and 8: error 11 at its cell.
  EXPECT_EQ(reg.n_errore, 11);
  EXPECT_EQ(reg.pos_errore, 500);
  EXPECT_EQ(codici(), 2);  // the signal in cell 2 is never treated
}

TEST_F(Codici, ExistingCodePointsAreLowered) {
  metti({{100, kAvvisoRallentamento},
         {90, kSegnale},
         {89, kCodice},
         {88, kSegnale},
         {60, kAvvisoRallentamento},
         {50, kSegnale},
         {49, kCodice},
         {48, kSegnale}});
  celle[89].dato1 = 270;
  celle[49].dato1 = 75;
  passa_codici(celle, reg);
  EXPECT_EQ(celle[89].dato1, 180);
  EXPECT_EQ(celle[49].dato1, 75);
  EXPECT_EQ(reg.n_errore, 0);
}

TEST_F(Codici, LookBackAheadOfASlowdownStart) {
  struct Caso {
    int inizio, attesi;
  };
  for (const Caso& k : {Caso{7, 0}, Caso{8, 1}, Caso{14, 2}, Caso{21, 3}}) {
    SCOPED_TRACE(k.inizio);
    Celle g;
    g.dimensiona(300);
    Registro r;
    segna_rallentamento(g, k.inizio, k.inizio + 2, 120);
    passa_codici(g, r);
    int n = 0;
    for (const Cella& c : g.tutte()) n += c.tipo == kCodice;
    EXPECT_EQ(n, k.attesi);
    EXPECT_EQ(r.n_errore, 0);
  }
  rallentamento(100, 102, 120);
  metti({{95, kSegnale}, {94, kCodice}, {89, kSegnale}, {88, kSegnale}, {87, kSegnale}});
  passa_codici(celle, reg);
  EXPECT_TRUE(codice(93));
  EXPECT_EQ(celle[94].dato1, 0);  // an existing code point is not free here
  EXPECT_TRUE(codice(82));
  EXPECT_EQ(reg.n_errore, 12);
  EXPECT_EQ(reg.pos_errore, 5000);
}

TEST_F(Codici, EveryEightCellsInsideASlowSlowdown) {
  rallentamento(100, 120, 100);
  passa_codici(celle, reg);
  EXPECT_TRUE(codice(108));
  EXPECT_TRUE(codice(116));
  EXPECT_EQ(celle[124].tipo, 0);

  Celle g;
  g.dimensiona(300);
  Registro r;
  segna_rallentamento(g, 100, 120, 100);
  g[108].tipo = kSegnale;
  passa_codici(g, r);
  EXPECT_EQ(g[107].tipo, kCodice);
  EXPECT_EQ(g[115].tipo, kCodice);

  Celle h;
  h.dimensiona(300);
  segna_rallentamento(h, 100, 120, 110);
  passa_codici(h, r);
  for (int c = 101; c < 120; ++c) EXPECT_EQ(h[c].tipo, 0) << c;
}

// A code point due in a taken cell goes to the cell before it, else to the one after, and the
// count of eight starts again from where it went.
TEST_F(Codici, FallBacksInsideASlowSlowdownShiftTheCount) {
  struct Caso {
    const char* nome;
    std::vector<int> prese;
    std::vector<int> codici;
  };
  const Caso casi[] = {
      {"none taken", {}, {108, 116, 124}},
      {"the due cell", {108}, {107, 115, 123}},
      {"the due cell and the one before", {107, 108}, {109, 117, 125}},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    Celle g;
    g.dimensiona(300);
    Registro r;
    segna_rallentamento(g, 100, 130, 60);
    for (const int c : k.prese) g[c].tipo = kSegnale;
    passa_codici(g, r);
    EXPECT_EQ(r.n_errore, 0);
    std::vector<int> dentro;
    for (int c = 101; c < 130; ++c)
      if (g[c].tipo == kCodice) dentro.push_back(c);
    EXPECT_EQ(dentro, k.codici);
  }
}

TEST_F(Codici, CodePointDueAtTheEndCellGoesBesideIt) {
  rallentamento(100, 108, 60);
  passa_codici(celle, reg);
  EXPECT_TRUE(codice(107));
  EXPECT_EQ(celle[108].tipo, kFineRallentamento);
}

TEST_F(Codici, Error13WhenNoCellIsFreeInside) {
  rallentamento(100, 120, 60);
  metti({{107, kSegnale}, {108, kSegnale}, {109, kSegnale}});
  passa_codici(celle, reg);
  EXPECT_EQ(reg.n_errore, 13);
  EXPECT_EQ(reg.pos_errore, 108 * 50);
  EXPECT_EQ(celle[116].tipo, 0);  // no further code point in this slowdown
}

TEST_F(Codici, SignalAfterTheEnd) {
  struct Caso {
    int segnale;
    bool atteso;
  };
  for (const Caso& k : {Caso{132, true}, Caso{133, false}, Caso{121, true}}) {
    SCOPED_TRACE(k.segnale);
    Celle g;
    g.dimensiona(300);
    Registro r;
    segna_rallentamento(g, 100, 120, 130);  // fast: the end is still found for step D
    g[k.segnale].tipo = kSegnale;
    passa_codici(g, r);
    EXPECT_EQ(g[k.segnale - 1].tipo == kCodice || g[k.segnale - 2].tipo == kCodice, k.atteso);
  }
  rallentamento(100, 120, 130);
  metti({{123, kSegnale}, {122, kCartelloIndicatore}, {121, kCartelloIndicatore}});
  passa_codici(celle, reg);
  EXPECT_EQ(reg.n_errore, 13);
  EXPECT_EQ(reg.pos_errore, 120 * 50);
}

TEST_F(Codici, NeverLeavesTheGrid) {
  Celle g;
  g.dimensiona(30);
  Registro r;
  g[20].tipo = kInizioRallentamento;  // no end cell: step C stops at cell U
  g[20].dato1 = 60;
  g[28].tipo = kAvvisoRallentamento;
  g[29].tipo = kSegnale;
  EXPECT_NO_THROW(passa_codici(g, r));
  EXPECT_EQ(g[28].tipo, kAvvisoRallentamento);  // 28 = U - 2 is visited; 29 is no earlier signal
  EXPECT_EQ(g[29].tipo, kSegnale);
  // A signal just past U - 12 with a code point due past U: nothing outside is touched.
  Celle h;
  h.dimensiona(30);
  h[22].tipo = kInizioRallentamento;
  h[22].dato1 = 60;
  h[29].tipo = kSegnale;
  h[30].tipo = kSegnale;
  EXPECT_NO_THROW(passa_codici(h, r));
}

}  // namespace
}  // namespace gs

// The speed allowed through each 50 m step, and the words of a timetable warning.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/percorrenza.h"

namespace gs {
namespace {

// Ten steps at 100 km/h but the last, whose limit is 0; each case's slowdowns, and what each
// step then allows.
TEST(Percorrenza, ASlowdownCountsInTheStepsItCoversWhole) {
  std::vector<Cella> celle(10);
  for (Cella& c : celle) c.velocita = 20;
  celle[9].velocita = 0;
  struct Caso {
    const char* nome;
    std::vector<Rallentato> rallentati;
    std::vector<int32_t> attese;
  };
  const Caso casi[] = {
      {"none", {}, {100, 100, 100, 100, 100, 100, 100, 100, 100, 0}},
      {"on the steps' edges", {{100, 200, 30}}, {100, 100, 30, 30, 100, 100, 100, 100, 100, 0}},
      {"inside the steps' edges", {{110, 290, 30}}, {100, 100, 100, 30, 30, 100, 100, 100, 100, 0}},
      {"within one step", {{110, 140, 30}}, {100, 100, 100, 100, 100, 100, 100, 100, 100, 0}},
      {"faster than the limit", {{0, 500, 120}}, {100, 100, 100, 100, 100, 100, 100, 100, 100, 0}},
      {"at 0 km/h or less",
       {{0, 500, 0}, {0, 500, -10}},
       {100, 100, 100, 100, 100, 100, 100, 100, 100, 0}},
      {"overlapping: the slower holds",
       {{100, 300, 60}, {200, 400, 30}, {250, 350, 50}},
       {100, 100, 60, 60, 30, 30, 30, 30, 100, 0}},
      {"past both ends of the grid, and over a step whose limit is 0",
       {{-75, 75, 40}, {400, 900, 70}},
       {40, 100, 100, 100, 100, 100, 100, 100, 70, 0}},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    EXPECT_EQ(velocita_ammesse(celle, k.rallentati), k.attese);
  }
}

TEST(Percorrenza, LeastTimeSumsTheSteps) {
  const std::vector<int32_t> ammesse = {100, 50, 0, 30};
  EXPECT_DOUBLE_EQ(tempo_minimo(ammesse, 0, 4), 1.8 + 3.6 + 0 + 6);
  EXPECT_DOUBLE_EQ(tempo_minimo(ammesse, 1, 2), 3.6);
  // Steps outside the grid count nothing.
  EXPECT_DOUBLE_EQ(tempo_minimo(ammesse, -3, 9), 11.4);
  EXPECT_DOUBLE_EQ(tempo_minimo(ammesse, 3, 1), 0);
  // A sum that should be whole stays so; any part of a second above it is a second more.
  EXPECT_EQ(secondi_interi(480.0000000001), 480);
  EXPECT_EQ(secondi_interi(477.6), 478);
}

TEST(Percorrenza, Words) {
  struct Caso {
    int64_t secondi;
    const char* testo;
  };
  const Caso durate[] = {{0, "0 s"},
                         {45, "45 s"},
                         {60, "1 min 0 s"},
                         {360, "6 min 0 s"},
                         {3600, "1 h 0 min 0 s"},
                         {3725, "1 h 2 min 5 s"},
                         {-90, "-1 min 30 s"}};
  for (const Caso& c : durate) EXPECT_EQ(durata(c.secondi), c.testo);
  // Chainage 12100 m at 0 m, decreasing (flag 1), in all three sections.
  Stazioni t{};
  for (const int i : {kProgressivaTre, kProgressivaDue, kProgressivaUno}) {
    t[static_cast<std::size_t>(i)].fine = 12100;
    t[static_cast<std::size_t>(i)].posizione = 1;
  }
  EXPECT_EQ(km_progressiva(t, 0), "km 12.100");
  EXPECT_EQ(km_progressiva(t, 11500), "km 0.600");
  EXPECT_EQ(km_progressiva(t, 12150), "km -0.050");
}

}  // namespace
}  // namespace gs

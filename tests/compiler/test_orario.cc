// The timetable against the speed limits: the least running time between two timed stations,
// worked out by hand on a small scenario, and the built-in timetable, which the limits allow.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/percorrenza.h"
#include "run/spiegazioni.h"
#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"
#include "support/sorgenti.h"

namespace gs {
namespace {

using test::linea;
using test::treno;

const std::string kAlfa = "stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 8,0,0, ALFA";
const std::string kBravo = "stazione, 9000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 8,7,30, BRAVO";

std::vector<const Diagnostica*> orari(const test::Lettura& e) {
  std::vector<const Diagnostica*> v;
  for (const Diagnostica& d : e.c.registro.elenco())
    if (d.avviso == kAvvisoOrario) v.push_back(&d);
  return v;
}

// ALFA at 1000 m, 8:00:00, and BRAVO at 9000 m, 8:07:30, on a 12000 m line whose chainage is its
// position. The limit is 100 km/h, 50 km/h from 5000 m; a slowdown at 30 km/h runs from 6000 to
// 7000 m. The least time, a 50 m cell taking 180 / v seconds at v km/h:
//   1000 to 5000 m, 80 cells at 100 km/h   80 x 1.8 = 144 s
//   5000 to 6000 m, 20 cells at 50 km/h    20 x 3.6 =  72 s
//   6000 to 7000 m, 20 cells at 30 km/h    20 x 6   = 120 s
//   7000 to 9000 m, 40 cells at 50 km/h    40 x 3.6 = 144 s
// 480 s, 8 min 0 s: the timetable's 7 min 30 s cannot be run.
TEST(Orario, WorkedExample) {
  const auto e = test::leggi(linea({}, 12000),
                             treno({"velocita, 0, 100", "velocita, 5000, 50",
                                    "rallentamento, 6000, 30, 1000, 0, 0, 0", kAlfa, kBravo}));
  EXPECT_EQ(e->n(), 0);
  const auto v = orari(*e);
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(v[0]->messaggio,
            "the train needs at least 8 min 0 s from ALFA (km 1.000) to BRAVO (km 9.000) under "
            "its speed limits; the timetable gives 7 min 30 s");
  // At BRAVO's hours field.
  EXPECT_EQ(dove(v[0]->luogo), "treno.txt:6:47");
  ASSERT_NE(v[0]->causa, nullptr);
  EXPECT_EQ(v[0]->causa->id, IdCausa::kOrario);
  EXPECT_EQ(&voce_di(v[0]->causa->id), voce("timetable"));
}

// Variations on the worked example, each with the least time it leaves (nothing when the
// timetable's 7 min 30 s can be run).
TEST(Orario, WhatCountsTowardTheLeastTime) {
  const std::string kLimiti[] = {"velocita, 0, 100", "velocita, 5000, 50"};
  struct Caso {
    const char* nome;
    std::string treno;
    const char* minimo;  // the least time the warning gives, or nullptr for no warning
  };
  const auto con = [&](std::initializer_list<std::string_view> r) {
    return treno({kLimiti[0], kLimiti[1]}) + test::righe(r);
  };
  const Caso casi[] = {
      {"the worked example", con({"rallentamento, 6000, 30, 1000, 0, 0, 0", kAlfa, kBravo}),
       "8 min 0 s"},
      // 6010 to 7010 m covers 19 cells whole; the two it covers in part keep 50 km/h.
      {"a slowdown covering part of a cell",
       con({"rallentamento, 6010, 30, 1000, 0, 0, 0", kAlfa, kBravo}), "7 min 58 s"},
      // The limit the cells hold, 100 km/h, not the 102 written.
      {"the compiled limit",
       treno({"velocita, 0, 102", kLimiti[1], "rallentamento, 6000, 30, 1000, 0, 0, 0", kAlfa,
              kBravo}),
       "8 min 0 s"},
      {"a slowdown faster than the limit",
       con({"rallentamento, 6000, 90, 1000, 0, 0, 0", kAlfa, kBravo}), nullptr},
      {"a slowdown at 0 km/h is left out",
       con({"rallentamento, 6000, 0, 1000, 0, 0, 0", kAlfa, kBravo}), nullptr},
      // 1000 to 3000 m at limit 0 count nothing: 144 - 72 + 72 + 120 + 144 = 408 s, 6 min 48 s,
      // which the timetable allows; a minute less would not do.
      {"cells whose limit is 0 are left out",
       treno({"velocita, 0, 0", "velocita, 3000, 100", kLimiti[1],
              "rallentamento, 6000, 30, 1000, 0, 0, 0", kAlfa, kBravo}),
       nullptr},
      {"cells whose limit is 0, a tighter timetable",
       treno({"velocita, 0, 0", "velocita, 3000, 100", kLimiti[1],
              "rallentamento, 6000, 30, 1000, 0, 0, 0", kAlfa,
              "stazione, 9000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 8,6,47, BRAVO"}),
       "6 min 48 s"},
      // A station at 0:00:00 has no time: the stretch runs from ALFA to BRAVO past it.
      {"a station without a time is left out",
       con({"rallentamento, 6000, 30, 1000, 0, 0, 0", kAlfa,
            "stazione, 4000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, ZULU", kBravo}),
       "8 min 0 s"},
      // 480 s exactly can be run.
      {"the timetable at the bound",
       con({"rallentamento, 6000, 30, 1000, 0, 0, 0", kAlfa,
            "stazione, 9000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 8,8,0, BRAVO"}),
       nullptr},
      {"a second below the bound",
       con({"rallentamento, 6000, 30, 1000, 0, 0, 0", kAlfa,
            "stazione, 9000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 8,7,59, BRAVO"}),
       "8 min 0 s"},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    const auto e = test::leggi(linea({}, 12000), k.treno);
    EXPECT_EQ(e->n(), 0);
    const auto v = orari(*e);
    if (k.minimo == nullptr) {
      EXPECT_TRUE(v.empty()) << v[0]->messaggio;
      continue;
    }
    ASSERT_EQ(v.size(), 1u);
    EXPECT_NE(v[0]->messaggio.find("at least " + std::string(k.minimo) + " from ALFA"),
              std::string::npos)
        << v[0]->messaggio;
  }
}

// A source whose reading stopped early has no complete profile: nothing is checked.
TEST(Orario, NotCheckedWhenTheReadingStopped) {
  const auto e = test::leggi(linea({}, 12000), treno({"velocita, 0, 100", kAlfa, kBravo,
                                                      "segnale, 99000, 1,0,0,0,0,0,0,0,0,0"}));
  EXPECT_EQ(e->n(), 15);
  EXPECT_TRUE(orari(*e).empty());
}

// The built-in timetable gives no warning. Its tightest stretch, PONTEBBA to CARNIA, needs at
// least about 25 of its 33 minutes.
TEST(Orario, TheBuiltInTimetableCanBeRun) {
  const auto e = test::leggi(componi_testo(righe_linea()), componi_testo(righe_treno()));
  ASSERT_EQ(e->n(), 0);
  EXPECT_TRUE(orari(*e).empty());
  const std::vector<int32_t> ammesse = velocita_ammesse(e->c.celle.tutte(), e->c.rallentamenti);
  const std::vector<Tratta> tratte = tratte_orario(e->c.stazioni, e->c.stazioni_lette, ammesse);
  ASSERT_EQ(tratte.size(), 6u);
  const Tratta* stretta = &tratte[0];
  for (const Tratta& t : tratte) {
    EXPECT_FALSE(t.impossibile());
    if (t.minimo / static_cast<double>(t.previsto) >
        stretta->minimo / static_cast<double>(stretta->previsto))
      stretta = &t;
  }
  EXPECT_EQ(e->c.stazioni[static_cast<std::size_t>(stretta->da)].nome, "PONTEBBA");
  EXPECT_EQ(e->c.stazioni[static_cast<std::size_t>(stretta->a)].nome, "CARNIA");
  EXPECT_EQ(stretta->previsto, 33 * 60);
  EXPECT_GT(stretta->minimo, 24 * 60);
  EXPECT_LT(stretta->minimo, 26 * 60);
}

}  // namespace
}  // namespace gs

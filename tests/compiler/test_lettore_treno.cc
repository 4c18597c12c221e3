#include <gtest/gtest.h>

#include <string>

#include "support/sorgenti.h"

namespace gs {
namespace {

using test::leggi;
using test::linea;
using test::righe;
using test::treno;

// A station line: position, kind, length, fields 4 to 13 as given, time 0, then the name.
std::string stazione(int pos, int tipo, int lunghezza, const char* campi = "0,0,0,0,0,0,0,0,0,0",
                     const char* nome = "X") {
  return "stazione, " + std::to_string(pos) + ", " + std::to_string(tipo) + ", " +
         std::to_string(lunghezza) + ", " + campi + ", 0, 0, 0, " + nome;
}

TEST(LettoreTreno, GeneralValues) {
  auto e = leggi(linea({}), treno({"numero vetture,    10", "percentuale massa frenata,    125",
                                   "sabbia,    300",
                                   "orologio,    5               26            0 ", "massa, 7"}));
  ASSERT_EQ(e->n(), 0);
  EXPECT_EQ(e->c.stazioni[kVoceParametri].posizione, 10);
  EXPECT_EQ(e->c.stazioni[kVoceParametri].inizio, 125);  // "massa" alone sets nothing
  const Stazione& t = e->c.stazioni[kVoceTreno];
  EXPECT_EQ(t.campo7, 300);
  EXPECT_EQ(t.campo10, 5);
  EXPECT_EQ(t.campo11, 26);
  EXPECT_EQ(t.campo12, 0);
}

TEST(LettoreTreno, WithoutGeneraleNothingButTheTails) {
  auto e = leggi(linea({}), "velocita, 0, 100\r\nsabbia, 5\r\n");
  EXPECT_EQ(e->n(), 0);
  EXPECT_EQ(e->c.stazioni[kVoceTreno].sabbia(), 0);
  EXPECT_EQ(e->cella(0).velocita, 0);
  EXPECT_EQ(e->cella(2137).velocita, 0);
  EXPECT_TRUE(e->sorgenti->treno_cancellata);
}

TEST(LettoreTreno, DashFieldsBeforeARecord) {
  auto e =
      leggi(linea({}), treno({"----", "----", "sabbia, 5", "----", "----", "----", "sabbia, 7"}));
  EXPECT_EQ(e->c.stazioni[kVoceTreno].sabbia(), 7);
}

TEST(LettoreTreno, SpeedAndAdhesionProfiles) {
  auto e = leggi(linea({}), treno({"velocita,       0,    75", "velocita,    5700,    30",
                                   "velocita,    7000,    60", "aderenza,       0,    90",
                                   "aderenza,   11750,   300"}));
  ASSERT_EQ(e->n(), 0);
  EXPECT_EQ(e->cella(0).velocita, 15);
  EXPECT_EQ(e->cella(113).velocita, 15);
  for (int c = 114; c <= 139; ++c) EXPECT_EQ(e->cella(c).velocita, 6) << c;
  EXPECT_EQ(e->cella(140).velocita, 12);
  EXPECT_EQ(e->cella(2137).velocita, 12);  // the tail ends at U - 3
  EXPECT_EQ(e->cella(2138).velocita, 0);
  EXPECT_EQ(e->cella(234).aderenza, 90);
  EXPECT_EQ(e->cella(235).aderenza, 44);  // low 8 bits of 300
  EXPECT_EQ(e->cella(2137).aderenza, 44);
  // Ties to even: 12.5 -> 12, 13.5 -> 14.
  auto pari = leggi(linea({}), treno({"velocita, 0, 62", "velocita, 50, 67", "velocita, 100, 0"}));
  EXPECT_EQ(pari->cella(0).velocita, 12);
  EXPECT_EQ(pari->cella(1).velocita, 13);  // 67 / 5 = 13.4
  auto troppo = leggi(linea({}), treno({"velocita, 0, 1278", "velocita, 100, 0"}));
  EXPECT_EQ(troppo->n(), 25);
}

TEST(LettoreTreno, StationExtentsAndMarkers) {
  auto e = leggi(linea({}),
                 treno({"stazione,       0,  8,  500,  0, 0, 1,  1,1,0,  4,1,1,    1,   5,27, 0, "
                        "BELMONZA VALICO",
                        stazione(6600, 12, 800, "0,1,1,0,0,0,0,0,0,0"), stazione(8300, 28, 500),
                        stazione(10000, 5, 600, "0,1,1,0,0,0,0,0,0,0"),
                        stazione(12000, 12, 500, "0,1,0,0,0,0,0,0,0,0")}));
  ASSERT_EQ(e->n(), 0);
  const Stazioni& s = e->c.stazioni;
  EXPECT_EQ(s[1].inizio, -500);
  EXPECT_EQ(s[1].fine, 500);
  EXPECT_EQ(s[1].orario, (5 * 60 + 27) * 60);
  EXPECT_EQ(s[1].nome, "BELMONZA VALICO");
  EXPECT_EQ(s[1].campo6, 0);
  EXPECT_EQ(e->cella(9).tipo, kStazione);
  EXPECT_EQ(e->cella(9).dato1, 1);
  for (int b = 1; b <= 4; ++b) EXPECT_EQ(e->cella(9 - b).preavviso, 80 + b);
  EXPECT_EQ(s[2].inizio, 6200);
  EXPECT_EQ(s[2].fine, 7050);
  EXPECT_EQ(s[2].campo5, 1);  // kept: length 800
  EXPECT_EQ(e->cella(140).tipo, kStazione);
  EXPECT_EQ(e->cella(140).dato1, 2);
  // Kind 28: no stop cell and no markers, but it takes its entry.
  EXPECT_EQ(s[3].inizio, 8050);
  EXPECT_EQ(e->cella(170).tipo, 0);
  EXPECT_EQ(e->cella(169).preavviso, 0);
  // Kind 5: from P - L to P + 150, no end extension, stop cell but no approach markers.
  EXPECT_EQ(s[4].inizio, 9400);
  EXPECT_EQ(s[4].fine, 10150);
  EXPECT_EQ(s[4].campo6, 0);
  EXPECT_EQ(e->cella(202).tipo, kStazione);
  EXPECT_EQ(e->cella(201).preavviso, 0);
  EXPECT_EQ(s[4].campo5, 1);  // kept: 600 is not below 600
  EXPECT_EQ(s[5].campo5, 0);  // length below 600
  EXPECT_EQ(e->c.stazioni_lette, 5);
}

TEST(LettoreTreno, FirstStationForcingComesAfterItsExtent) {
  auto e = leggi(linea({}), treno({stazione(1000, 12, 600, "0,1,1,0,0,0,0,0,0,0")}));
  EXPECT_EQ(e->c.stazioni[1].fine, 1350);  // 50 added for field 6 before it is forced to 0
  EXPECT_EQ(e->c.stazioni[1].campo6, 0);
  EXPECT_EQ(e->c.stazioni[1].campo5, 0);
}

TEST(LettoreTreno, StationErrors) {
  struct Caso {
    const char* nome;
    std::string record;
    int32_t errore, pos;
  };
  const std::string prima = stazione(1000, 12, 400);  // ends at 1200
  const Caso casi[] = {
      {"position not a multiple of 50", stazione(2025, 12, 400), 8, 2025},
      {"length not a multiple of 100", stazione(2000, 12, 450), 9, 2000},
      {"closer than 350 m", stazione(1700, 12, 400), 22, 1700},
      {"out of order", stazione(500, 28, 0), 22, 500},
      {"beyond the grid", stazione(106300, 12, 400), 15, 106300},
      {"stop cell too near the start", stazione(0, 12, 0), 24, 0},
      {"span -100 to 100 m", stazione(0, 12, 200), 24, 0},
      {"span 100 to 100 m", stazione(100, 12, 0), 24, 100},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const bool primo = c.errore == 24;
    auto e = leggi(linea({}), treno({primo ? c.record : prima, primo ? "" : c.record}));
    EXPECT_EQ(e->n(), c.errore);
    if (c.errore != 24) {
      EXPECT_EQ(e->pos(), c.pos);
    }
    EXPECT_TRUE(e->sorgenti->treno_cancellata);
  }
  auto esatto = leggi(linea({}), treno({prima, stazione(1750, 28, 400)}));  // 1550 - 350 = 1200
  EXPECT_EQ(esatto->n(), 0);
  // A span that ends at 150 m, the first end allowed, puts its stop in cell 2.
  for (const std::string& prima_fermata : {stazione(0, 12, 300), stazione(150, 12, 0)}) {
    SCOPED_TRACE(prima_fermata);
    auto al_limite = leggi(linea({}), treno({prima_fermata}));
    EXPECT_EQ(al_limite->n(), 0);
    EXPECT_EQ(al_limite->c.stazioni[1].fine, 150);
    EXPECT_EQ(al_limite->cella(2).tipo, kStazione);
  }
}

TEST(LettoreTreno, TooManyStations) {
  std::string molte;
  for (int i = 1; i <= 79; ++i) molte += stazione(i * 1000, 28, 0) + "\r\n";
  auto senza_cartelli = leggi(linea({}), treno({molte}));
  EXPECT_EQ(senza_cartelli->n(), 10);
  EXPECT_EQ(senza_cartelli->c.stazioni[79].posizione, 79000);

  auto settantotto = leggi(linea({}), treno({molte.substr(0, molte.rfind("stazione"))}));
  EXPECT_EQ(settantotto->n(), 0);

  auto cartelli = leggi(linea({"cartello_indicatore, 500, (A)", "cartello_indicatore, 600, (B)",
                               "cartello_indicatore, 700, (C)"}),
                        treno({molte}));
  EXPECT_EQ(cartelli->n(), 10);  // three boards: B = 77, so the 76th station is refused
  EXPECT_EQ(cartelli->c.stazioni[76].posizione, 76000);
  EXPECT_EQ(cartelli->c.stazioni[77].posizione, 0);
}

TEST(LettoreTreno, SignalsSlowdownsAndCodePoints) {
  auto e = leggi(linea({}), treno({"segnale,    4500,   1, 3, 0,  0, 0,    0,  0,0,0, 0",
                                   "segnale,   22950,   2, 4, 0,  0, 0,    0,  0,0,0, 210",
                                   "rallentamento,   10650,    30,  300, 1,  0,  0",
                                   "abbattimento, 3000, 270", "abbattimento, 3100, -1"}));
  ASSERT_EQ(e->n(), 0);
  EXPECT_EQ(e->cella(91).tipo, kSegnale);
  EXPECT_EQ(e->cella(91).dato1, 30);
  EXPECT_EQ(e->cella(460).tempo, 210);
  EXPECT_EQ(e->cella(214).tipo, kInizioRallentamento);
  EXPECT_EQ(e->cella(190).tipo, kAvvisoRallentamento);
  EXPECT_EQ(e->cella(60).tipo, kCodice);  // this cell, not one further on
  EXPECT_EQ(e->cella(60).dato1, 270);
  EXPECT_EQ(e->cella(62).tipo, kAbbattimento);
  EXPECT_EQ(e->cella(62).dato1, 0);
}

TEST(LettoreTreno, ErrorsThatStopTheReading) {
  struct Caso {
    const char* nome;
    std::string primo, secondo;
    int32_t errore, pos;
  };
  const Caso casi[] = {
      {"signal conflict", "segnale, 1225, 1,0,0,0,0,0,0,0,0,0",
       "segnale, 1275, 1,0,0,0,0,0,0,0,0,0", 16, 1275},
      {"warning cell", "segnale, 800, 1,0,0,0,0,0,0,0,0,0", "rallentamento, 2000, 30, 100, 1, 0, 0",
       17, 2000},
      {"start cell", "segnale, 2000, 1,0,0,0,0,0,0,0,0,0", "rallentamento, 2000, 30, 100, 1, 0, 0",
       18, 2000},
      {"end cell", "segnale, 2100, 1,0,0,0,0,0,0,0,0,0", "rallentamento, 2000, 30, 100, 1, 0, 0",
       19, 2000},
      {"kind-5 cells", "segnale, 900, 1,0,0,0,0,0,0,0,0,0", "rallentamento, 2200, 30, 100, 1, 1, 0",
       20, 2200},
      {"code point on a signal", "segnale, 1000, 1,0,0,0,0,0,0,0,0,0", "abbattimento, 1050, 5", 7,
       1050},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    auto e = leggi(linea({}), treno({"velocita, 0, 100", c.primo, c.secondo, "sabbia, 9"}));
    EXPECT_EQ(e->n(), c.errore);
    EXPECT_EQ(e->pos(), c.pos);
    EXPECT_EQ(e->c.stazioni[kVoceTreno].sabbia(), 0);  // nothing after the record is read
    EXPECT_EQ(e->cella(0).velocita, 0);                // and the profiles are not completed
    EXPECT_TRUE(e->sorgenti->treno_cancellata);
  }
}

TEST(LettoreTreno, Error15GoesToTheEndSteps) {
  struct Caso {
    const char* record;
    int32_t pos;
  };
  for (const Caso& c : {Caso{"segnale, 106950, 1,0,0,0,0,0,0,0,0,0", 106950},
                        Caso{"rallentamento, 106950, 30, 100, 1, 0, 0", 106950},
                        Caso{"abbattimento, 106950, 5", 106950},
                        Caso{"velocita, 106950, 5", 106950}, Caso{"aderenza, 106950, 5", 106950}}) {
    SCOPED_TRACE(c.record);
    auto e = leggi(linea({}), treno({"velocita, 0, 100", c.record, "sabbia, 9"}));
    EXPECT_EQ(e->n(), 15);
    EXPECT_EQ(e->pos(), c.pos);
    EXPECT_EQ(e->c.stazioni[kVoceTreno].sabbia(), 0);
    EXPECT_EQ(e->cella(2137).velocita, 20);  // the tails still run
  }
  // The section check still runs after an error 15, and overrides it.
  auto due = leggi(righe({"[generale]", "lunghezza percorso, 100000",
                          "progressiva chilometrica uno, 0, 100010, 1", "[curve]"}),
                   treno({"segnale, 106950, 1,0,0,0,0,0,0,0,0,0"}));
  EXPECT_EQ(due->n(), 2);
}

TEST(LettoreTreno, AnError15OfTheLineStopsTheFirstSignal) {
  auto e = leggi(linea({"pendenza, 200000, 0"}),
                 treno({"sabbia, 3", "segnale, 4500, 1,0,0,0,0,0,0,0,0,0", "sabbia, 9"}));
  EXPECT_EQ(e->n(), 15);
  EXPECT_EQ(e->pos(), 4500);
  EXPECT_EQ(e->cella(91).tipo, kSegnale);  // placed, then the reading stops
  EXPECT_EQ(e->c.stazioni[kVoceTreno].sabbia(), 3);
  ASSERT_EQ(e->c.registro.elenco().size(), 2u);
  const Diagnostica& nota = e->c.registro.elenco()[1];
  EXPECT_EQ(nota.gravita, Gravita::kNota);  // one error, and a note where the train reading stopped
  EXPECT_EQ(dove(nota.luogo), "treno.txt:3:10");
  EXPECT_EQ(nota.n_errore, 15);
  EXPECT_EQ(nota.pos_errore, 4500);
}

TEST(LettoreTreno, ReadingFailures) {
  const std::string lungo(65536, 'N');
  for (const std::string& record :
       {stazione(1000, 256, 400),
        std::string("stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 596523, 14, 8, X"),
        stazione(1000, 12, 400, "0,0,0,0,0,0,0,0,0,0", lungo.c_str()),
        std::string("rallentamento, 2000000000, 30"), std::string("sabbia, 40000")}) {
    SCOPED_TRACE(record.substr(0, 60));
    auto e = leggi(linea({}), treno({record}));
    EXPECT_EQ(e->n(), 25);
    EXPECT_TRUE(e->sorgenti->linea_cancellata);
    EXPECT_TRUE(e->sorgenti->treno_cancellata);
  }
  auto mancante = leggi(linea({}), std::nullopt);
  EXPECT_EQ(mancante->n(), 25);
}

}  // namespace
}  // namespace gs

namespace gs {
namespace {

TEST(LettoreTreno, ThirtyTwoBitStepsFailWhereTheyLeaveTheRange) {
  struct Caso {
    const char* nome;
    std::string treno;
  };
  const Caso casi[] = {
      // (35791395 x 60 - 2147483000) x 60 = 42000 fits, but 35791395 x 60 does not.
      {"scheduled time",
       test::treno({"stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 35791395, -2147483000, 0, A"})},
      // -2147483600 - 350 leaves the range before it is compared with the previous end.
      {"start - 350", test::treno({"stazione, 0, 5, 100, 0,0,0,0,0,0,0,0,0,0, 0,0,0, A",
                                   "stazione, 0, 5, 2147483600, 0,0,0,0,0,0,0,0,0,0, 0,0,0, B"})},
      // 35791394 x 60 + 8 = 2147483648, one past the top.
      {"scheduled time one past the top",
       test::treno({"stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0, 35791394, 8, A"})},
      {"scheduled time one below the bottom",
       test::treno({"stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0, -35791394, -9, A"})},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    auto e = test::leggi(test::linea({}), k.treno);
    EXPECT_EQ(e->n(), 25);
    EXPECT_NE(e->c.registro.elenco().back().messaggio.find("does not fit 32 bits"),
              std::string::npos);
  }
  // The ends of the range themselves fit.
  auto bordi = test::leggi(
      test::linea({}),
      test::treno({"stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0, 35791394, 7, A",
                   "stazione, 2000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0, -35791394, -8, B"}));
  EXPECT_EQ(bordi->n(), 0);
  EXPECT_EQ(bordi->c.stazioni[1].orario, 2147483647);
  EXPECT_EQ(bordi->c.stazioni[2].orario, -2147483647 - 1);
}

}  // namespace
}  // namespace gs

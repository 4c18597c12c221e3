#include <gtest/gtest.h>

#include <string>

#include "format/geometria.h"
#include "format/immagine_geometria.h"
#include "support/sorgenti.h"

namespace gs {
namespace {

using test::leggi;
using test::linea;
using test::righe;
using test::treno;

// The plan view as the compiled file holds it.
Geometria pianta(const Linea& l) { return decodifica_geometria(immagine_geometria(l)); }

TEST(LettoreLinea, SizesTheGridAndFillsGradientAndPlanView) {
  auto e = leggi(linea({}));
  EXPECT_EQ(e->n(), 0);
  EXPECT_EQ(e->c.celle.ultimo(), 2140);
  EXPECT_EQ(e->c.linea.ultimo_metro(), 107000);
  EXPECT_EQ(e->c.stazioni[kVoceParametri].fine, 100000);
  EXPECT_EQ(e->cella(2137).pendenza, 100);
  EXPECT_EQ(e->cella(2138).pendenza, 0);
  EXPECT_EQ(e->c.linea.cursore(), 106999);  // filled up to metre 106998
  const Geometria g = pianta(e->c.linea);
  EXPECT_EQ(g.colonna1[106998].valore, 106998.0);
  EXPECT_EQ(g.colonna0[106998].valore, 0.0);
  EXPECT_FALSE(g.posizionato(106999));
  EXPECT_TRUE(e->sorgenti->linea_cancellata);
  EXPECT_TRUE(e->sorgenti->treno_cancellata);

  auto massima = leggi(linea({}, 1000000));
  EXPECT_EQ(massima->n(), 0);
  EXPECT_EQ(massima->c.celle.ultimo(), 20140);

  auto senza_geometria = leggi(linea({"curvad6,  2300,  300"}), treno({}), 0);
  EXPECT_EQ(senza_geometria->n(), 0);
  EXPECT_FALSE(senza_geometria->c.linea.dimensionata());
}

// The shortest line with a grid: the last cell is round((length + 7000) / 50), ties to even, and
// cell 1 must exist. The message states the bound the reader applies.
TEST(LettoreLinea, TheShortestLineThatHasAGrid) {
  EXPECT_EQ(leggi(linea({}, -6974))->n(), 0);
  auto troppo = leggi(linea({}, -6975));
  EXPECT_EQ(troppo->n(), 25);
  ASSERT_FALSE(troppo->c.registro.elenco().empty());
  EXPECT_NE(troppo->c.registro.elenco().back().messaggio.find("must be -6974 m or more"),
            std::string::npos)
      << troppo->c.registro.elenco().back().messaggio;
}

// Errors that stop the line part: the train source is left alone and not read.
TEST(LettoreLinea, ErrorsOfTheLinePart) {
  struct Caso {
    const char* nome;
    std::string testo;
    int32_t errore;
    bool griglia;
  };
  const Caso casi[] = {
      {"too long", linea({}, 1000001), 1, false},
      {"no [generale]", righe({"lunghezza percorso, 100", "[fine]"}), 102, false},
      {"[generale] is the last field", "x\r\n[generale]\r\n", 102, false},
      {"empty file", "", 102, false},
      {"first repetition",
       righe({"[generale]", "lunghezza percorso, 1000", "ripetizione segnali 4 codici, 25, 0",
              "[curve]"}),
       3, true},
      {"second repetition",
       righe({"[generale]", "lunghezza percorso, 1000", "ripetizione segnali 4 codici, 100, 25",
              "[curve]"}),
       4, true},
      {"no code count",
       righe({"[generale]", "lunghezza percorso, 1000", "ripetizione segnali codici, 100, 100",
              "[curve]"}),
       5, true},
      {"curve without class", linea({"curvad7,  2300,  300"}), 103, true},
      {"curve without digit", linea({"curvas,  2300,  300"}), 103, true},
      {"curve past metre 1000000", linea({"curvad6,  999000,  1500"}, 1000000), 103, true},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    auto e = leggi(c.testo);
    EXPECT_EQ(e->n(), c.errore);
    EXPECT_EQ(e->c.celle.dimensionata(), c.griglia);
    EXPECT_TRUE(e->sorgenti->linea_cancellata);
    EXPECT_FALSE(e->sorgenti->treno_cancellata);
  }
}

TEST(LettoreLinea, MissingLineSourceDeletesNothing) {
  auto e = leggi(std::nullopt);
  EXPECT_EQ(e->n(), 101);
  EXPECT_FALSE(e->sorgenti->linea_cancellata);
  EXPECT_FALSE(e->sorgenti->treno_cancellata);
}

// Reading failures end both readers and delete both sources.
TEST(LettoreLinea, ReadingFailuresAreError25) {
  struct Caso {
    const char* nome;
    std::string testo;
    bool griglia;
  };
  const std::string lungo(65536, 'X');
  const Caso casi[] = {
      {"no line length", righe({"[generale]", "sfondo uno, 5", "[curve]", "[fine]"}), false},
      {"grid without cell 1", linea({}, -6975), false},
      {"not a number", righe({"[generale]", "lunghezza percorso, 1e5", "[curve]"}), false},
      {"past the end in the general section", "[generale]\r\nlunghezza percorso", false},
      {"value past the end",
       righe({"[generale]", "lunghezza percorso, 1000", "[curve]", "pendenza, 100"}), true},
      {"gradient + 100 outside a byte", linea({"pendenza, 0, 156", "pendenza, 100, 0"}), true},
      {"gradient cursor past the grid", linea({test::ripeti("pendenza, 1000, 0", 25)}, -5000),
       true},
      {"mountain end past the grid", linea({"montagna, 100, 200000, 1"}), true},
      {"curve end past the plan view", linea({"curvad6, 106000, 2000"}), true},
      {"curve end one metre past the plan view", linea({"curvad6, 106000, 1001"}), true},
      {"board text too long", linea({"cartello_indicatore, 100, " + lungo}), true},
      {"speed board value past 16 bits", linea({"indicatori_vmax, 1150, 2000, 0, 0, 0, , , , 0"}),
       true},
      {"chainage + 100 past 32 bits",
       righe({"[generale]", "lunghezza percorso, 1000",
              "progressiva chilometrica uno, 0, 2147483600, 1", "[curve]"}),
       true},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    auto e = leggi(c.testo);
    EXPECT_EQ(e->n(), 25);
    EXPECT_EQ(e->c.celle.dimensionata(), c.griglia);
    EXPECT_TRUE(e->sorgenti->linea_cancellata);
    EXPECT_TRUE(e->sorgenti->treno_cancellata);
  }
}

TEST(LettoreLinea, OrdersTheChainageSections) {
  struct Sez {
    int32_t s, v, f;
    bool operator==(const Sez&) const = default;
  };
  struct Caso {
    const char* nome;
    Sez tre, due, uno;
    Sez e81, e82, e83;
    int32_t errore = 0;
  };
  const Caso casi[] = {
      {"only uno", {0, 0, 0}, {0, 0, 0}, {0, 100000, 1}, {0, 100100, 1}, {0, 0, 0}, {0, 0, 0}},
      {"only tre", {0, 5000, 0}, {0, 0, 0}, {0, 0, 0}, {0, 5000, 0}, {0, 0, 0}, {0, 0, 0}},
      {"only due", {0, 0, 0}, {0, 700, 1}, {0, 0, 0}, {0, 800, 1}, {0, 0, 0}, {0, 0, 0}},
      {"shared largest start",
       {500, 1, 0},
       {500, 2, 0},
       {0, 3, 0},
       {0, 0, 0},
       {0, 0, 0},
       {0, 0, 0}},
      {"by start", {100, 1, 0}, {300, 2, 1}, {200, 3, 0}, {300, 102, 1}, {200, 3, 0}, {100, 1, 0}},
      {"equal smaller starts",
       {0, 1, 0},
       {0, 2, 0},
       {500, 3, 0},
       {500, 3, 0},
       {0, 2, 0},
       {0, 1, 0}},
      // A flagged value whose 100 m leaves 32 bits: the entries are ordered all the same, and
      // the one that overflows and those after it keep their values as read.
      {"+100 overflows in 82",
       {1600, 2147483647, 1},
       {0, 31400, 1},
       {4250, 0, 2},
       {4250, 0, 2},
       {1600, 2147483647, 1},
       {0, 31400, 1},
       25},
      {"+100 overflows after an addition",
       {1600, 2147483647, 1},
       {4000, 50, 1},
       {0, 7, 1},
       {4000, 150, 1},
       {1600, 2147483647, 1},
       {0, 7, 1},
       25},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    auto riga = [](const char* n, Sez z) {
      return "progressiva chilometrica " + std::string(n) + ", " + std::to_string(z.s) + ", " +
             std::to_string(z.v) + ", " + std::to_string(z.f);
    };
    const std::string testo = righe({"[generale]", "lunghezza percorso, 1000", riga("tre", c.tre),
                                     riga("due", c.due), riga("uno", c.uno), "[curve]"});
    auto e = leggi(testo);
    auto voce = [&](std::size_t i) {
      const Stazione& s = e->c.stazioni[i];
      return Sez{s.inizio, s.fine, s.posizione};
    };
    EXPECT_EQ(voce(81), c.e81);
    EXPECT_EQ(voce(82), c.e82);
    EXPECT_EQ(voce(83), c.e83);
    if (c.errore != 0) {
      EXPECT_EQ(e->n(), c.errore);
    }
  }
}

TEST(LettoreLinea, ChainageCheckAfterTheTrainSource) {
  auto e = leggi(righe({"[generale]", "lunghezza percorso, 1000",
                        "progressiva chilometrica uno, 0, 100010, 1", "[curve]"}));
  EXPECT_EQ(e->n(), 2);
  auto pari = leggi(
      righe({"[generale]", "lunghezza percorso, 1000", "progressiva chilometrica uno, 500, 0, 0",
             "progressiva chilometrica due, 500, 0, 0", "[curve]"}));
  EXPECT_EQ(pari->n(), 0);
}

TEST(LettoreLinea, GeneralSectionRecords) {
  auto e = leggi(righe({"junk before", "[generale]", "lunghezza percorso,    100000",
                        "sfondo uno,    80000", "sfondo due,    65000", "sfondo tre,    1",
                        "ripetizione segnali 9 codici,    100    ,200", "-------",
                        "PROGRESSIVA CHILOMETRICA UNO, 0, 5000, 0", "[curve]"}));
  EXPECT_EQ(e->n(), 0);
  const Stazione& l = e->c.stazioni[kVoceLinea];
  EXPECT_EQ(l.inizio, 80000);
  EXPECT_EQ(l.posizione, 65000);
  EXPECT_EQ(l.fine, 1);
  EXPECT_EQ(l.nome, "BELMONZA VALICO - SOLMA");
  const Stazione& t = e->c.stazioni[kVoceTreno];
  EXPECT_EQ(t.inizio, 100);
  EXPECT_EQ(t.fine, 200);
  EXPECT_EQ(t.posizione, 9);
  EXPECT_EQ(t.nome, "D 237");
  EXPECT_EQ(e->c.stazioni[kProgressivaTre].fine, 0);  // "UNO" in capitals is no keyword

  auto zero = leggi(righe({"[generale]", "lunghezza percorso, 1000",
                           "ripetizione segnali 4 codici,    0    ,0", "[curve]"}));
  EXPECT_EQ(zero->c.stazioni[kVoceTreno].posizione, 0);
}

TEST(LettoreLinea, DashFieldsAndTheEndOfTheGeneralSection) {
  // A dash field does not end the section; the record after it is still general.
  auto e = leggi(righe(
      {"[generale]", "-----", "lunghezza percorso, 1000", "[-x-]", "sfondo uno, 7", "[curve]"}));
  EXPECT_EQ(e->c.stazioni[kVoceLinea].inizio, 7);
  // After the general section a third dash field in a row is a keyword field (ignored).
  auto f = leggi(linea({"---", "---", "---", "pendenza, 100, 5", "pendenza, 200, 0"}));
  EXPECT_EQ(f->n(), 0);
  EXPECT_EQ(f->cella(1).pendenza, 100);
  EXPECT_EQ(f->cella(2).pendenza, 105);
  // "pendenza" in capitals is a gradient record.
  auto g = leggi(linea({"PENDENZA, 0, 5", "pendenza, 100, 0"}));
  EXPECT_EQ(g->cella(1).pendenza, 105);
}

TEST(LettoreLinea, TheLastFieldOfTheFile) {
  // A keyword that is the very last field is not read; a record whose values end the file is.
  auto ultimo = leggi("[generale]\r\nlunghezza percorso, 1000\r\n[curve]\r\npendenza");
  EXPECT_EQ(ultimo->n(), 0);
  auto valori = leggi("[generale]\r\nlunghezza percorso, 1000\r\n[curve]\r\npendenza, 0, 5");
  EXPECT_EQ(valori->n(), 0);
  EXPECT_EQ(valori->cella(0).pendenza, 105);
}

TEST(LettoreLinea, GradientFill) {
  auto e = leggi(
      linea({"pendenza, 0, -22", "pendenza, 300, 5", "pendenza, 300, 7", "pendenza, 325, 1"}));
  EXPECT_EQ(e->n(), 0);
  // The first record at 0 writes nothing; the next fills cells 0 to 5 with -22.
  for (int c = 0; c <= 5; ++c) EXPECT_EQ(e->cella(c).pendenza, 78) << c;
  // A record at the same start still writes one cell and advances.
  EXPECT_EQ(e->cella(6).pendenza, 105);
  // 325 / 50 = 6.5 rounds to 6, already passed: one more cell.
  EXPECT_EQ(e->cella(7).pendenza, 107);
  EXPECT_EQ(e->cella(8).pendenza, 101);
  EXPECT_EQ(e->cella(2137).pendenza, 101);
}

TEST(LettoreLinea, PlanViewCurves) {
  auto e = leggi(linea({"curvad6,  10,  5", "curvaS4,  20,  2"}));
  ASSERT_EQ(e->n(), 0);
  const Geometria g = pianta(e->c.linea);
  const auto x0 = [&](int m) { return g.colonna0[static_cast<std::size_t>(m)].valore; };
  const auto x1 = [&](int m) { return g.colonna1[static_cast<std::size_t>(m)].valore; };
  for (int m = 0; m <= 10; ++m) {
    EXPECT_EQ(x0(m), 0.0);
    EXPECT_EQ(x1(m), m);
  }
  // Right-hand: each step turns toward column 0 by 0.003.
  double x = 0, y = 10, dx = 0, dy = 1;
  for (int m = 11; m <= 15; ++m) {
    const double nx = x + dx + 0.003 * dy, ny = y + dy - 0.003 * dx;
    dx = nx - x;
    dy = ny - y;
    x = nx;
    y = ny;
    EXPECT_EQ(x0(m), x) << m;
    EXPECT_EQ(x1(m), y) << m;
  }
  EXPECT_GT(x0(15), 0.0);
  // Left-hand ("S" matched in any case) turns back toward negative column 0.
  EXPECT_LT(x0(22) - x0(21), x0(20) - x0(19));
  // A keyword holding both 1 and 6 is class 1.
  auto uno = leggi(linea({"curvad16, 1, 5"}));
  const Geometria gu = pianta(uno->c.linea);
  EXPECT_DOUBLE_EQ(gu.colonna0[2].valore - gu.colonna0[1].valore, 0.0001);
  // A curve may run up to the plan view's last metre, 7000 m past the end of the line.
  auto ultimo = leggi(linea({"curvad6, 106000, 1000"}));
  EXPECT_EQ(ultimo->n(), 0);
  EXPECT_EQ(ultimo->c.linea.cursore(), 107001);
  const Geometria gl = pianta(ultimo->c.linea);
  EXPECT_GT(gl.colonna0[107000].valore, gl.colonna0[106000].valore);
}

TEST(LettoreLinea, Error15StopsTheLineButTheTrainIsRead) {
  auto e = leggi(linea({"pendenza, 0, 5", "pendenza, 106901, 3", "pendenza, 200, 9"}),
                 treno({"sabbia, 300"}));
  EXPECT_EQ(e->n(), 15);
  EXPECT_EQ(e->pos(), 106901);
  EXPECT_EQ(e->c.stazioni[kVoceTreno].sabbia(), 300);
  EXPECT_EQ(e->cella(0).pendenza, 105);
  EXPECT_EQ(e->cella(2137).pendenza, 105);  // the end fill still runs
  EXPECT_TRUE(e->sorgenti->treno_cancellata);
  // 106900 + 100 = 107000 = 2140 * 50 is still inside.
  auto bordo = leggi(linea({"pendenza, 106900, 3"}));
  EXPECT_EQ(bordo->n(), 0);
}

TEST(LettoreLinea, MountainSpans) {
  auto e = leggi(linea({"montagna,   4700,  4900,  1", "montagna, 5150, 5700, 1",
                        "montagna, 20050, 20400, 11", "montagna, 20500, 20600, 2",
                        "montagna, 20750, 20850, 2", "montagna, 21001, 21100, 2"}));
  ASSERT_EQ(e->n(), 0);
  for (int c = 94; c <= 97; ++c) EXPECT_EQ(e->cella(c).montagna, 1) << c;
  EXPECT_EQ(e->cella(98).montagna, 0);
  EXPECT_EQ(e->cella(103).montagna, 1);  // 250 m gap: keeps its kind
  for (int c = 401; c <= 407; ++c) EXPECT_EQ(e->cella(c).montagna, 1) << c;
  EXPECT_EQ(e->cella(404).tipo, kMarcaMontagna);
  EXPECT_EQ(e->cella(403).tipo, 0);
  EXPECT_EQ(e->cella(410).montagna, 3);  // starts 100 m after the previous end
  EXPECT_EQ(e->cella(415).montagna, 3);  // 150 m after: still within reach
  EXPECT_EQ(e->cella(420).montagna, 2);  // 151 m after: keeps its kind

  std::string ottanta;
  for (int i = 0; i < 80; ++i)
    ottanta +=
        "montagna, " + std::to_string(i * 1000) + ", " + std::to_string(i * 1000 + 50) + ", 1\r\n";
  auto pieno = leggi(linea({ottanta}));
  EXPECT_EQ(pieno->n(), 0);
  auto oltre = leggi(linea({ottanta + "montagna, 90000, 90050, 1"}));
  EXPECT_EQ(oltre->n(), 25);
  EXPECT_EQ(oltre->cella(1800).montagna, 0);  // nothing of the 81st is written
}

TEST(LettoreLinea, SpeedBoards) {
  auto e = leggi(linea({"indicatori_vmax,  1150,  70,  75,  75,  0,  ,  ,  ,  0",
                        "indicatori_vmax,  2000,  70,  75,  75,  2,  12,  13,  14,  3"}));
  ASSERT_EQ(e->n(), 0);
  const Cella& c = e->cella(24);
  EXPECT_EQ(c.tipo, kIndicatoreVelocita);
  EXPECT_EQ(c.dato1, 1400);
  EXPECT_EQ(c.dato2, 1500);
  EXPECT_EQ(c.dato3, 1500);
  EXPECT_EQ(c.dato4, 0);
  const Cella& d = e->cella(41);
  EXPECT_EQ(d.dato1, 1402);  // 12 / 5 = 2.4
  EXPECT_EQ(d.dato2, 1503);  // 13 / 5 = 2.6
  EXPECT_EQ(d.dato3, 1503);  // 14 / 5 = 2.8
  EXPECT_EQ(d.dato4, 23);

  auto conflitto = leggi(linea({"indicatori_vmax, 1225, 1, 1, 1, 0, , , , 0",
                                "indicatori_vmax, 1275, 1, 1, 1, 0, , , , 0"}),
                         treno({"sabbia, 1"}));
  EXPECT_EQ(conflitto->n(), 21);
  EXPECT_EQ(conflitto->pos(), 1275);
  EXPECT_EQ(conflitto->c.stazioni[kVoceTreno].sabbia(), 0);  // the train is not read
  EXPECT_FALSE(conflitto->sorgenti->treno_cancellata);
}

TEST(LettoreLinea, IndicationBoards) {
  auto e = leggi(linea({"montagna, 20050, 20400, 11",
                        "cartello_indicatore,  4650,   (GALERIA ARTIF.  )(Mt.140 Km.95+278)",
                        "cartello_indicatore,  20150,   (B)"}));
  ASSERT_EQ(e->n(), 0);
  EXPECT_EQ(e->cella(94).tipo, kCartelloIndicatore);
  EXPECT_EQ(e->cella(94).dato1, 80);
  EXPECT_EQ(e->c.stazioni[80].nome, "(GALERIA ARTIF.  )(Mt.140 Km.95+278)");
  EXPECT_EQ(e->cella(404).tipo, kCartelloIndicatore);  // a mountain marker gives way
  EXPECT_EQ(e->c.stazioni[79].nome, "(B)");

  // The longest text a table entry holds; one byte more is a reading failure.
  auto lungo = leggi(linea({"cartello_indicatore, 100, " + std::string(65535, 'X')}));
  EXPECT_EQ(lungo->n(), 0);
  EXPECT_EQ(lungo->c.stazioni[80].nome, std::string(65535, 'X'));

  auto doppio = leggi(linea({"cartello_indicatore, 1225, (A)", "cartello_indicatore, 1275, (B)"}));
  EXPECT_EQ(doppio->n(), 6);
  EXPECT_EQ(doppio->pos(), 1275);

  std::string molti;
  for (int i = 0; i < 79; ++i)
    molti += "cartello_indicatore, " + std::to_string(i * 100) + ", (X)\r\n";
  auto pieno = leggi(linea({molti}));
  EXPECT_EQ(pieno->n(), 0);
  EXPECT_EQ(pieno->c.stazioni[2].nome, "(X)");
  auto oltre = leggi(linea({molti + "cartello_indicatore, 50000, (Y)"}));
  EXPECT_EQ(oltre->n(), 25);
  EXPECT_EQ(oltre->cella(1001).tipo, 0);
  EXPECT_TRUE(oltre->c.stazioni[1].nome.empty());
}

TEST(LettoreLinea, DiagnosticsNameTheRecordLine) {
  auto e = leggi(linea({"pendenza, 0, 5", "indicatori_vmax, 1225, 1, 1, 1, 0, , , , 0",
                        "indicatori_vmax, 1275, 1, 1, 1, 0, , , , 0"}));
  ASSERT_EQ(e->c.registro.elenco().size(), 1u);
  const Diagnostica& d = e->c.registro.elenco()[0];
  EXPECT_EQ(dove(d.luogo), "linea.txt:6:18");
  EXPECT_EQ(d.n_errore, 21);
  EXPECT_EQ(d.pos_errore, 1275);
  EXPECT_EQ(d.messaggio,
            "the speed board at 1275 m falls in the cell at 1250 m, which already holds the "
            "speed board at 1225 m from linea.txt:5");
  ASSERT_EQ(d.correlati.size(), 1u);
  EXPECT_EQ(dove(d.correlati[0].luogo), "linea.txt:5:1");
}

}  // namespace
}  // namespace gs

namespace gs {
namespace {

// Three points the reading leaves open, settled: each 32-bit step is checked as it is taken,
// the plan view stops with metre 1000000, and the 80th board is refused only once it could
// otherwise be placed.
TEST(LettoreLinea, ThirtyTwoBitStepsFailWhereTheyLeaveTheRange) {
  // The sums' final values fit; an intermediate one does not.
  auto sezioni = test::leggi(test::righe(
      {"[generale]", "lunghezza percorso, 100000", "progressiva chilometrica tre, 2000000000, 0, 0",
       "progressiva chilometrica due, 2000000000, 0, 0",
       "progressiva chilometrica uno, -2000000000, 0, 0", "[curve]"}));
  EXPECT_EQ(sezioni->n(), 25);
  EXPECT_EQ(dove(sezioni->c.registro.elenco().back().luogo), "linea.txt:4:31");
  auto montagne =
      test::leggi(test::linea({"montagna, 100, -2147483000, 1", "montagna, 1000, 2000, 1"}));
  EXPECT_EQ(montagne->n(), 25);
  auto vicine =
      test::leggi(test::linea({"montagna, 100, -2147482000, 1", "montagna, 1000, 2000, 1"}));
  EXPECT_EQ(vicine->n(), 0);
  EXPECT_EQ(vicine->cella(20).montagna, 1);  // 3 147 483 000 m apart: not within 150 m
}

TEST(LettoreLinea, ThePlanViewEndsWithMetre1000000) {
  struct Caso {
    const char* curva;
    int32_t errore;
  };
  for (const Caso& k : {Caso{"curvad1, 999000, 999", 0}, Caso{"curvad1, 999000, 1000", 103},
                        Caso{"curvad1, 1000000, 0", 103}, Caso{"curvad1, 999999, 0", 0}}) {
    SCOPED_TRACE(k.curva);
    auto e = test::leggi(test::linea({k.curva}, 1000000));
    EXPECT_EQ(e->n(), k.errore);
    if (k.errore != 0) {
      EXPECT_EQ(e->c.linea.cursore(), 1000001);  // metre 1000000 is written
    }
  }
}

TEST(LettoreLinea, The80thBoardIsRefusedAfterItsPositionAndCellTests) {
  std::string molti;
  for (int i = 1; i <= 79; ++i)
    molti += "cartello_indicatore, " + std::to_string(i * 100) + ", (X)\r\n";
  struct Caso {
    const char* ottantesimo;
    int32_t errore;
  };
  for (const Caso& k :
       {Caso{"cartello_indicatore, 200000, (Y)", 15}, Caso{"cartello_indicatore, 7900, (Y)", 6},
        Caso{"cartello_indicatore, 50000, (Y)", 25}}) {
    SCOPED_TRACE(k.ottantesimo);
    auto e = test::leggi(test::linea({molti + k.ottantesimo}));
    EXPECT_EQ(e->n(), k.errore);
    EXPECT_EQ(e->cella(1001).tipo, 0);
    EXPECT_TRUE(e->c.stazioni[1].nome.empty());
  }
}

}  // namespace
}  // namespace gs

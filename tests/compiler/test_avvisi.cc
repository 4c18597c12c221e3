// Warnings for what the readers skip or an author may not mean; a warning never changes what
// is compiled.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/griglia.h"
#include "format/immagine_geometria.h"
#include "format/tabella.h"
#include "run/spiegazioni.h"
#include "support/sorgenti.h"

namespace gs {
namespace {

using test::linea;
using test::treno;

const std::string kStazione = "stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, A";

struct Caso {
  const char* nome;
  std::string linea;
  std::string treno;
  const char* avviso;     // the warning's name
  const char* dove;       // FILE:LINE:COL, or FILE
  const char* messaggio;  // a part of the message
};

std::vector<const Diagnostica*> avvisi(const test::Lettura& e) {
  std::vector<const Diagnostica*> v;
  for (const Diagnostica& d : e.c.registro.elenco())
    if (d.gravita == Gravita::kAvviso) v.push_back(&d);
  return v;
}

TEST(Avvisi, OnePerSkippedOrDoubtfulRecord) {
  const Caso casi[] = {
      {"misspelt gradient", linea({"pendenzza, 100, 5"}), treno({kStazione}), "unknown-record",
       "linea.txt:4:1",
       "\"pendenzza\" matches no record type and is skipped; did you mean \"pendenza\"?"},
      {"misspelt curve", linea({"curvx5, 2000, 100"}), treno({kStazione}), "unknown-record",
       "linea.txt:4:1", "did you mean \"curvad5\"?"},
      {"misspelt signal", linea({}), treno({kStazione, "segnal, 4500, 1,0,0,0,0,0,0,0,0,0"}),
       "unknown-record", "treno.txt:3:1", "did you mean \"segnale\"?"},
      {"capital UNO",
       test::righe({"[generale]", "lunghezza percorso, 100000",
                    "progressiva chilometrica UNO, 0, 100000, 1", "[curve]"}),
       treno({kStazione}), "unknown-record", "linea.txt:3:1", "read in lower case only"},
      {"a later record in the general section",
       test::righe({"[generale]", "lunghezza percorso, 100000", "pendenza, 0, 5", "[curve]"}),
       treno({kStazione}), "unknown-record", "linea.txt:3:1",
       "records with \"pendenza\" are read in the line source after its general"},
      {"a train record in the line source", linea({"segnale, 4500, 1,0,0,0,0,0,0,0,0,0"}),
       treno({kStazione}), "unknown-record", "linea.txt:4:1",
       "records with \"segnale\" are read in the train source"},
      {"misspelt head ending the general section",
       test::righe({"[generale]", "lunghezza percorso, 100000", "[curva]", "[fine]"}),
       treno({kStazione}), "unknown-section", "linea.txt:3:1",
       "unknown section head \"[curva]\" is skipped; did you mean \"[curve]\"?"},
      {"misspelt train head", linea({}), treno({"[segnalli]", kStazione}), "unknown-section",
       "treno.txt:2:1", "did you mean \"[segnali]\"?"},
      {"a value too many", linea({"pendenza, 0, 5, 7"}), treno({kStazione}), "extra-value",
       "linea.txt:4:17", "the value \"7\" stands where a record keyword is expected"},
      {"a decimal value too many", linea({"pendenza, 3000, 12, 1.5"}), treno({kStazione}),
       "extra-value", "linea.txt:4:21",
       "the value \"1.5\" stands where a record keyword is expected"},
      {"[general]", linea({}), test::righe({"[general]", kStazione}), "no-general", "treno.txt",
       "nothing in it is read; did you mean \"[generale]\"?"},
      {"empty train source", linea({}), "", "no-general", "treno.txt", "the train source is empty"},
      {"no station", linea({}), treno({"velocita, 0, 75"}), "no-station", "treno.txt",
       "has no station record"},
      {"station past the end", linea({}, 12000),
       treno({"stazione, 15000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, A"}), "past-line-end",
       "treno.txt:2:11", "the station at 15000 m lies past the end of the 12000 m line"},
      {"signal past the end", linea({}, 12000),
       treno({kStazione, "segnale, 12050, 1,0,0,0,0,0,0,0,0,0"}), "past-line-end", "treno.txt:3:10",
       "the signal at 12050 m"},
      {"slowdown past the end", linea({}, 12000),
       treno({kStazione, "rallentamento, 13000, 60, 200, 1, 0, 0"}), "past-line-end",
       "treno.txt:3:16", "the slowdown at 13000 m"},
      {"speed board past the end", linea({"indicatori_vmax, 12500, 1,1,1,0,,,,0"}, 12000),
       treno({kStazione}), "past-line-end", "linea.txt:4:18", "the speed board at 12500 m"},
      {"board past the end", linea({"cartello_indicatore, 12500, (A)"}, 12000), treno({kStazione}),
       "past-line-end", "linea.txt:4:22", "the indication board at 12500 m"},
      {"decimal comma", linea({"pendenza, 3000, 12,5"}), treno({kStazione}), "extra-value",
       "linea.txt:4:20",
       "\"12,5\" was read as the value 12, then a stray \"5\" that is skipped: values are whole "
       "numbers"},
      {"thousands separator", linea({}), treno({kStazione, "sabbia, 1 000"}), "extra-value",
       "treno.txt:3:11", "\"1 000\" was read as the value 1, then a stray \"000\""},
      {"short board, its text on the next line", linea({"cartello_indicatore, 100", "(A)"}),
       treno({kStazione}), "short-record", "linea.txt:4:1",
       "\"cartello_indicatore\" has 1 of its 2 values on its line; its indication board text was "
       "read from line 5 (\"(A)\")"},
      // The rest of the line it took from is not warned about again.
      {"short board, the next record's keyword for its text",
       linea({"cartello_indicatore, 100", "pendenza, 3000, 12"}), treno({kStazione}),
       "short-record", "linea.txt:4:1",
       "its indication board text was read from line 5 (\"pendenza\")"},
      {"short station", linea({}),
       treno({"stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0", "A"}), "short-record",
       "treno.txt:2:1",
       "\"stazione\" has 16 of its 17 values on its line; its station name was read from line 3"},
      {"short clock, a blank line read as 0", linea({}), treno({kStazione, "orologio, 7 0", ""}),
       "short-record", "treno.txt:3:1",
       "\"orologio\" has 2 of its 3 values on its line; its clock seconds was read from line 4 "
       "(\"\")"},
      {"short signal, several values from the next lines", linea({}),
       treno({kStazione, "segnale, 4500, 1,0,0,0,0,0,0", "", "", "0"}), "short-record",
       "treno.txt:3:1",
       "\"segnale\" has 8 of its 11 values on its line; its d2 to tempo were read from line 4 on"},
      {"hours above 23", linea({}),
       treno({"stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 25,10,0, A"}), "time-value",
       "treno.txt:2:47",
       "the scheduled time 25:10:00 of station A is not a time of day: its hours are 25, "
       "outside 0 to 23; it is stored as 90600 s from midnight"},
      {"minutes above 59", linea({}),
       treno({"stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 7,70,0, A"}), "time-value",
       "treno.txt:2:49", "its minutes are 70, outside 0 to 59"},
      {"hours and minutes", linea({}),
       treno({"stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 25,70,0, A"}), "time-value",
       "treno.txt:2:47",
       "its hours are 25, outside 0 to 23, and its minutes are 70, outside 0 to 59; it is stored "
       "as 94200 s from midnight"},
      {"negative seconds", linea({}),
       treno({"stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 7,10,-5, A"}), "time-value",
       "treno.txt:2:52", "its seconds are -5, outside 0 to 59"},
      // A station at 0:00:00 has no time and is left out: C is compared with A.
      {"a time going backwards", linea({}),
       treno({"stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 7,10,0, A",
              "stazione, 2000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, B",
              "stazione, 3000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 7,5,0, C"}),
       "time-order", "treno.txt:4:47",
       "the scheduled time 7:05:00 of station C is earlier than 7:10:00 of station A on line 2"},
      // The same time twice is no step back: only the timetable check finds 0 s too fast.
      {"the same time as the station before", linea({}),
       treno({"velocita, 0, 80", "stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 7,10,0, A",
              "stazione, 3000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 7,10,0, C"}),
       "timetable", "treno.txt:4:47", "the timetable gives 0 s"},
      {"gradient before the one before it", linea({"pendenza, 3000, 5", "pendenza, 2000, 12"}),
       treno({kStazione}), "record-order", "linea.txt:5:1",
       "the gradient 12 per mille from 2000 m is read after the gradient 5 per mille from 3000 m: "
       "the profile is filled in increasing order of start, so 5 per mille holds one cell, from "
       "3000 m, and 12 per mille from 3050 m"},
      {"gradient in cell 0 after another", linea({"pendenza, 0, 5", "pendenza, 0, 12"}),
       treno({kStazione}), "record-order", "linea.txt:5:1",
       "so 12 per mille holds from 0 m and 5 per mille nowhere"},
      {"speed limits swapped", linea({}),
       treno({kStazione, "velocita, 0, 80", "velocita, 6400, 90", "velocita, 5700, 60"}),
       "record-order", "treno.txt:5:1",
       "the speed limit 60 km/h from 5700 m is read after the speed limit 90 km/h from 6400 m: "
       "the profile is filled in increasing order of start, so 60 km/h holds from 6400 m and "
       "90 km/h nowhere"},
      {"adhesion at the same start", linea({}),
       treno({kStazione, "aderenza, 0, 90", "aderenza, 0, 80"}), "record-order", "treno.txt:4:1",
       "the adhesion value 80 from 0 m is read after the adhesion value 90 from 0 m"},
      {"curve overlapping the one before", linea({"curvad5, 2300, 300", "curvas5, 2400, 400"}),
       treno({kStazione}), "record-order", "linea.txt:5:1",
       "the curve from 2400 m, 400 m long, starts before metre 2600, where the curves before it "
       "end: curves are computed in increasing order of metres without overlapping, so it turns "
       "only metres 2601 to 2800"},
      {"curve before the one before", linea({"curvad5, 2300, 300", "curvas5, 1000, 400"}),
       treno({kStazione}), "record-order", "linea.txt:5:1", "ends before metre 2600"},
      {"mountain before the one before",
       linea({"montagna, 4700, 5300, 1", "montagna, 4000, 4200, 2"}), treno({kStazione}),
       "record-order", "linea.txt:5:1",
       "the mountain span from 4000 m is read after the span from 4700 m to 5300 m: a span that "
       "starts 150 m or less after the previous span's end gets side 3"},
      {"empty station name", linea({}),
       treno({"stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0,"}), "name-blank",
       "treno.txt:2:53", "the name of station 1 at 1000 m is empty"},
      {"board text of blanks", linea({"cartello_indicatore, 100, \"   \""}), treno({kStazione}),
       "name-blank", "linea.txt:4:27",
       "the text of the indication board at 100 m is empty: it holds only blanks"},
      {"tab in a station name", linea({}),
       treno({"stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, A\tB"}), "name-control",
       "treno.txt:2:54",
       "the name \"A\\x09B\" of station 1 at 1000 m holds a control character (\\x09, a tab)"},
      {"line break in a quoted board text", linea({"cartello_indicatore, 100, \"(A\r\nB)\""}),
       treno({kStazione}), "name-control", "linea.txt:4:27",
       "holds a control character (\\x0D, a line break)"},
      {"DEL in a station name", linea({}),
       treno({"stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, A\x7F"}), "name-control",
       "treno.txt:2:54", "holds a control character (\\x7F)"},
      {"UTF-8 source", linea({"pendenza, 0, 5", "cartello_indicatore, 100, (CITT\xC3\x80)"}),
       treno({kStazione}), "utf8-source", "linea.txt:5:32", "the line source looks like UTF-8"},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    const auto e = test::leggi(k.linea, k.treno);
    EXPECT_EQ(e->n(), 0);
    const auto v = avvisi(*e);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0]->avviso, k.avviso);
    EXPECT_EQ(dove(v[0]->luogo), k.dove);
    EXPECT_NE(v[0]->messaggio.find(k.messaggio), std::string::npos) << v[0]->messaggio;
    ASSERT_NE(voce(k.avviso), nullptr);
    ASSERT_NE(v[0]->causa, nullptr);
    EXPECT_EQ(&voce_di(v[0]->causa->id), voce(k.avviso));
    EXPECT_EQ(v[0]->messaggio.find('{'), std::string::npos) << v[0]->messaggio;
  }
}

TEST(Avvisi, NothingForWhatAnAuthorMeans) {
  // Blank lines, separators, the known heads, and curves skipped knowingly without a plan view.
  const std::string l =
      test::righe({"[generale]", "", "lunghezza percorso, 100000", "------", "[curve]",
                   "curvad6, 2300, 300", "", "[pendenze]", "pendenza, 0, 5", "=====", "[montagne]",
                   "[cartelli]", "[indicazioni]", "[fine]"});
  const std::string t =
      test::righe({"[generale]", "", "[aderenze]", "aderenza, 0, 90", "[vel_limite]", "[stazioni]",
                   kStazione, "[rallentamenti]", "[segnali]", "[codici]", "[fine]"});
  // Records in order, a curve starting where the one before ends, stations without a time
  // among timed ones, and a name padded with blanks.
  const std::string l2 = linea({"curvad5, 2300, 300", "curvas5, 2600, 400", "pendenza, 0, 5",
                                "pendenza, 3000, 12", "montagna, 4700, 5300, 1",
                                "montagna, 5400, 5600, 2", "cartello_indicatore, 100, (A)   "});
  const std::string t2 =
      treno({"velocita, 0, 80", "velocita, 5700, 60", "aderenza, 0, 90", "aderenza, 50, 80",
             "stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 7,10,0, A   ",
             "stazione, 2000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, B",
             "stazione, 3000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 7,12,0, C",
             "stazione, 4000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 23,59,59, D"});
  const auto e2 = test::leggi(l2, t2);
  EXPECT_TRUE(e2->c.registro.elenco().empty()) << e2->c.registro.elenco()[0].messaggio;
  for (const int32_t j : {1, 0}) {
    const auto e = test::leggi(l, t, j);
    EXPECT_TRUE(e->c.registro.elenco().empty()) << j << ": " << e->c.registro.elenco()[0].messaggio;
  }
}

TEST(Avvisi, AWarningChangesNothingCompiled) {
  const std::string t = treno({kStazione, "segnale, 4500, 1,0,0,0,0,0,0,0,0,0"});
  const auto senza = test::leggi(linea({"pendenza, 0, 5"}), t);
  const auto con =
      test::leggi(linea({"pendenza, 0, 5", "pendenzza, 100, 9", "[cartelli]", "[cartell]"}),
                  treno({kStazione, "segnal, 100", "segnale, 4500, 1,0,0,0,0,0,0,0,0,0"}));
  EXPECT_EQ(avvisi(*con).size(), 3u);
  EXPECT_EQ(immagine_griglia(con->c.celle.tutte()), immagine_griglia(senza->c.celle.tutte()));
  EXPECT_EQ(immagine_tabella(con->c.stazioni), immagine_tabella(senza->c.stazioni));
  EXPECT_EQ(immagine_geometria(con->c.linea), immagine_geometria(senza->c.linea));
}

}  // namespace
}  // namespace gs

// Warnings for what the readers skip or an author may not mean; a warning never changes what
// is compiled.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/uscita.h"
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
  EXPECT_EQ(immagine_griglia(con->c.celle), immagine_griglia(senza->c.celle));
  EXPECT_EQ(immagine_tabella(con->c.stazioni), immagine_tabella(senza->c.stazioni));
  EXPECT_EQ(immagine_geometria(con->c.linea), immagine_geometria(senza->c.linea));
}

}  // namespace
}  // namespace gs

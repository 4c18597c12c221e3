#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "format/griglia.h"
#include "format/tabella.h"
#include "grid/griglia.h"
#include "support/scenario_piccolo.h"
#include "views/ispeziona.h"

namespace gs {
namespace {

using test::compila_piccolo;

std::string vista(const std::string& nome,
                  std::variant<Stazioni, std::vector<Cella>, Geometria> contenuto,
                  std::optional<Stazioni> tabella = std::nullopt, bool json = false) {
  FileIspezionato f;
  f.nome = nome;
  f.contenuto = std::move(contenuto);
  f.tabella = std::move(tabella);
  return json ? ispezione_json({f}, false) : ispezione_testo({f}, false);
}

TEST(Ispeziona, TableDecodesToWhatTheCompilerHeld) {
  const auto i = compila_piccolo();
  const Stazioni t = decodifica_tabella(i.tabella);
  for (int v = 0; v < kVociStazioni; ++v)
    EXPECT_EQ(t[static_cast<std::size_t>(v)], i.esito->c.stazioni[static_cast<std::size_t>(v)])
        << v;

  const Stazione& beta = t[2];
  EXPECT_EQ(beta.nome, "BETA CITTA'");
  EXPECT_EQ(beta.tipo, 12);
  EXPECT_EQ(beta.posizione, 6000);
  EXPECT_EQ(beta.orario, (5 * 60 + 37) * 60 + 10);
  EXPECT_EQ(t[kVoceLinea].marcatore(), 610);
  EXPECT_EQ(t[kVoceLinea].orario, 28508);

  const std::string testo = vista("x.sim", t);
  for (const char* atteso : {
           "2 stations in entries 1 to 2, 1 indication boards in entries 80 to 80",
           "entry 2: station 2 \"BETA CITTA'\", kind 12 (span centred on the position), span 5600 "
           "to 6400 m, "
           "position 6000 m, time 05:37:10, stop cell 127",
           "entries 3 to 79: empty",
           "entry 80: indication board 1 \"(GALLERIA PROVA  )(Mt.140 Km.5+350)\"",
           "entry 81: chainage section with the largest start: from 0 m on the line, chainage "
           "10100 m "
           "(km 10+100) there, decreasing along the line",
           "entry 84: general parameters: braked mass 125 %, line length 10000 m, 10 cars",
           "marker 610 in campo7 (as expected); race code 28508 in orario (the position-weighted "
           "code",
           "entry 86: train \"D 237\": signal repetition 0 m and 0 m, 0 codes; sand 300; clock "
           "05:26:00",
       }) {
    EXPECT_NE(testo.find(atteso), std::string::npos) << atteso << "\n" << testo;
  }
}

TEST(Ispeziona, GridDecodesPointsAndNamesThemFromTheTable) {
  const auto i = compila_piccolo();
  const std::vector<Cella> celle = decodifica_griglia(i.griglia);
  ASSERT_EQ(celle.size(), i.esito->c.celle.tutte().size());
  for (std::size_t k = 0; k < celle.size(); ++k)
    EXPECT_EQ(celle[k], i.esito->c.celle[static_cast<int64_t>(k)]) << k;
  EXPECT_EQ(celle[1].dato1, 5121);
  EXPECT_EQ(celle[1].dato2, 2149);

  const Segnale s = decodifica_segnale(celle[115]);  // the signal at 5700 m
  EXPECT_EQ(s.sx, 2);
  EXPECT_EQ(s.s1, 2);
  EXPECT_EQ(s.s2, 3);
  const IndicatoreVelocita v = decodifica_indicatore(celle[24]);  // the board at 1150 m
  EXPECT_EQ(v.vas, 70);
  EXPECT_EQ(v.vbs, 75);
  EXPECT_EQ(v.vcs, 75);

  const std::string testo = vista("x.dat", celle, decodifica_tabella(i.tabella));
  for (const char* atteso : {
           "cell 1: marker 5121 in dato1 (as expected); plain race code 2149 in dato2 (the code of "
           "the train and "
           "line names in the table)",
           "cell   115 at    5700 m: signal: left (sx 2) aspects 2/3/0, right (dx 0) aspects "
           "0/0/0, rapp 0, time value 210",
           "cell    24 at    1150 m: speed board: 70/75/75 km/h, stripes 0 | gradient 0 per mille, "
           "limit 75 km/h, adhesion 90",
           "cell   127 at    6300 m: station stop: station entry 2 \"BETA CITTA'\"",
           "cell    94 at    4650 m: indication board: entry 80 \"(GALLERIA PROVA  )(Mt.140 "
           "Km.5+350)\"",
           "cell    74 at    3650 m: slowdown start: 30 km/h, f_tt 1 | gradient +12 per mille",
           "cell    50 at    2450 m: slowdown warning point (1200 m before its start): 30 km/h",
           "cell   140 at    6950 m: code point: code 75 | gradient +12 per mille, limit 60 km/h",
           "mountain side 1",
       }) {
    EXPECT_NE(testo.find(atteso), std::string::npos) << atteso << "\n" << testo;
  }
  // Without the table the entry number still shows, and the race code is not judged.
  const std::string solo = vista("x.dat", celle);
  EXPECT_NE(solo.find("station stop: station entry 2 |"), std::string::npos);
  EXPECT_NE(solo.find("plain race code 2149 in dato2\n"), std::string::npos);
}

TEST(Ispeziona, GeometryCountsMetresAndTheCurvesTurning) {
  const auto i = compila_piccolo();
  const Geometria g = decodifica_geometria(i.geometria);
  ASSERT_EQ(g.metri(), 17001u);  // line length + 7000, from metre 0
  EXPECT_EQ(g.colonna0[1].tipo, kIntero);
  EXPECT_EQ(g.colonna1[1].valore, 1);
  EXPECT_EQ(g.colonna1[1999].tipo, kReale);
  EXPECT_EQ(g.colonna1[1999].valore, 1999);  // straight along column 1 up to the curve
  EXPECT_EQ(g.colonna0[1999].valore, 0);
  EXPECT_EQ(g.colonna0[16999].tipo, kVuoto);  // the last two metres stay empty

  const RiassuntoGeometria r = riassumi_geometria(g);
  EXPECT_EQ(r.posizionati, 16999u);
  EXPECT_EQ(r.ultimo, 16998u);
  // Each curve metre turns the step by atan(k): 300 metres of class 6, to the right.
  EXPECT_NEAR(r.svolta_totale, 300 * std::atan(0.003), 1e-9);
  EXPECT_NEAR(r.svolta_netta, 300 * std::atan(0.003), 1e-9);
  EXPECT_EQ(r.min0, 0);
  EXPECT_GT(r.max0, 0);  // a right-hand curve bends toward column 0
  const std::string testo = vista("x_linea.dat", g);
  EXPECT_NE(testo.find("17001 metres (0 to 17000)"), std::string::npos) << testo;
  EXPECT_NE(testo.find("total turning 0.9000 rad (51.57 degrees)"), std::string::npos) << testo;
}

TEST(Ispeziona, JsonCarriesTheDecodedValuesAndEscapesText) {
  const auto i = compila_piccolo();
  const std::string tabella = vista("x.sim", decodifica_tabella(i.tabella), std::nullopt, true);
  EXPECT_NE(tabella.find("\"name\":\"BETA CITTA'\",\"kind\":12"), std::string::npos) << tabella;
  EXPECT_NE(tabella.find("\"race_code\":28508,\"race_code_of_names\":28508"), std::string::npos);
  const std::string griglia =
      vista("x.dat", decodifica_griglia(i.griglia), decodifica_tabella(i.tabella), true);
  EXPECT_NE(griglia.find("\"race_code\":2149,"), std::string::npos) << griglia;
  EXPECT_NE(griglia.find("\"race_code_of_names\":2149,"), std::string::npos);
  EXPECT_NE(griglia.find("\"speed_board\":{\"vas_kmh\":70,\"vbs_kmh\":75,\"vcs_kmh\":75"),
            std::string::npos);

  // Windows-1252 names come out as UTF-8, with quotes, backslashes and control bytes escaped.
  Stazioni t{};
  t[1].tipo = 12;
  t[1].nome = "A \"B\" \\ \x01 \xB0";
  const std::string j = vista("dir\\x\".sim", t, std::nullopt, true);
  EXPECT_NE(j.find("\"name\":\"A \\\"B\\\" \\\\ \\u0001 \xC2\xB0\""), std::string::npos) << j;
  EXPECT_NE(j.find("\"file\":\"dir\\\\x\\\".sim\""), std::string::npos) << j;
}

TEST(Ispeziona, FileKindsByNameEnding) {
  struct Caso {
    const char* nome;
    std::optional<Compilato> tipo;
  };
  for (const Caso& c :
       {Caso{"A_linea.dat", Compilato::kGeometria}, Caso{"A_T.dat", Compilato::kGriglia},
        Caso{"A_T.sim", Compilato::kTabella}, Caso{"linea.dat", Compilato::kGriglia},
        Caso{"A_T.txt", std::nullopt}, Caso{"A_T.SIM", std::nullopt}}) {
    EXPECT_EQ(compilato_da_nome(c.nome), c.tipo) << c.nome;
  }
}

// Negative aspects pack below zero (s1 = -1 with d1 = 3 is dato1 = -7): read back from the grid
// file, each field comes apart as it was given, in the text and in the JSON.
TEST(Ispeziona, NegativeSignalFieldsComeApartAsGiven) {
  struct Caso {
    Segnale segnale;
    const char* testo;
    const char* json;
  };
  const Caso casi[] = {
      {{0, -1, 0, 0, 0, 0, 3, 0, 0},
       "signal: left (sx 0) aspects -1/0/0, right (dx 0) aspects 3/0/0, rapp 0",
       "\"signal\":{\"sx\":0,\"s1\":-1,\"s2\":0,\"s3\":0,\"dx\":0,\"d1\":3,"},
      {{1, 0, -2, -1, -1, 2, 0, 9, 0},
       "signal: left (sx 1) aspects 0/-2/-1, right (dx 2) aspects 0/9/0, rapp -1",
       "\"signal\":{\"sx\":1,\"s1\":0,\"s2\":-2,\"s3\":-1,\"dx\":2,\"d1\":0,\"d2\":9,"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.testo);
    Celle celle;
    celle.dimensiona(100);
    int32_t tempo = 0;
    ASSERT_TRUE(memo_segnale(celle, 1000, c.segnale, tempo).riuscita());
    const std::vector<Cella> letta = decodifica_griglia(immagine_griglia(celle.tutte()));
    const std::string testo = vista("x.dat", letta);
    EXPECT_NE(testo.find(c.testo), std::string::npos) << testo;
    const std::string json = vista("x.dat", letta, std::nullopt, true);
    EXPECT_NE(json.find(c.json), std::string::npos) << json;
  }
}

TEST(Ispeziona, ClockTimesPastADayOrNegativeKeepTheirValue) {
  EXPECT_EQ(formatta_orario(19620), "05:27:00");
  EXPECT_EQ(formatta_orario(90000), "25:00:00");
  EXPECT_EQ(formatta_orario(-10), "-00:00:10");
}

TEST(Ispeziona, EntryRolesStopAtTheFirstEmptyStationAndSpanTheBoards) {
  Stazioni t{};
  t[1].tipo = 8;
  t[2].tipo = 12;
  t[4].tipo = 12;   // after an empty entry: not a station
  t[79].nome = "";  // a board may carry an empty text
  t[78].nome = "(B)";
  t[80].nome = "(A)";
  const auto r = ruoli_voci(t);
  EXPECT_EQ(r[1], Ruolo::kStazione);
  EXPECT_EQ(r[2], Ruolo::kStazione);
  EXPECT_EQ(r[3], Ruolo::kVuota);
  EXPECT_EQ(r[4], Ruolo::kVuota);
  EXPECT_EQ(r[77], Ruolo::kVuota);
  for (const int i : {78, 79, 80}) EXPECT_EQ(r[static_cast<std::size_t>(i)], Ruolo::kCartello) << i;
  EXPECT_EQ(r[kVoceLinea], Ruolo::kLinea);
  const std::string testo = vista("x.sim", t);
  EXPECT_NE(testo.find("entry 4: neither a station nor a board entry, yet not empty"),
            std::string::npos)
      << testo;
}

}  // namespace
}  // namespace gs

// The compile and check commands, run as a route author runs them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/cartella.h"
#include "support/processo.h"
#include "support/sorgenti.h"

namespace gs {
namespace {

namespace fs = std::filesystem;
using prova::contenuto;
using prova::esegui;

const std::string kLinea = test::linea({"pendenza, 0, 5", "curvad6, 2300, 300",
                                        "cartello_indicatore, 4650, (GALLERIA)"});
const std::string kTreno = test::treno({"velocita, 0, 75", "aderenza, 0, 90",
                                        "stazione, 0, 8, 500, 0,0,1,1,1,0,4,1,1,1, 5,27,0, INIZIO",
                                        "segnale, 4500, 1, 3, 0, 0, 0, 0, 0,0,0, 0"});

class Compila : public ::testing::Test {
 protected:
  void SetUp() override {
    prova::scrivi(dir / "Valle_linea.txt", kLinea);
    prova::scrivi(dir / "Valle_R 12-.txt", kTreno);
  }
  prova::Uscita gs(const std::string& argomenti) { return esegui(GS_EXE, argomenti, dir.percorso()); }
  void sorgenti_intatte() {
    EXPECT_EQ(contenuto(dir / "Valle_linea.txt"), kLinea);
    EXPECT_EQ(contenuto(dir / "Valle_R 12-.txt"), kTreno);
  }
  int file() const {
    int n = 0;
    for ([[maybe_unused]] const auto& f : fs::directory_iterator(dir.percorso())) ++n;
    return n;
  }
  prova::CartellaTemporanea dir;
};

TEST_F(Compila, WritesTheThreeFilesNamedFromTheSources) {
  const auto u = gs("compile Valle_linea.txt 'Valle_R 12-.txt'");
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(u.err, "");
  sorgenti_intatte();
  EXPECT_EQ(fs::file_size(dir / "Valle_R 12.dat"), 15u * 2141);
  EXPECT_TRUE(fs::exists(dir / "Valle_linea.dat"));
  const std::string sim = contenuto(dir / "Valle_R 12.sim");
  EXPECT_NE(sim.find("INIZIO"), std::string::npos);
  EXPECT_NE(sim.find("(GALLERIA)"), std::string::npos);
  EXPECT_EQ(file(), 5);
}

TEST_F(Compila, OptionsForNamesFolderAndGeometry) {
  fs::create_directory(dir / "out");
  const auto u = gs("compile Valle_linea.txt 'Valle_R 12-.txt' -o out --line-name L --train-name T"
                    " --no-geometry");
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_TRUE(fs::exists(dir / "out" / "L_T.sim"));
  EXPECT_TRUE(fs::exists(dir / "out" / "L_T.dat"));
  EXPECT_FALSE(fs::exists(dir / "out" / "L_linea.dat"));
  // The race code follows the names: "tl" then the padding.
  const std::string griglia = contenuto(dir / "out" / "L_T.dat");
  const int og = static_cast<unsigned char>(griglia[18]) | (static_cast<unsigned char>(griglia[19]) << 8);
  EXPECT_EQ(og, 't' + 'l' + 2 * ('a' + 'b' + 'c' + 'd' + 'e' + 'f' + 'g' + 'h' + 'i' + 'l' + 'm') + 'n');
}

TEST_F(Compila, ReportsErrorsWithFileLineAndPosition) {
  prova::scrivi(dir / "rotto.txt",
                test::treno({"segnale, 1225, 1,0,0,0,0,0,0,0,0,0", "segnale, 1275, 1,0,0,0,0,0,0,0,0,0"}));
  const auto u = gs("compile Valle_linea.txt rotto.txt");
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.err, "rotto.txt:3: error 16 at 1275 m: the signal's cell is already taken\n");
  EXPECT_TRUE(fs::exists(dir / "Valle_D 237.sim"));  // files are still written

  prova::scrivi(dir / "lontano.txt", test::treno({"segnale, 200000, 1,0,0,0,0,0,0,0,0,0"}));
  const auto v = gs("check Valle_linea.txt lontano.txt");
  EXPECT_EQ(v.stato, 1);
  EXPECT_EQ(v.err, "lontano.txt:2: error 15 at 200000 m: the position lies beyond the end of the "
                   "track grid\n");

  prova::scrivi(dir / "vicine.txt", test::treno({"stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, A",
                                                 "stazione, 1500, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, B"}));
  const auto w = gs("check Valle_linea.txt vicine.txt");
  EXPECT_EQ(w.err, "vicine.txt:3: error 22 at 1500 m: the station is closer than 350 m to the "
                   "previous one, or out of order\n");
}

TEST_F(Compila, StopsInOrderWithoutAGrid) {
  prova::scrivi(dir / "lunga_linea.txt", test::linea({}, 1000001));
  const auto u = gs("compile lunga_linea.txt 'Valle_R 12-.txt'");
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.err, "lunga_linea.txt:2: error 1: the line length is above 1000000 m\n");
  EXPECT_EQ(file(), 3);  // nothing written
  EXPECT_EQ(contenuto(dir / "lunga_linea.txt"), test::linea({}, 1000001));
}

TEST_F(Compila, CheckWritesNothingAndSummarises) {
  const auto u = gs("check Valle_linea.txt 'Valle_R 12-.txt'");
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(u.out, "1 stations, 1 signals, 0 slowdowns, 0 speed boards, 1 indication boards, "
                   "2141 grid cells\n");
  EXPECT_EQ(file(), 2);
}

TEST_F(Compila, RefusesBadCommandLinesAndUnreadableSources) {
  struct Caso {
    const char* argomenti;
    const char* nel_messaggio;
  };
  const Caso casi[] = {
      {"compile Valle_linea.txt 'Valle_R 12-.txt' --train-name linea", "two outputs"},
      {"compile Valle_linea.txt manca.txt", "manca.txt"},
      {"compile Valle_linea.txt .", "Is a directory"},
      {"compile Valle_linea.txt", "expected a line source and a train source"},
      {"compile a b --bogus", "unknown option --bogus"},
      {"compile Valle_linea.txt 'Valle_R 12-.txt' -o nowhere", "nowhere"},
      {"compile Valle_linea.txt 'Valle_R 12-.txt' --line-name a/b", "'/'"},
      {"frobnicate", "unknown command"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.argomenti);
    const auto u = gs(c.argomenti);
    EXPECT_EQ(u.stato, 2);
    EXPECT_NE(u.err.find(c.nel_messaggio), std::string::npos) << u.err;
    sorgenti_intatte();
    EXPECT_EQ(file(), 2);
  }
  // An output that would land on a source is refused before anything is written.
  const auto u = gs("compile Valle_linea.txt 'Valle_R 12-.txt' --line-name Valle --train-name 'R 12-.txt"
                    "' --no-geometry");
  EXPECT_EQ(u.stato, 0);  // "Valle_R 12-.txt.sim" is another file
  prova::scrivi(dir / "X_Y.sim", kTreno);
  const auto v = gs("compile Valle_linea.txt X_Y.sim --line-name X --train-name Y");
  EXPECT_EQ(v.stato, 2);
  EXPECT_EQ(contenuto(dir / "X_Y.sim"), kTreno);
}

TEST_F(Compila, HelpAndVersion) {
  EXPECT_EQ(gs("--help").stato, 0);
  EXPECT_NE(gs("--help").out.find("compile LINE_SOURCE TRAIN_SOURCE"), std::string::npos);
  EXPECT_EQ(gs("--version").out.rfind("genera_scenario ", 0), 0u);
}

}  // namespace
}  // namespace gs

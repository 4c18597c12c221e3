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
using test::contenuto;
using test::esegui;

const std::string kLinea =
    test::linea({"pendenza, 0, 5", "curvad6, 2300, 300", "cartello_indicatore, 4650, (GALLERIA)"});
const std::string kTreno = test::treno({"velocita, 0, 75", "aderenza, 0, 90",
                                        "stazione, 0, 8, 500, 0,0,1,1,1,0,4,1,1,1, 5,27,0, INIZIO",
                                        "segnale, 4500, 1, 3, 0, 0, 0, 0, 0,0,0, 0"});

class Compila : public ::testing::Test {
 protected:
  void SetUp() override {
    test::scrivi(dir / "Valle_linea.txt", kLinea);
    test::scrivi(dir / "Valle_R 12-.txt", kTreno);
  }
  test::Uscita gs(const std::string& argomenti) {
    return esegui(GS_EXE, argomenti, dir.percorso());
  }
  void sorgenti_intatte() {
    EXPECT_EQ(contenuto(dir / "Valle_linea.txt"), kLinea);
    EXPECT_EQ(contenuto(dir / "Valle_R 12-.txt"), kTreno);
  }
  int file() const {
    int n = 0;
    for ([[maybe_unused]] const auto& f : fs::directory_iterator(dir.percorso())) ++n;
    return n;
  }
  test::CartellaTemporanea dir;
};

TEST_F(Compila, WritesTheThreeFilesNamedFromTheSources) {
  const auto u = gs("compile Valle_linea.txt 'Valle_R 12-.txt'");
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(u.err, "");
  // One line per file written, with its size.
  const auto misura = [&](const char* f) {
    const std::string cifre = std::to_string(fs::file_size(dir / f));
    std::string n;
    for (std::size_t i = 0; i < cifre.size(); ++i) {
      if (i > 0 && (cifre.size() - i) % 3 == 0) n += ' ';
      n += cifre[i];
    }
    return std::string("wrote ") + f + " (" + n + " bytes)\n";
  };
  EXPECT_EQ(u.out, misura("Valle_linea.dat") + misura("Valle_R 12.sim") + misura("Valle_R 12.dat"));
  EXPECT_EQ(gs("compile Valle_linea.txt 'Valle_R 12-.txt' -q").out, "");
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
  const auto u =
      gs("compile Valle_linea.txt 'Valle_R 12-.txt' -o out --line-name L --train-name T"
         " --no-geometry");
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_TRUE(fs::exists(dir / "out" / "L_T.sim"));
  EXPECT_TRUE(fs::exists(dir / "out" / "L_T.dat"));
  EXPECT_FALSE(fs::exists(dir / "out" / "L_linea.dat"));
  // A folder that is not there yet is made.
  EXPECT_EQ(gs("compile Valle_linea.txt 'Valle_R 12-.txt' -o nuova/sotto -q").stato, 0);
  EXPECT_TRUE(fs::exists(dir / "nuova" / "sotto" / "Valle_R 12.sim"));
  // The race code follows the names: "tl" then the padding.
  const std::string griglia = contenuto(dir / "out" / "L_T.dat");
  const int og =
      static_cast<unsigned char>(griglia[18]) | (static_cast<unsigned char>(griglia[19]) << 8);
  EXPECT_EQ(
      og, 't' + 'l' + 2 * ('a' + 'b' + 'c' + 'd' + 'e' + 'f' + 'g' + 'h' + 'i' + 'l' + 'm') + 'n');
}

TEST_F(Compila, ReportsErrorsAsEditorsReadThem) {
  test::scrivi(dir / "rotto.txt", test::treno({"segnale, 1225, 1,0,0,0,0,0,0,0,0,0",
                                               "segnale,  1275, 1,0,0,0,0,0,0,0,0,0"}));
  const auto u = gs("compile Valle_linea.txt rotto.txt --train-name 'D 237'");
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.err,
            "rotto.txt:3:11: error: the signal at 1275 m falls in the cell at 1250 m, which "
            "already holds "
            "the signal at 1225 m from rotto.txt:2 [E16 at 1275 m]\n"
            "   3 | segnale,  1275, 1,0,0,0,0,0,0,0,0,0\n"
            "     |           ^\n"
            "rotto.txt:2:1: note: the signal at 1225 m is here\n"
            "   2 | segnale, 1225, 1,0,0,0,0,0,0,0,0,0\n"
            "     | ^\n");
  EXPECT_TRUE(fs::exists(dir / "Valle_D 237.sim"));  // files are still written
  EXPECT_EQ(gs("check Valle_linea.txt rotto.txt --no-caret").err,
            "rotto.txt:3:11: error: the signal at 1275 m falls in the cell at 1250 m, which "
            "already holds "
            "the signal at 1225 m from rotto.txt:2 [E16 at 1275 m]\n"
            "rotto.txt:2:1: note: the signal at 1225 m is here\n");
}

TEST_F(Compila, StopsInOrderWithoutAGrid) {
  test::scrivi(dir / "lunga_linea.txt", test::linea({}, 1000001));
  const auto u = gs("compile lunga_linea.txt 'Valle_R 12-.txt' --train-name T --no-caret");
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.err,
            "lunga_linea.txt:2:24: error: the line length of 1000001 m is above the largest, "
            "1000000 m [E1]\n");
  EXPECT_EQ(file(), 3);  // nothing written
  EXPECT_EQ(contenuto(dir / "lunga_linea.txt"), test::linea({}, 1000001));
}

TEST_F(Compila, CheckWritesNothingAndSummarises) {
  const auto u = gs("check Valle_linea.txt 'Valle_R 12-.txt'");
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(u.out,
            "1 stations, 1 signals, 0 slowdowns, 0 speed boards, 1 indication boards, "
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
      {"compile Valle_linea.txt manca.txt --train-name T", "manca.txt"},
      {"compile Valle_linea.txt . --train-name T", "Is a directory"},
      {"compile Valle_linea.txt", "expected a line source and a train source"},
      {"compile a b --bogus", "unknown option --bogus"},
      {"compile Valle_linea.txt 'Valle_R 12-.txt' -o Valle_linea.txt", "is a file, not a folder"},
      {"compile Valle_linea.txt 'Valle_R 12-.txt' --line-name a/b --train-name T",
       "Windows forbids"},
      {"compile Valle_linea.txt 'Valle_R 12-.txt' --line-name 'a:b' --train-name T",
       "Windows forbids"},
      {"compile Valle_linea.txt 'Valle_R 12-.txt' --train-name 'R?1'", "Windows forbids"},
      {"compile Valle_linea.txt 'Valle_R 12-.txt' --line-name \"$(printf 'a\\tb')\" --train-name T",
       "control character"},
      {"compile Valle_linea.txt 'Valle_R 12-.txt' --line-name CON.x --train-name T",
       "whose stem CON is a device name"},
      {"compile Valle_linea.txt 'Valle_R 12-.txt' --line-name com1.linea --train-name T",
       "whose stem com1 is a device name"},
      {"compile Valle_linea.txt 'Valle_R 12-.txt' --line-name Lpt9.a --train-name T",
       "device name"},
      {"compile Valle_linea.txt 'Valle_R 12-.txt' --line-name 'SAN NICOL\xC4\x80' --train-name T",
       "holds a character that Windows-1252 has not"},
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
  const auto u =
      gs("compile Valle_linea.txt 'Valle_R 12-.txt' --line-name Valle --train-name 'R 12-.txt"
         "' --no-geometry");
  EXPECT_EQ(u.stato, 0);  // "Valle_R 12-.txt.sim" is another file
  test::scrivi(dir / "X_Y.sim", kTreno);
  const auto v = gs("compile Valle_linea.txt X_Y.sim --line-name X --train-name Y");
  EXPECT_EQ(v.stato, 2);
  EXPECT_EQ(contenuto(dir / "X_Y.sim"), kTreno);
}

// The names come from the file names or the options, never from the built-in scenario.
TEST_F(Compila, NamesNeverFallBack) {
  fs::create_directory(dir / "out");
  test::scrivi(dir / "line.txt", kLinea);
  test::scrivi(dir / "train.txt", kTreno);
  test::scrivi(dir / "MIA_linea.txt", kLinea);
  test::scrivi(dir / "MIA_R1.txt", kTreno);
  test::scrivi(dir / "L_-.txt", kTreno);
  test::scrivi(dir / "_linea.txt", kLinea);
  struct Caso {
    const char* argomenti;
    const char* nel_messaggio;
  };
  const Caso rifiutati[] = {
      {"compile line.txt train.txt -o out", "give it with --line-name NAME"},
      {"compile MIA_linea.txt MIA_R1.txt -o out",
       "(it is not MIA_TRAIN-.txt): give it with --train-name NAME"},
      {"compile MIA_linea.txt train.txt -o out --line-name L", "give it with --train-name NAME"},
      {"compile _linea.txt train.txt -o out --train-name T", "give it with --line-name NAME"},
      {"compile MIA_linea.txt L_-.txt -o out --line-name L", "give it with --train-name NAME"},
  };
  for (const Caso& c : rifiutati) {
    SCOPED_TRACE(c.argomenti);
    const auto u = gs(c.argomenti);
    EXPECT_EQ(u.stato, 2);
    EXPECT_NE(u.err.find(c.nel_messaggio), std::string::npos) << u.err;
  }
  EXPECT_TRUE(fs::is_empty(dir / "out"));
  // An empty name is taken when it is given.
  EXPECT_EQ(gs("compile line.txt train.txt -o out --line-name L --train-name ''").stato, 0);
  EXPECT_TRUE(fs::exists(dir / "out" / "L_.sim"));
  // Names from file names in Windows-1252 bytes: the train file is matched against the line
  // file's own bytes.
  test::scrivi(dir / "CITT\xC0_linea.txt", kLinea);
  test::scrivi(dir / "CITT\xC0_R1-.txt", kTreno);
  EXPECT_EQ(gs("compile CITT?_linea.txt CITT?_R1-.txt -o out -q").stato, 0);
  EXPECT_TRUE(fs::exists(dir / "out" / "CITT\xC3\x80_R1.sim"));
  // check writes nothing, so it needs no names.
  EXPECT_EQ(gs("check line.txt train.txt").stato, 0);
}

TEST_F(Compila, WarningsCountAsErrorsWithWerror) {
  test::scrivi(dir / "Valle_R 12-.txt", test::treno({"segnal, 4500, 1,0,0,0,0,0,0,0,0,0"}));
  const auto u = gs("compile Valle_linea.txt 'Valle_R 12-.txt' --no-caret");
  EXPECT_EQ(u.stato, 0);
  EXPECT_EQ(
      u.err,
      "Valle_R 12-.txt:2:1: warning: \"segnal\" matches no record type and is skipped; did you "
      "mean \"segnale\"? [unknown-record]\n"
      "Valle_R 12-.txt: warning: the train source has no station record [no-station]\n");
  fs::remove(dir / "Valle_R 12.sim");
  const auto v = gs("compile Valle_linea.txt 'Valle_R 12-.txt' --no-caret -Werror");
  EXPECT_EQ(v.stato, 1);
  EXPECT_EQ(v.out, "");
  EXPECT_NE(
      v.err.find(
          "error: \"segnal\" matches no record type and is skipped; did you mean \"segnale\"? "
          "[-Werror=unknown-record]"),
      std::string::npos)
      << v.err;
  EXPECT_FALSE(fs::exists(dir / "Valle_R 12.sim"));
}

TEST_F(Compila, HelpAndVersion) {
  EXPECT_EQ(gs("compile --help").stato, 0);
  EXPECT_NE(gs("compile --help").out.find("-Werror"), std::string::npos);
  EXPECT_EQ(gs("--help").stato, 0);
  EXPECT_NE(gs("--help").out.find("compile LINE_SOURCE TRAIN_SOURCE"), std::string::npos);
  EXPECT_EQ(gs("--version").out.rfind("genera_scenario ", 0), 0u);
}

}  // namespace
}  // namespace gs

// new and explain, run as an author runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>

#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"
#include "support/cartella.h"
#include "support/processo.h"

namespace gs {
namespace {

namespace fs = std::filesystem;

class Nuovo : public ::testing::Test {
 protected:
  test::Uscita gs(const std::string& argomenti) {
    return test::esegui(GS_EXE, argomenti, dir.percorso());
  }
  test::CartellaTemporanea dir;
};

TEST_F(Nuovo, WritesTheGuidesScenarioThatCompilesCleanly) {
  const auto u = gs("new valle --line-name VALLE --train-name 'R 101'");
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(test::contenuto(dir / "valle" / "VALLE_linea.txt"),
            componi_testo(righe_linea_esempio()));
  EXPECT_EQ(test::contenuto(dir / "valle" / "VALLE_R 101-.txt"),
            componi_testo(righe_treno_esempio()));
  const auto c = gs("compile valle/VALLE_linea.txt 'valle/VALLE_R 101-.txt' -o valle");
  EXPECT_EQ(c.stato, 0);
  EXPECT_EQ(c.err, "");  // no error, no warning
  EXPECT_TRUE(fs::exists(dir / "valle" / "VALLE_R 101.sim"));

  const auto b = gs("new incorporato --built-in");
  EXPECT_EQ(b.stato, 0) << b.err;
  const auto k =
      gs("check 'incorporato/BELMONZA VALICO - SOLMA_linea.txt' 'incorporato/BELMONZA VALICO - "
         "SOLMA_D 237-.txt'");
  EXPECT_EQ(k.stato, 0);
  EXPECT_EQ(k.err, "");
  EXPECT_EQ(test::contenuto(dir / "incorporato" / "BELMONZA VALICO - SOLMA_D 237-.txt"),
            componi_testo(righe_treno()));
}

// The next step it prints is a command the shell takes as it stands, quoted where needed.
TEST_F(Nuovo, TheNextStepRunsAsPrinted) {
  const auto u = gs("new 'valle d'\\''aosta' --line-name VALLE --train-name 'R 101'");
  ASSERT_EQ(u.stato, 0) << u.err;
  const std::string::size_type hint = u.out.find("next: genera_scenario ");
  ASSERT_NE(hint, std::string::npos) << u.out;
  const std::string comando = u.out.substr(hint + 22, u.out.find('\n', hint) - hint - 22);
  const auto c = gs(comando);
  EXPECT_EQ(c.stato, 0) << comando << "\n" << c.err;
  EXPECT_TRUE(fs::exists(dir / "valle d'aosta" / "VALLE_R 101.sim")) << comando;
}

TEST_F(Nuovo, NeverReplacesAFile) {
  fs::create_directory(dir / "valle");
  test::scrivi(dir / "valle" / "VALLE_R 101-.txt", "mine");
  const auto u = gs("new valle --line-name VALLE --train-name 'R 101'");
  EXPECT_EQ(u.stato, 2);
  EXPECT_NE(u.err.find("valle/VALLE_R 101-.txt already exists"), std::string::npos) << u.err;
  EXPECT_EQ(test::contenuto(dir / "valle" / "VALLE_R 101-.txt"), "mine");
  EXPECT_FALSE(fs::exists(dir / "valle" / "VALLE_linea.txt"));  // nothing written at all
}

TEST_F(Nuovo, RefusesIncompleteCommandLines) {
  for (const char* a :
       {"new", "new x --line-name L", "new x --train-name T", "new x --built-in --line-name L",
        "new x y --built-in", "new x --line-name a/b --train-name T",
        "new x --line-name 'a|b' --train-name T", "new x --line-name nul.x --train-name T",
        "new x --bogus"}) {
    SCOPED_TRACE(a);
    EXPECT_EQ(gs(a).stato, 2);
    EXPECT_FALSE(fs::exists(dir / "x"));
  }
}

TEST_F(Nuovo, ExplainPrintsAnEntryByNumberOrName) {
  struct Caso {
    const char* argomenti;
    int stato;
    const char* inizio;
  };
  const Caso casi[] = {
      {"explain 16", 0, "error 16: a signal falls on a grid cell that is already taken\n"},
      {"explain E16", 0, "error 16: "},
      {"explain unknown-record", 0, "warning unknown-record: "},
      {"explain 14", 2, ""},
      {"explain frobnicate", 2, ""},
      {"explain", 2, ""},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.argomenti);
    const auto u = gs(c.argomenti);
    EXPECT_EQ(u.stato, c.stato) << u.err;
    EXPECT_EQ(u.out.rfind(c.inizio, 0), 0u) << u.out;
    if (c.stato == 2) {
      EXPECT_EQ(u.out, "");
      EXPECT_NE(u.err.find("genera_scenario: error: "), std::string::npos);
    }
  }
  const auto tutto = gs("explain --all");
  EXPECT_NE(tutto.out.find("error 1251: "), std::string::npos);
  EXPECT_NE(tutto.out.find("warning utf8-source: "), std::string::npos);
  // Every line fits a terminal 80 columns wide: titles and message forms are broken at blanks
  // like the prose. A character takes one column, whatever its length in UTF-8.
  std::istringstream righe(tutto.out);
  for (std::string riga; std::getline(righe, riga);) {
    const auto colonne = std::count_if(riga.begin(), riga.end(), [](char c) {
      return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    });
    EXPECT_LE(colonne, 80) << riga;
  }
}

TEST_F(Nuovo, EveryCommandHasItsHelp) {
  for (const char* c : {"compile", "check", "new", "explain", "inspect", "plot", "serve"}) {
    SCOPED_TRACE(c);
    const auto u = gs(std::string(c) + " --help");
    EXPECT_EQ(u.stato, 0);
    EXPECT_EQ(u.out.rfind("usage: genera_scenario ", 0), 0u) << u.out;
  }
}

}  // namespace
}  // namespace gs

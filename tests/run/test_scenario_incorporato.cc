// The built-in run, from a copy of the program in a folder of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "grid/griglia.h"
#include "run/esecuzione.h"
#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"
#include "support/cartella.h"
#include "support/processo.h"

namespace gs {
namespace {

namespace fs = std::filesystem;
using test::contenuto;

const std::string kBase = "BELMONZA VALICO - SOLMA";
const std::string kScenario = kBase + "_D 237";

class ScenarioIncorporato : public ::testing::Test {
 protected:
  void SetUp() override { fs::copy_file(GS_EXE, dir / "genera_scenario"); }
  test::Uscita esegui() { return test::esegui(dir / "genera_scenario", "", dir.percorso()); }
  std::set<std::string> file() const {
    std::set<std::string> s;
    for (const auto& f : fs::directory_iterator(dir.percorso()))
      s.insert(f.path().filename().string());
    s.erase("genera_scenario");
    return s;
  }
  static int righe(const std::string& testo) {
    int n = 0;
    for (std::size_t i = 0; i + 1 < testo.size(); ++i)
      n += testo[i] == '\r' && testo[i + 1] == '\n';
    return n;
  }
  test::CartellaTemporanea dir;
};

// The embedded sources compiled in memory: the values the table and the grid must hold.
TEST(ScenarioIncorporatoCompilato, HoldsWhatTheSourcesDescribe) {
  Compilazione c;
  c.nome_linea = std::string(kNomeLinea);
  c.nome_treno = std::string(kNomeTreno);
  SorgentiInMemoria sorgenti(componi_testo(righe_linea()), componi_testo(righe_treno()));
  ASSERT_EQ(memorizza_percorso(c, 1, sorgenti, nullptr), 0);
  EXPECT_TRUE(c.registro.elenco().empty());
  const Stazioni& s = c.stazioni;
  EXPECT_EQ(s[84].inizio, 125);
  EXPECT_EQ(s[84].fine, 100000);
  EXPECT_EQ(s[84].posizione, 10);
  EXPECT_EQ(s[86].campo7, 300);
  EXPECT_EQ(s[86].campo10, 5);
  EXPECT_EQ(s[86].campo11, 26);
  EXPECT_EQ(s[86].campo12, 0);
  EXPECT_EQ(s[81].inizio, 0);
  EXPECT_EQ(s[81].fine, 100100);
  EXPECT_EQ(s[81].posizione, 1);
  EXPECT_EQ(s[85].inizio, 80000);
  EXPECT_EQ(s[85].posizione, 65000);
  EXPECT_EQ(s[85].fine, 1);
  EXPECT_EQ(c.stazioni_lette, 27);
  EXPECT_EQ(s[5].nome, "VALBRUNA-LUSSARI ");
  EXPECT_EQ(s[27].nome, "SOLMA");
  // The 31 board texts fill entries 80 down to 50, the last board in entry 50.
  EXPECT_EQ(s[50].nome, "(PONTE IN FERRO  )(FIUME FELLA     )(Mt.155 Km.56+974)");
  EXPECT_TRUE(s[49].nome.empty());
  EXPECT_EQ(s[80].nome, "(GALERIA ARTIF.  )(Mt.140 Km.95+278)");
  int tipi[16] = {};
  for (const Cella& cella : c.celle.tutte()) ++tipi[cella.tipo & 15];
  EXPECT_EQ(tipi[kSegnale], 39);
  EXPECT_EQ(tipi[kInizioRallentamento], 5);
  EXPECT_EQ(tipi[kFineRallentamento], 5);
  EXPECT_EQ(tipi[kIndicatoreVelocita], 10);
  EXPECT_EQ(tipi[kCartelloIndicatore], 31);
  for (int c6 = 114; c6 <= 139; ++c6) EXPECT_EQ(c.celle[c6].velocita, 6) << c6;
}

TEST_F(ScenarioIncorporato, LeavesExactlySixFiles) {
  const auto u = esegui();
  ASSERT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(u.out, "Attendere\n");
  EXPECT_EQ(u.err, "");  // the built-in scenario compiles without a recorded error
  const std::set<std::string> attesi = {kScenario + "_note.txt",
                                        kScenario + "_rallentamenti.txt",
                                        kScenario + "_scheda_treno.txt",
                                        kBase + "_linea.dat",
                                        kScenario + ".sim",
                                        kScenario + ".dat"};
  EXPECT_EQ(file(), attesi);

  EXPECT_EQ(righe(contenuto(dir / (kScenario + "_scheda_treno.txt"))), 56);
  EXPECT_EQ(righe(contenuto(dir / (kScenario + "_rallentamenti.txt"))), 47);
  const std::string note = contenuto(dir / (kScenario + "_note.txt"));
  EXPECT_EQ(righe(note), 80);
  EXPECT_EQ(note.substr(note.size() - 18), "\r\n              \r\n");
  const std::string ordine = contenuto(dir / (kScenario + "_rallentamenti.txt"));
  EXPECT_NE(ordine.find("\r\n                               Modulo M. 3\r\n"), std::string::npos);

  const std::string griglia = contenuto(dir / (kScenario + ".dat"));
  ASSERT_EQ(griglia.size(), 15u * 2141);
  EXPECT_EQ(griglia.substr(16, 4), std::string("\x01\x14\x65\x08", 4));  // 5121, 2149
  const std::string tabella = contenuto(dir / (kScenario + ".sim"));
  const std::size_t linea = tabella.find("BELMONZA VALICO - SOLMA");
  ASSERT_NE(linea, std::string::npos);
  // Entry 85 after its name: campo7 = 610, ..., orario = 28508.
  EXPECT_EQ(tabella.substr(linea + 23, 2), std::string("\x62\x02", 2));
  EXPECT_EQ(tabella.substr(linea + 23 + 14, 4), std::string("\x5C\x6F\x00\x00", 4));
  // 107001 metres a column: two integers, 106997 doubles, two empty metres.
  EXPECT_EQ(fs::file_size(dir / (kBase + "_linea.dat")), 2u * (2 * 4 + 106997 * 10 + 2 * 2));
}

TEST_F(ScenarioIncorporato, RunsTwiceIdenticallyAndReplacesOlderFilesWhole) {
  ASSERT_EQ(esegui().stato, 0);
  std::set<std::string> nomi = file();
  std::map<std::string, std::string> prima;
  for (const std::string& n : nomi) {
    prima[n] = contenuto(dir / n);
    test::scrivi(dir / n, prima[n] + std::string(100000, 'Z'));  // an older, longer file
  }
  test::scrivi(dir / (kBase + "_linea.txt"), "left over");
  ASSERT_EQ(esegui().stato, 0);
  EXPECT_EQ(file(), nomi);
  for (const std::string& n : nomi) EXPECT_EQ(contenuto(dir / n), prima[n]) << n;
}

TEST_F(ScenarioIncorporato, AFileThatCannotBeWrittenEndsTheRunWithAMessage) {
  // A folder in the way of the line source cannot be replaced by a file.
  fs::create_directory(dir / (kBase + "_linea.txt"));
  const auto u = esegui();
  EXPECT_EQ(u.stato, 2);
  EXPECT_NE(u.err.find("cannot replace"), std::string::npos) << u.err;
  EXPECT_NE(u.err.find(kBase + "_linea.txt"), std::string::npos) << u.err;
  EXPECT_EQ(file(), std::set<std::string>{kBase + "_linea.txt"});  // no temporary file left
}

}  // namespace
}  // namespace gs

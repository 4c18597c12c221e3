// The writer the two sources share: where a table ends and how a file is replaced.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "aiuti_test.h"
#include "common/file_system.h"
#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"

namespace gs {
namespace {

TEST(ContenutoScrittura, TheMarkerEndsTheTableWithoutBeingWritten) {
  struct Caso {
    std::vector<std::string_view> slot;
    std::string_view atteso;
  };
  const Caso casi[] = {
      {{kFineFile}, ""},
      {{"", kFineFile}, "\r\n"},
      {{"a ", "", " b", kFineFile, "dopo"}, "a \r\n\r\n b\r\n"},
      // Only the exact marker stops; a variant of it is an ordinary line.
      {{"Riferimento fine del file", kFineFile}, "Riferimento fine del file\r\n"},
  };
  for (const auto& c : casi) EXPECT_EQ(componi_testo(c.slot), c.atteso);
}

TEST(ContenutoScrittura, WithoutAMarkerItStopsAtTheLastSlot) {
  const std::vector<std::string_view> slot(kSlotTesto + 5, "x");
  EXPECT_EQ(componi_testo(slot).size(), kSlotTesto * 3);
}

TEST(ContenutoScrittura, BothSourcesEndWithCrLf) {
  for (const auto tabella : {righe_linea(), righe_treno()}) {
    const auto testo = componi_testo(tabella);
    EXPECT_TRUE(testo.ends_with("[fine]\r\n"));
    EXPECT_EQ(testo.find(kFineFile), std::string::npos);
  }
}

// The written train source read back: its sections with their line counts, the column widths
// that fix each record's length, and lines known in full.
TEST(ContenutoScrittura, ANewFileAndAShorterOneAreWrittenWhole) {
  test::CartellaTemporanea cartella;
  const auto nuovo = cartella.percorso() / "nuovo.txt";
  const auto corto = cartella.percorso() / "corto.txt";
  scrivi_file(corto, "abc");
  dati_treno(nuovo);
  dati_treno(corto);
  const std::string testo = leggi_file(nuovo);
  EXPECT_EQ(leggi_file(corto), testo);

  std::vector<std::string> righe;
  ASSERT_TRUE(test::righe_crlf(testo, righe));  // every line, the last included, ends in CR LF
  ASSERT_EQ(righe.size(), 104u);

  // Each section's lines, its head included, in file order.
  std::vector<std::pair<std::string, std::size_t>> sezioni;
  for (const auto& r : righe) {
    EXPECT_FALSE(r.empty());
    EXPECT_NE(r, kFineFile);
    if (r.starts_with("["))
      sezioni.emplace_back(r, 0);
    else
      ASSERT_FALSE(sezioni.empty()) << r;
    ++sezioni.back().second;
  }
  const std::vector<std::pair<std::string, std::size_t>> attese = {
      {"[generale]", 5},      {"[aderenze]", 6}, {"[vel_limite]", 17}, {"[stazioni]", 28},
      {"[rallentamenti]", 6}, {"[segnali]", 40}, {"[codici]", 1},      {"[fine]", 1}};
  EXPECT_EQ(sezioni, attese);

  // After the keyword and its comma, numbers right-aligned in fixed widths joined by commas; a
  // station then has ", " and its name, a signal ", " and its last number.
  struct Record {
    std::string_view chiave;
    std::vector<std::size_t> larghezze;
    bool coda;
  };
  const Record kRecord[] = {
      {"aderenza,", {8, 6}, false},
      {"velocita,", {8, 6}, false},
      {"stazione,", {8, 3, 5, 3, 2, 2, 3, 1, 1, 3, 1, 1, 5, 4, 2, 2}, true},
      {"rallentamento,", {8, 6, 5, 2, 3, 3}, false},
      {"segnale,", {8, 4, 2, 2, 3, 2, 5, 3, 1, 1}, true},
  };
  std::size_t misurate = 0;
  for (const auto& r : righe) {
    for (const auto& k : kRecord) {
      if (!r.starts_with(k.chiave)) continue;
      std::size_t colonne = k.chiave.size() + k.larghezze.size() - 1;
      for (const auto l : k.larghezze) colonne += l;
      if (k.coda)
        EXPECT_TRUE(r.size() > colonne + 2 && r.substr(colonne, 2) == ", ") << r;
      else
        EXPECT_EQ(r.size(), colonne) << r;
      ++misurate;
    }
  }
  EXPECT_EQ(misurate, 5u + 16 + 27 + 5 + 39);

  const std::string orologio = "orologio," + std::string(4, ' ') + "5" + std::string(15, ' ') +
                               "26" + std::string(12, ' ') + "0 ";
  const std::pair<std::size_t, std::string_view> kCitate[] = {
      {0, "[generale]"},
      {1, "numero vetture,    10"},
      {2, "percentuale massa frenata,    125"},
      {3, "sabbia,    300"},
      {4, orologio},
      {6, "aderenza,       0,    90"},
      {12, "velocita,       0,    75"},
      {27, "velocita,  100250,    95"},
      {29,
       "stazione,       0,  8,  500,  0, 0, 1,  1,1,0,  4,1,1,    1,   5,27, 0, BELMONZA VALICO"},
      {33,
       "stazione,   14950, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, VALBRUNA-LUSSARI "},
      {57, "rallentamento,   10650,    30,  300, 1,  0,  0"},
      {63, "segnale,    4500,   1, 3, 0,  0, 0,    0,  0,0,0, 0"},
      {68, "segnale,   22950,   2, 4, 0,  0, 0,    0,  0,0,0, 210"},
      {102, "[codici]"},
      {103, "[fine]"},
  };
  for (const auto& [riga, attesa] : kCitate) EXPECT_EQ(righe[riga], attesa) << "line " << riga + 1;
}

}  // namespace
}  // namespace gs

// The train source is checked by reading its fixed columns back: every number must sit
// right-aligned in its stated width, and the tables must hold the stated records.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "aiuti_test.h"
#include "common/file_system.h"
#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"

namespace gs {
namespace {

using test::campi;
using test::in_colonna;

std::span<const std::string_view> righe() {
  return test::senza_marcatore(righe_treno(), kFineFile);
}

std::vector<std::string_view> records(std::string_view testa) {
  const auto tutte = righe();
  const auto it = std::find(tutte.begin(), tutte.end(), testa);
  if (it == tutte.end()) {
    ADD_FAILURE() << "no section " << testa;
    return {};
  }
  std::vector<std::string_view> out;
  for (auto r = it + 1; r != tutte.end() && !r->starts_with("["); ++r) out.push_back(*r);
  return out;
}

// What follows the fixed columns of a record.
enum class Coda { kNessuna, kNome, kNumeroLibero };

struct Formato {
  std::string_view testa;
  std::string_view chiave;
  std::vector<std::size_t> larghezze;
  Coda coda;
};

const std::vector<Formato>& formati() {
  static const std::vector<Formato> f = {
      {"[aderenze]", "aderenza", {8, 6}, Coda::kNessuna},
      {"[vel_limite]", "velocita", {8, 6}, Coda::kNessuna},
      {"[stazioni]", "stazione", {8, 3, 5, 3, 2, 2, 3, 1, 1, 3, 1, 1, 5, 4, 2, 2}, Coda::kNome},
      {"[rallentamenti]", "rallentamento", {8, 6, 5, 2, 3, 3}, Coda::kNessuna},
      {"[segnali]", "segnale", {8, 4, 2, 2, 3, 2, 5, 3, 1, 1}, Coda::kNumeroLibero},
  };
  return f;
}

// The numbers of a record of `testa`, the tail one included; `nome` receives a station name.
std::vector<int64_t> valori(std::string_view testa, std::string_view riga,
                            std::string* nome = nullptr) {
  const auto& fs = formati();
  const auto f =
      std::find_if(fs.begin(), fs.end(), [&](const Formato& x) { return x.testa == testa; });
  if (f == fs.end()) {
    ADD_FAILURE() << "no format for " << testa;
    return {};
  }
  const auto c = campi(riga);
  const std::size_t attesi = 1 + f->larghezze.size() + (f->coda == Coda::kNessuna ? 0 : 1);
  if (c.size() != attesi || c[0] != f->chiave) {
    ADD_FAILURE() << "bad record: " << riga;
    return {};
  }
  std::vector<int64_t> out;
  for (std::size_t k = 0; k < f->larghezze.size(); ++k) {
    const auto v = in_colonna(c[k + 1], f->larghezze[k]);
    if (!v) {
      ADD_FAILURE() << "column " << k + 1 << " not right-aligned in " << f->larghezze[k] << ": "
                    << riga;
      return {};
    }
    out.push_back(*v);
  }
  const auto coda = c.back();
  if (f->coda == Coda::kNumeroLibero) {
    const auto v = test::dopo_spazi(coda, 1);
    if (!v) {
      ADD_FAILURE() << "last number not after one blank: " << riga;
      return {};
    }
    out.push_back(*v);
  } else if (f->coda == Coda::kNome) {
    if (coda.size() < 2 || coda[0] != ' ' || coda[1] == ' ') ADD_FAILURE() << "bad name: " << riga;
    if (nome) *nome = std::string(coda.substr(1));
  }
  return out;
}

TEST(ContenutoTreno, A104RowTableThenTheMarker) {
  const auto tabella = righe_treno();
  ASSERT_EQ(tabella.size(), 105u);
  EXPECT_EQ(tabella[104], kFineFile);
  EXPECT_EQ(righe().size(), 104u);
  EXPECT_EQ(tabella[0], "[generale]");
  // No record under "[codici]": the file closes right after it.
  EXPECT_EQ(tabella[102], "[codici]");
  EXPECT_EQ(tabella[103], "[fine]");
}

TEST(ContenutoTreno, SectionsInOrderWithTheirStatedRowCounts) {
  struct Atteso {
    std::string_view testa;
    std::size_t slot;
    std::size_t record;
  };
  constexpr Atteso kAttese[] = {
      {"[generale]", 0, 4},   {"[aderenze]", 5, 5},       {"[vel_limite]", 11, 16},
      {"[stazioni]", 28, 27}, {"[rallentamenti]", 56, 5}, {"[segnali]", 62, 39},
      {"[codici]", 102, 0},   {"[fine]", 103, 0},
  };
  std::vector<std::size_t> teste;
  const auto tutte = righe();
  for (std::size_t i = 0; i < tutte.size(); ++i)
    if (tutte[i].starts_with("[")) teste.push_back(i);
  ASSERT_EQ(teste.size(), std::size(kAttese));
  for (std::size_t i = 0; i < teste.size(); ++i) {
    SCOPED_TRACE(kAttese[i].testa);
    EXPECT_EQ(tutte[teste[i]], kAttese[i].testa);
    EXPECT_EQ(teste[i], kAttese[i].slot);
    EXPECT_EQ(records(kAttese[i].testa).size(), kAttese[i].record);
  }
}

TEST(ContenutoTreno, EdgeSpacesOnlyInTheTwoLinesThatCarryThem) {
  std::vector<std::size_t> con_spazio_finale;
  const auto tutte = righe();
  for (std::size_t i = 0; i < tutte.size(); ++i) {
    const auto r = tutte[i];
    SCOPED_TRACE(std::string(r));
    ASSERT_FALSE(r.empty());
    EXPECT_NE(r.front(), ' ');
    EXPECT_FALSE(r.ends_with("  "));
    if (r.back() == ' ') con_spazio_finale.push_back(i);
    for (const char c : r) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "byte " << int(c);
  }
  ASSERT_EQ(con_spazio_finale.size(), 2u);
  EXPECT_TRUE(tutte[con_spazio_finale[0]].starts_with("orologio,"));
  EXPECT_TRUE(tutte[con_spazio_finale[1]].ends_with(", VALBRUNA-LUSSARI "));
}

TEST(ContenutoTreno, GeneralSectionWithTheClockSeparatedBySpaces) {
  const auto generale = records("[generale]");
  const std::string orologio = "orologio," + std::string(4, ' ') + "5" + std::string(15, ' ') +
                               "26" + std::string(12, ' ') + "0 ";
  const std::vector<std::string_view> attese = {
      "numero vetture,    10", "percentuale massa frenata,    125", "sabbia,    300", orologio};
  EXPECT_EQ(generale, attese);
}

TEST(ContenutoTreno, QuotedLinesAreWrittenByteForByte) {
  constexpr std::string_view kCitate[] = {
      "orologio,    5               26            0 ",
      "aderenza,       0,    90",
      "velocita,       0,    75",
      "velocita,  100250,    95",
      "stazione,       0,  8,  500,  0, 0, 1,  1,1,0,  4,1,1,    1,   5,27, 0, BELMONZA VALICO",
      "stazione,   14950, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, VALBRUNA-LUSSARI ",
      "rallentamento,   10650,    30,  300, 1,  0,  0",
      "segnale,    4500,   1, 3, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   22950,   2, 4, 0,  0, 0,    0,  0,0,0, 210",
  };
  const auto tutte = righe();
  for (const auto c : kCitate) EXPECT_EQ(std::count(tutte.begin(), tutte.end(), c), 1) << c;
  EXPECT_EQ(records("[stazioni]").at(0), kCitate[4]);
  EXPECT_EQ(records("[stazioni]").at(4), kCitate[5]);
  EXPECT_EQ(records("[vel_limite]").back(), kCitate[3]);
}

TEST(ContenutoTreno, EveryNumericColumnAlignedToItsWidth) {
  for (const auto& f : formati()) {
    SCOPED_TRACE(f.testa);
    for (const auto r : records(f.testa)) EXPECT_FALSE(valori(f.testa, r).empty()) << r;
  }
}

TEST(ContenutoTreno, AdhesionAndSpeedProfiles) {
  std::vector<std::array<int64_t, 2>> aderenze;
  for (const auto r : records("[aderenze]")) {
    const auto v = valori("[aderenze]", r);
    ASSERT_EQ(v.size(), 2u);
    aderenze.push_back({v[0], v[1]});
  }
  EXPECT_EQ(aderenze, (std::vector<std::array<int64_t, 2>>{
                          {0, 90}, {11750, 85}, {15000, 95}, {28000, 80}, {77000, 90}}));

  int64_t precedente = -1, somma_pos = 0, somma_vel = 0;
  const auto limiti = records("[vel_limite]");
  for (const auto r : limiti) {
    const auto v = valori("[vel_limite]", r);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_GT(v[0], precedente);
    EXPECT_EQ(v[0] % 50, 0);
    precedente = v[0];
    somma_pos += v[0];
    somma_vel += v[1];
  }
  // The last limit stands past the line's 100000 m but inside the 7000 m tail of the grid.
  EXPECT_GT(precedente, 100000);
  EXPECT_LT(precedente, 107000);
  EXPECT_EQ(somma_pos, 859250);
  EXPECT_EQ(somma_vel, 1235);
}

TEST(ContenutoTreno, StationsInOrderWithTimesAndNames) {
  const auto stazioni = records("[stazioni]");
  ASSERT_EQ(stazioni.size(), 27u);
  int64_t precedente = -1000, somma_pos = 0, somma_lung = 0, somma_tipo = 0;
  std::array<int64_t, 10> somme_campi{};  // station fields 4 to 13
  std::map<int, std::array<int64_t, 3>> orari;
  std::vector<std::string> nomi;
  for (std::size_t i = 0; i < stazioni.size(); ++i) {
    SCOPED_TRACE(std::string(stazioni[i]));
    std::string nome;
    const auto v = valori("[stazioni]", stazioni[i], &nome);
    ASSERT_EQ(v.size(), 16u);
    EXPECT_EQ(v[0] % 50, 0);
    EXPECT_EQ(v[2] % 100, 0);
    EXPECT_GE(v[0] - precedente, 350);  // the reader refuses closer or unordered stations
    precedente = v[0];
    somma_pos += v[0];
    somma_tipo += v[1];
    somma_lung += v[2];
    for (std::size_t k = 0; k < somme_campi.size(); ++k) somme_campi[k] += v[3 + k];
    EXPECT_LT(v[13], 24);
    EXPECT_LT(v[14], 60);
    EXPECT_LT(v[15], 60);
    if (v[13] || v[14] || v[15]) orari[static_cast<int>(i + 1)] = {v[13], v[14], v[15]};
    nomi.push_back(nome);
  }
  EXPECT_EQ(valori("[stazioni]", stazioni.front())[0], 0);
  EXPECT_EQ(precedente, 100000);
  EXPECT_EQ(somma_pos, 1280650);
  EXPECT_EQ(somma_lung, 14700);
  EXPECT_EQ(somma_tipo, 494);
  EXPECT_EQ(somme_campi, (std::array<int64_t, 10>{6, 0, 1, 29, 14, 0, 64, 19, 19, 1334}));
  const std::map<int, std::array<int64_t, 3>> orari_attesi = {
      {1, {5, 27, 0}},  {2, {5, 37, 0}}, {3, {5, 41, 0}}, {10, {6, 13, 0}},
      {18, {6, 46, 0}}, {20, {7, 0, 0}}, {27, {7, 29, 0}}};
  EXPECT_EQ(orari, orari_attesi);
  EXPECT_EQ(nomi[0], "BELMONZA VALICO");
  EXPECT_EQ(nomi[2], "BELMONZA CITTA'");
  EXPECT_EQ(nomi[4], "VALBRUNA-LUSSARI ");
  EXPECT_EQ(nomi[8], "LAGLESIE-SAN LEOPOLDO");
  EXPECT_EQ(nomi[25], "P.M.DI BIVIO VAT");
  EXPECT_EQ(nomi[26], "SOLMA");
}

TEST(ContenutoTreno, Slowdowns) {
  std::vector<std::vector<int64_t>> letti;
  for (const auto r : records("[rallentamenti]")) letti.push_back(valori("[rallentamenti]", r));
  const std::vector<std::vector<int64_t>> attesi = {{10650, 30, 300, 1, 0, 0},
                                                    {22350, 65, 50, 1, 0, 0},
                                                    {23350, 30, 800, 1, 0, 0},
                                                    {42750, 65, 350, 1, 0, 0},
                                                    {60650, 75, 400, 1, 0, 0}};
  EXPECT_EQ(letti, attesi);
}

TEST(ContenutoTreno, SignalsWithUnusedColumnsAtZero) {
  const auto segnali = records("[segnali]");
  ASSERT_EQ(segnali.size(), 39u);
  int64_t precedente = -1, somma_pos = 0, somma_s1 = 0, somma_s2 = 0;
  int primo_tipo = 0;
  std::map<int64_t, int64_t> con_tempo;
  for (const auto r : segnali) {
    SCOPED_TRACE(std::string(r));
    const auto v = valori("[segnali]", r);
    ASSERT_EQ(v.size(), 11u);
    EXPECT_GT(v[0], precedente);
    EXPECT_EQ(v[0] % 50, 0);
    precedente = v[0];
    EXPECT_TRUE(v[1] == 1 || v[1] == 2);
    for (std::size_t k = 4; k <= 9; ++k) EXPECT_EQ(v[k], 0) << "column " << k + 1;  // s3 .. d3
    primo_tipo += v[1] == 1;
    somma_pos += v[0];
    somma_s1 += v[2];
    somma_s2 += v[3];
    if (v[10] != 0) con_tempo[v[0]] = v[10];
  }
  EXPECT_EQ(primo_tipo, 16);
  EXPECT_EQ(somma_pos, 2132750);
  EXPECT_EQ(somma_s1, 134);
  EXPECT_EQ(somma_s2, 26);
  const std::map<int64_t, int64_t> attesi = {{22950, 210}, {26100, 115}, {47500, 115},
                                             {59000, 210}, {84700, 115}, {88950, 115}};
  EXPECT_EQ(con_tempo, attesi);
}

TEST(ContenutoTreno, TheWrittenFileReplacesTheOldOne) {
  test::CartellaTemporanea cartella;
  const auto file = cartella.percorso() / "BELMONZA VALICO - SOLMA_D 237-.txt";
  scrivi_file(file, std::string(50000, '\n'));

  dati_treno(file);
  const std::string testo = leggi_file(file);
  std::vector<std::string> lette;
  ASSERT_TRUE(test::righe_crlf(testo, lette));
  ASSERT_EQ(lette.size(), 104u);
  for (std::size_t i = 0; i < lette.size(); ++i) EXPECT_EQ(lette[i], righe()[i]);
  EXPECT_NE(testo.find("            0 \r\n[aderenze]\r\n"), std::string::npos);
  EXPECT_NE(testo.find("VALBRUNA-LUSSARI \r\n"), std::string::npos);
  EXPECT_TRUE(testo.ends_with("[codici]\r\n[fine]\r\n"));
  EXPECT_EQ(testo.find("riferimento"), std::string::npos);

  dati_treno(file);
  EXPECT_EQ(leggi_file(file), testo);
}

}  // namespace
}  // namespace gs

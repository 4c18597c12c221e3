// The diagnostics published as the sources change: every diagnostic of check at its place, a
// line source alone, a train source without its line source, a line edit seen in its train
// sources, and the text's encoding.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "common/nomi_file.h"
#include "lsp/sessione.h"
#include "run/opzioni_compila.h"
#include "run/spiegazioni.h"
#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"
#include "support/cartella.h"
#include "support/esempi.h"

namespace gs {
namespace {

using nlohmann::json;
using test::CartellaTemporanea;
using test::Sessione;
using test::sostituzione;
using test::tutto;

// A diagnostic as a line of text, for comparing lists in any order.
std::string riga_lsp(const json& d) {
  std::string s = std::to_string(d["range"]["start"]["line"].get<int>()) + ":" +
                  std::to_string(d["range"]["start"]["character"].get<int>()) + " " +
                  std::to_string(d["severity"].get<int>()) + " " + d.value("code", "") + " " +
                  d["message"].get<std::string>();
  s += " related " + std::to_string(d.value("relatedInformation", json::array()).size());
  return s;
}

std::string riga_check(const Diagnostica& d) {
  const int gravita = d.gravita == Gravita::kErrore ? 1 : d.gravita == Gravita::kAvviso ? 2 : 3;
  std::string codice = d.avviso;
  if (d.gravita != Gravita::kAvviso) {
    codice = "E";
    codice += std::to_string(d.n_errore);
  }
  return std::to_string(std::max(d.luogo.riga - 1, 0)) + ":" +
         std::to_string(std::max(d.luogo.colonna - 1, 0)) + " " + std::to_string(gravita) + " " +
         codice + " " + d.messaggio + " related " + std::to_string(d.correlati.size());
}

std::vector<std::string> ordinate(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// Every example of explain's table, added to the small scenario of `new`: what the server
// publishes for each source is what check finds there, at the same line and column, with the
// same severity, code, message and related places, whether the line source is open in the
// editor or read from disk.
TEST(LspDiagnostiche, EveryDiagnosticOfCheckAtItsPlace) {
  CartellaTemporanea dir;
  const auto file_linea = dir / "MIA_linea.txt";
  const auto file_treno = dir / "MIA_D 1-.txt";
  int provati = 0;
  for (const Spiegazione& v : voci()) {
    for (const Causa& c : v.cause) {
      const auto esempio = test::sorgenti_esempio(c);
      if (!esempio) continue;
      const auto& [l, t] = *esempio;
      test::scrivi(file_linea, l);
      test::scrivi(file_treno, t);

      Opzioni o;
      o.scrivi = false;
      o.sorgenti = {file_linea.generic_string(), file_treno.generic_string()};
      ASSERT_FALSE(prepara_nomi(o));
      Compilazione comp;
      compila_testi(comp, o, l, t);
      std::vector<std::string> attese[2];
      for (const Diagnostica& d : comp.registro.elenco())
        attese[d.luogo.file == o.sorgenti[0] ? 0 : 1].push_back(riga_check(d));

      for (const bool linea_aperta : {true, false}) {
        SCOPED_TRACE(std::string(v.avviso.empty() ? std::to_string(v.numero) : v.avviso) + ": " +
                     std::string(c.modello) + (linea_aperta ? " (line open)" : " (line on disk)"));
        Sessione s;
        s.inizializza();
        // The editor shows the Windows-1252 file's characters.
        if (linea_aperta) s.apri(file_linea, utf8_da_1252(l));
        s.apri(file_treno, utf8_da_1252(t));
        s.aggiorna();
        for (int i = 0; i < 2; ++i) {
          std::vector<std::string> pubblicate;
          for (const json& d : s.pubblicate[Sessione::uri(i == 0 ? file_linea : file_treno)]) {
            pubblicate.push_back(riga_lsp(d));
            EXPECT_EQ(d["source"], "genera_scenario");
            // The range runs forward on one line.
            EXPECT_EQ(d["range"]["end"]["line"], d["range"]["start"]["line"]);
            EXPECT_GE(d["range"]["end"]["character"], d["range"]["start"]["character"]);
          }
          EXPECT_EQ(ordinate(pubblicate), ordinate(attese[i])) << (i == 0 ? "line" : "train");
        }
      }
      ++provati;
    }
  }
  EXPECT_GT(provati, 50);
}

// The built-in line and train, open or on disk, written as `new --built-in` writes them.
class LspScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    linea = utf8_da_1252(componi_testo(righe_linea()));
    treno = utf8_da_1252(componi_testo(righe_treno()));
    file_linea = dir / "BELMONZA VALICO - SOLMA_linea.txt";
    file_treno = dir / "BELMONZA VALICO - SOLMA_D 237-.txt";
    test::scrivi(file_linea, componi_testo(righe_linea()));
    test::scrivi(file_treno, componi_testo(righe_treno()));
    s.inizializza();
  }

  // The line of a text that starts with `inizio`.
  static int riga_di(const std::string& testo, const std::string& inizio) {
    int n = 0;
    for (std::size_t i = 0; i < testo.size(); i = testo.find('\n', i) + 1, ++n) {
      if (testo.compare(i, inizio.size(), inizio) == 0) return n;
      if (testo.find('\n', i) == std::string::npos) break;
    }
    ADD_FAILURE() << inizio;
    return -1;
  }

  const std::vector<json>& di(const std::filesystem::path& p) {
    return s.pubblicate[Sessione::uri(p)];
  }

  CartellaTemporanea dir;
  std::filesystem::path file_linea, file_treno;
  std::string linea, treno;
  Sessione s;
};

TEST_F(LspScenario, AMistakeAtItsExactRangeThenGone) {
  const std::string u = s.apri(file_treno, treno);
  s.aggiorna();
  EXPECT_TRUE(di(file_treno).empty());
  // "segnale,    4500,   1, ..." with the position mistyped as "45O0"
  const int r = riga_di(treno, "segnale,    4500");
  s.cambia(u, 2, {sostituzione(r, 14, 15, "O")});
  EXPECT_EQ(s.aggiorna(), 1);
  ASSERT_EQ(di(file_treno).size(), 1u);
  const json& d = di(file_treno)[0];
  EXPECT_EQ(d["code"], "E25");
  EXPECT_EQ(d["severity"], 1);
  EXPECT_EQ(d["range"], json::parse("{\"start\":{\"line\":" + std::to_string(r) +
                                    ",\"character\":12},\"end\":{\"line\":" + std::to_string(r) +
                                    ",\"character\":16}}"));
  s.cambia(u, 3, {sostituzione(r, 14, 15, "0")});
  s.aggiorna();
  EXPECT_TRUE(di(file_treno).empty());
}

TEST_F(LspScenario, ALineSourceAloneIsCheckedAsFarAsTheLineReader) {
  const std::string u = s.apri(file_linea, linea);
  s.aggiorna();
  EXPECT_TRUE(di(file_linea).empty()) << di(file_linea)[0];
  const int r = riga_di(linea, "lunghezza percorso");
  s.cambia(u, 2, {sostituzione(r, 0, r + 1, 0, "lunghezza percorso, 1000001\r\n")});
  s.aggiorna();
  ASSERT_EQ(di(file_linea).size(), 1u);
  EXPECT_EQ(di(file_linea)[0]["code"], "E1");
  EXPECT_EQ(di(file_linea)[0]["range"]["start"]["line"], r);
  // Only the line source is spoken of: its train source is not open.
  EXPECT_EQ(s.pubblicate.size(), 1u);
}

TEST_F(LspScenario, ALineEditRefreshesItsOpenTrainSources) {
  const std::string ul = s.apri(file_linea, linea);
  s.apri(file_treno, treno);
  s.aggiorna();
  EXPECT_TRUE(di(file_treno).empty());
  // A shorter line: the train's later points lie past its end.
  const int r = riga_di(linea, "lunghezza percorso");
  s.cambia(ul, 2, {sostituzione(r, 0, r + 1, 0, "lunghezza percorso, 95000\r\n")});
  s.aggiorna();
  ASSERT_EQ(di(file_treno).size(), 4u);
  for (const json& d : di(file_treno)) EXPECT_EQ(d["code"], "past-line-end") << d;
  s.cambia(ul, 3, {tutto(linea)});
  s.aggiorna();
  EXPECT_TRUE(di(file_treno).empty());
}

TEST_F(LspScenario, ATrainSourceWithoutItsLineSource) {
  struct Caso {
    const char* nome;
    const char* messaggio;
  };
  const Caso casi[] = {
      {"ALTRA_D 1-.txt", "no line source beside this train source: looked for ALTRA_linea.txt"},
      {"A_B_D 1-.txt", "looked for A_linea.txt or A_B_linea.txt, so"},
      {"SENZA-.txt", "cannot tell the line source from this train source's file name SENZA-.txt"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const std::string u = s.apri(dir / c.nome, treno);
    s.aggiorna();
    const auto& elenco = di(dir / c.nome);
    ASSERT_EQ(elenco.size(), 1u);
    EXPECT_EQ(elenco[0]["code"], "no-line-source");
    EXPECT_NE(elenco[0]["message"].get<std::string>().find(c.messaggio), std::string::npos)
        << elenco[0]["message"];
    s.notifica("textDocument/didClose", {{"textDocument", {{"uri", u}}}});
    s.aggiorna();
    EXPECT_TRUE(di(dir / c.nome).empty());
  }
  // The line source appears on disk: a save (or a watched file's change) compiles the pair.
  const std::string u = s.apri(dir / "ALTRA_D 1-.txt", treno);
  s.aggiorna();
  EXPECT_EQ(di(dir / "ALTRA_D 1-.txt").size(), 1u);
  test::scrivi(dir / "ALTRA_linea.txt", componi_testo(righe_linea()));
  s.notifica("textDocument/didSave", {{"textDocument", {{"uri", u}}}});
  s.aggiorna();
  EXPECT_TRUE(di(dir / "ALTRA_D 1-.txt").empty()) << di(dir / "ALTRA_D 1-.txt")[0];
}

TEST_F(LspScenario, ACharacterWindows1252LacksIsMarkedAndShiftsNoRange) {
  const std::string u = s.apri(file_treno, treno);
  // The first station named with a character outside Windows-1252 (two UTF-16 units), then a
  // mistake after the name on the same line: the mistake's column counts the character as two.
  const int r = riga_di(treno, "stazione,       0");
  const std::string riga =
      "stazione,       0,  8,  500,  0, 0, 1,  1,1,0,  4,1,1,    1,   5,27, 0, "
      "\xF0\x9F\x9A\x82VALICO, segnale, 45O0, 1, 3, 0,  0, 0,    0,  0,0,0, 0";
  s.cambia(u, 2, {sostituzione(r, 0, r + 1, 0, riga + "\r\n")});
  s.aggiorna();
  const auto& elenco = di(file_treno);
  ASSERT_EQ(elenco.size(), 2u) << elenco[0];
  EXPECT_EQ(elenco[0]["code"], "not-windows-1252");
  EXPECT_EQ(elenco[0]["range"], sostituzione(r, 72, 74, "")["range"]);
  EXPECT_NE(elenco[0]["message"].get<std::string>().find("(U+1F682)"), std::string::npos);
  EXPECT_EQ(elenco[1]["code"], "E25");
  EXPECT_EQ(elenco[1]["range"], sostituzione(r, 91, 95, "")["range"]);
}

TEST_F(LspScenario, Utf8SourceIsJudgedFromTheFileOnDisk) {
  // On disk the train source is UTF-8; the editor that opened it so shows "À".
  const int r = riga_di(treno, "stazione,    6600");
  std::string utf8 = treno;
  utf8.replace(utf8.find("BELMONZA CENTRALE"), 8, "BELM\xC3\x93NZA");
  test::scrivi(file_treno, utf8);
  const std::string u = s.apri(file_treno, utf8);
  s.aggiorna();
  ASSERT_EQ(di(file_treno).size(), 1u);
  const json& d = di(file_treno)[0];
  EXPECT_EQ(d["code"], "utf8-source");
  EXPECT_EQ(d["severity"], 2);
  EXPECT_EQ(d["range"]["start"]["line"], r);
  // Saved as Windows-1252, the text is the same for the editor and the warning goes at the save.
  test::scrivi(file_treno, componi_testo(righe_treno()));
  s.cambia(u, 2, {tutto(treno)});
  s.aggiorna();
  EXPECT_EQ(di(file_treno).size(), 1u);
  s.notifica("textDocument/didSave", {{"textDocument", {{"uri", u}}}});
  s.aggiorna();
  EXPECT_TRUE(di(file_treno).empty());
}

TEST_F(LspScenario, ConflictsCarryTheirRelatedPlaces) {
  const std::string ut = s.apri(file_treno, treno);
  s.apri(file_linea, linea);
  // A second signal in the cell of the first.
  const int r = riga_di(treno, "segnale,    5700");
  s.cambia(ut, 2, {sostituzione(r, 12, 16, "4500")});
  s.aggiorna();
  ASSERT_EQ(di(file_treno).size(), 1u);
  const json& d = di(file_treno)[0];
  EXPECT_EQ(d["code"], "E16");
  ASSERT_EQ(d["relatedInformation"].size(), 1u);
  const json& altro = d["relatedInformation"][0]["location"];
  EXPECT_EQ(altro["uri"], Sessione::uri(file_treno));
  EXPECT_EQ(altro["range"]["start"]["line"], riga_di(treno, "segnale,    4500"));
  // The record that holds the cell, by its keyword.
  EXPECT_EQ(altro["range"]["start"]["character"], 0);
  EXPECT_EQ(altro["range"]["end"]["character"], 7);
}

// Edits that change nothing a compile reads publish nothing new for the other source, and
// closing a document clears what it showed.
TEST_F(LspScenario, OnlyWhatChangedIsPublished) {
  const std::string ul = s.apri(file_linea, linea);
  const std::string ut = s.apri(file_treno, treno);
  EXPECT_EQ(s.aggiorna(), 2);
  EXPECT_EQ(s.aggiorna(), 0);
  s.cambia(ut, 2, {sostituzione(0, 0, 0, " ")});
  EXPECT_EQ(s.aggiorna(), 1);  // the train source's new version; the line's list is the same
  const int r = riga_di(linea, "[curve]");
  s.cambia(ul, 2, {sostituzione(r, 0, 0, "nonsense, ")});
  EXPECT_EQ(s.aggiorna(), 1);
  ASSERT_EQ(di(file_linea).size(), 1u);
  s.notifica("textDocument/didClose", {{"textDocument", {{"uri", ul}}}});
  // Closed, the line source is read from disk again, where it has no mistake.
  s.aggiorna();
  EXPECT_TRUE(di(file_linea).empty());
}

}  // namespace
}  // namespace gs

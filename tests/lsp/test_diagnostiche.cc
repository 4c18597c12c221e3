// The diagnostics published as the sources change: every diagnostic of check at its place, a
// line source alone, a train source without its line source, a line edit seen in its train
// sources, and the text's encoding.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "common/nomi_file.h"
#include "lsp/pubblica.h"
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
    const char* codice;
    const char* messaggio;
  };
  // A folder where the line source should be: found, but it cannot be read.
  std::filesystem::create_directory(dir / "CARTELLA_linea.txt");
  const Caso casi[] = {
      {"ALTRA_D 1-.txt", "line-source-not-found",
       "no line source beside this train source: looked for ALTRA_linea.txt"},
      {"A_B_D 1-.txt", "line-source-not-found", "looked for A_linea.txt or A_B_linea.txt, so"},
      {"SENZA-.txt", "line-source-not-found",
       "cannot tell the line source from this train source's file name SENZA-.txt"},
      {"CARTELLA_D 1-.txt", "line-source-unreadable", "the line source cannot be read: "},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const std::string u = s.apri(dir / c.nome, treno);
    s.aggiorna();
    const auto& elenco = di(dir / c.nome);
    ASSERT_EQ(elenco.size(), 1u);
    EXPECT_EQ(elenco[0]["code"], c.codice);
    EXPECT_EQ(elenco[0]["severity"], 1);
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

// A train name drawn from the file name that no compiled file could take: the pair is compiled
// all the same, and the reason stands at the top of the train source. The train source is only
// open in the editor, so its name need not be one the file system takes.
TEST_F(LspScenario, UnusableNamesAreToldAtTheTop) {
  test::scrivi(dir / "CON_linea.txt", componi_testo(righe_linea()));
  s.apri(dir / "CON_D*1-.txt", treno);
  s.aggiorna();
  const auto& elenco = di(dir / "CON_D*1-.txt");
  ASSERT_EQ(elenco.size(), 1u) << json(elenco);
  EXPECT_EQ(elenco[0]["code"], "unusable-names");
  EXPECT_EQ(elenco[0]["severity"], 1);
  EXPECT_EQ(elenco[0]["range"], sostituzione(0, 0, 0, "")["range"]);
  EXPECT_NE(elenco[0]["message"].get<std::string>().find("which Windows forbids in file names"),
            std::string::npos)
      << elenco[0];
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

// A lone UTF-16 surrogate, which JSON's decoders refuse, is taken as one character of one
// unit, as the editor holds it, and told as what it is; a U+FFFD the editor sent is told as a
// character it could not read. Deleting the surrogate by its range leaves the text the editor's.
TEST_F(LspScenario, ALoneSurrogateIsToldAndShiftsNoRange) {
  const std::string u = s.apri(file_treno, treno);
  s.aggiorna();
  const int r = riga_di(treno, "stazione,       0");
  const std::string riga =
      "stazione,       0,  8,  500,  0, 0, 1,  1,1,0,  4,1,1,    1,   5,27, 0, "
      "@SURROGATO@VALICO, segnale, 45O0, 1, 3, 0,  0, 0,    0,  0,0,0, 0";
  json cambio = {{"jsonrpc", "2.0"},
                 {"method", "textDocument/didChange"},
                 {"params",
                  {{"textDocument", {{"uri", u}, {"version", 2}}},
                   {"contentChanges",
                    {sostituzione(r, 0, r + 1, 0, riga + "\r\n"),
                     sostituzione(0, 0, 0, "x\xEF\xBF\xBD\r\n")}}}}};
  std::string corpo = cambio.dump();
  corpo.replace(corpo.find("@SURROGATO@"), 11, "\\ud800");
  s.servitore().ricevi(corpo);
  s.aggiorna();
  const auto& elenco = di(file_treno);
  ASSERT_EQ(elenco.size(), 3u) << json(elenco);
  EXPECT_EQ(elenco[0]["range"], sostituzione(0, 1, 2, "")["range"]);
  EXPECT_NE(elenco[0]["message"].get<std::string>().find("could not read"), std::string::npos);
  EXPECT_EQ(elenco[1]["code"], "not-windows-1252");
  EXPECT_EQ(elenco[1]["range"], sostituzione(r + 1, 72, 73, "")["range"]);
  EXPECT_EQ(elenco[1]["message"],
            "a lone UTF-16 surrogate that the editor sent: it stands for no character; delete it");
  EXPECT_EQ(elenco[2]["code"], "E25");
  EXPECT_EQ(elenco[2]["range"], sostituzione(r + 1, 90, 94, "")["range"]);
  s.cambia(u, 3, {sostituzione(r + 1, 72, 73, "")});
  s.aggiorna();
  ASSERT_EQ(elenco.size(), 2u) << json(elenco);
  EXPECT_EQ(elenco[1]["code"], "E25");
  EXPECT_EQ(elenco[1]["range"], sostituzione(r + 1, 89, 93, "")["range"]);
}

// The version the editor gave a text comes back with its diagnostics as it was written, the
// largest JSON integers and a negative one too.
TEST_F(LspScenario, TheVersionIsPublishedAsTheEditorSentIt) {
  const std::string u = Sessione::uri(file_treno);
  const std::string apertura =
      json({{"jsonrpc", "2.0"},
            {"method", "textDocument/didOpen"},
            {"params",
             {{"textDocument",
               {{"uri", u}, {"languageId", "plaintext"}, {"version", 0}, {"text", treno}}}}}})
          .dump();
  const std::string versioni[] = {"18446744073709551615",
                                  "9223372036854775808",
                                  "9223372036854775807",
                                  "2147483648",
                                  "-3",
                                  "7"};
  for (const std::string& v : versioni) {
    SCOPED_TRACE(v);
    // Opened with it, then changed to it from another.
    std::string corpo = apertura;
    corpo.replace(corpo.find("\"version\":0"), 11, "\"version\":" + v);
    s.servitore().ricevi(corpo);
    s.aggiorna();
    EXPECT_EQ(s.usciti.back()["params"]["version"].dump(), v);
    s.cambia(u, 1, {sostituzione(0, 0, 0, " ")});
    s.aggiorna();
    s.servitore().ricevi(
        R"({"jsonrpc": "2.0", "method": "textDocument/didChange", "params": {"textDocument": {"uri": ")" +
        u + R"(", "version": )" + v + R"(}, "contentChanges": [{"text": "x"}]}})");
    s.aggiorna();
    EXPECT_EQ(s.usciti.back()["params"]["version"].dump(), v);
    s.notifica("textDocument/didClose", {{"textDocument", {{"uri", u}}}});
  }
}

// In the outline, a section's range holds its head and every symbol under it.
TEST_F(LspScenario, TheOutlineSectionsSpanTheirChildren) {
  const std::string u = s.apri(file_treno, treno);
  const json simboli =
      s.richiesta(1, "textDocument/documentSymbol", {{"textDocument", {{"uri", u}}}})["result"];
  const auto posizione = [](const json& p) {
    return std::pair{p["line"].get<int>(), p["character"].get<int>()};
  };
  const auto dentro = [&](const json& fuori, const json& in) {
    return posizione(fuori["start"]) <= posizione(in["start"]) &&
           posizione(in["end"]) <= posizione(fuori["end"]);
  };
  int figli = 0;
  for (const json& sezione : simboli) {
    SCOPED_TRACE(sezione["name"].get<std::string>());
    EXPECT_TRUE(dentro(sezione["range"], sezione["selectionRange"]));
    for (const json& figlio : sezione.value("children", json::array())) {
      EXPECT_TRUE(dentro(sezione["range"], figlio["range"])) << sezione["range"] << figlio;
      EXPECT_TRUE(dentro(figlio["range"], figlio["selectionRange"])) << figlio;
      ++figli;
    }
  }
  EXPECT_GE(figli, 5);  // three stations, two signals, a slowdown
}

// A line source open with two of its train sources is compiled twice: its diagnostics come
// once each, and so they are counted when there are more than are shown.
TEST_F(LspScenario, ALineSourceOfTwoTrainSourcesShowsEachDiagnosticOnce) {
  const auto altro_treno = dir / "BELMONZA VALICO - SOLMA_D 238-.txt";
  test::scrivi(altro_treno, componi_testo(righe_treno()));
  // Before the general section: only the characters are looked at.
  std::string pupazzi;
  for (int i = 0; i < 1200; ++i) pupazzi += "\xE2\x98\x83";
  const int r = riga_di(linea, "[curve]");
  std::string testo = linea;
  testo.insert(testo.find("\n", testo.find("[curve]")) + 1, "nonsense, 1\r\n");
  s.apri(file_linea, pupazzi + "\r\n" + testo);
  s.apri(file_treno, treno);
  s.apri(altro_treno, treno);
  s.aggiorna();
  const auto& elenco = di(file_linea);
  ASSERT_EQ(elenco.size(), 1001u);
  EXPECT_EQ(elenco[999]["code"], "not-windows-1252");
  EXPECT_EQ(elenco.back()["message"].get<std::string>().substr(0, 25), "201 more diagnostics in t");
  // Without its characters, the one warning, once.
  s.cambia(Sessione::uri(file_linea), 2, {tutto(testo)});
  s.aggiorna();
  ASSERT_EQ(elenco.size(), 1u) << json(elenco);
  EXPECT_EQ(elenco[0]["code"], "unknown-record");
  EXPECT_EQ(elenco[0]["range"]["start"]["line"], r + 1);
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

// What a document is shown of many diagnostics: 1000, errors first and then by place (as they
// came where the place is the same), each once, then one that says how many more there are;
// the same whether one compile found them all or two found them between them.
TEST(LspPubblica, AtMost1000ErrorsFirstThenInSourceOrder) {
  using lsp::DiagnosticaLsp;
  const auto diagnostica = [](int riga, int gravita, int n) {
    DiagnosticaLsp d;
    d.intervallo = {{riga, 2}, {riga, 4}};
    d.gravita = gravita;
    d.codice = gravita == 1 ? "E1" : "extra-value";
    // snprintf: GCC 12 sees an overlap that is not there in "w" + std::to_string(n).
    char testo[16];
    std::snprintf(testo, sizeof testo, "%c%d", gravita == 1 ? 'e' : 'w', n);
    d.messaggio = testo;
    return d;
  };
  // 1500 warnings from the text's end to its start, two on each line; 10 errors at its end;
  // the first 20 warnings given twice.
  std::vector<DiagnosticaLsp> tutte;
  for (int i = 0; i < 1500; ++i) tutte.push_back(diagnostica(2000 - i / 2, 2, i));
  for (int i = 0; i < 10; ++i) tutte.push_back(diagnostica(3000 + i, 1, i));
  for (int i = 0; i < 20; ++i) tutte.push_back(tutte[static_cast<std::size_t>(i)]);
  lsp::Raccolta una, prima, seconda;
  for (std::size_t i = 0; i < tutte.size(); ++i) {
    una.aggiungi(tutte[i]);
    // Two compiles that both find the middle third.
    if (i < 1000) prima.aggiungi(tutte[i]);
    if (i >= 500) seconda.aggiungi(tutte[i]);
  }
  const lsp::Elenco e = una.chiudi(), e1 = prima.chiudi(), e2 = seconda.chiudi();
  const auto mostrate = lsp::da_mostrare({&e});
  ASSERT_EQ(mostrate.size(), 1001u);
  for (std::size_t i = 0; i < 10; ++i)
    EXPECT_EQ(mostrate[i].intervallo.inizio.riga, 3000 + static_cast<int>(i));
  // Then the warnings from the text's start: lines 1251 to 1750, the later-given first on each.
  EXPECT_EQ(mostrate[10].intervallo.inizio.riga, 1251);
  EXPECT_EQ(mostrate[10].messaggio, "w1498");
  EXPECT_EQ(mostrate[11].messaggio, "w1499");
  EXPECT_EQ(mostrate[999].intervallo.inizio.riga, 1745);
  const DiagnosticaLsp& altre = mostrate.back();
  EXPECT_EQ(altre.gravita, 3);
  EXPECT_EQ(altre.codice, "more-diagnostics");
  EXPECT_EQ(altre.causa, "more-diagnostics");
  EXPECT_EQ(altre.messaggio,
            "510 more diagnostics in this source are not shown: the editor is sent the first "
            "1000, errors first; `genera_scenario check` lists them all");
  EXPECT_EQ(lsp::da_mostrare({&e1, &e2}), mostrate);
  EXPECT_EQ(lsp::da_mostrare({&e2, &e1}), mostrate);
}

}  // namespace
}  // namespace gs

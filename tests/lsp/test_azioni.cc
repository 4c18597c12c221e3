// The quick fix of a misspelt keyword or head: the word it puts in place comes with the
// diagnostic (data.suggestion), whatever its message says.
#include <gtest/gtest.h>

#include <string>

#include "lsp/sessione.h"
#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"
#include "support/cartella.h"

namespace gs {
namespace {

using nlohmann::json;
using test::CartellaTemporanea;
using test::Sessione;
using test::sostituzione;

// A train source with one station, so that a line between them is all there is to say.
std::string sorgente(const std::string& riga) {
  return "[generale]\r\n" + riga + "\r\nstazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 5,0,0, A\r\n";
}

class LspAzioni : public ::testing::Test {
 protected:
  void SetUp() override {
    file_treno = dir / "BELMONZA VALICO - SOLMA_D 237-.txt";
    test::scrivi(dir / "BELMONZA VALICO - SOLMA_linea.txt", componi_testo(righe_linea()));
    s.inizializza();
    u = s.apri(file_treno, "[generale]\r\n");
  }

  // The quick fixes offered for these diagnostics.
  json azioni(const json& diagnostiche) {
    return s.richiesta(++id, "textDocument/codeAction",
                       {{"textDocument", {{"uri", u}}},
                        {"range", sostituzione(0, 0, 0, "")["range"]},
                        {"context", {{"diagnostics", diagnostiche}}}})["result"];
  }

  CartellaTemporanea dir;
  std::filesystem::path file_treno;
  Sessione s;
  std::string u;
  int id = 1;
};

// Each misspelling's published diagnostic carries its suggestion, and the fix puts it in place
// of the diagnostic's range even when the message is worded otherwise (a translated message, or
// another template); a message that only says "did you mean" offers nothing.
TEST_F(LspAzioni, TheFixComesFromTheSuggestionNotTheWords) {
  struct Caso {
    const char* riga;
    const char* suggerito;
  };
  const Caso casi[] = {
      {"segnlae, 4500, 1, 3, 0, 0, 0, 0, 0,0,0, 0", "segnale"},
      {"[segnalli]", "[segnali]"},
      {"rallentamneto, 3000, 30, 1000, 1, 0, 0", "rallentamento"},
  };
  int versione = 1;
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.riga);
    s.cambia(u, ++versione, {test::tutto(sorgente(c.riga))});
    s.aggiorna();
    const auto& pubblicate = s.pubblicate[u];
    ASSERT_EQ(pubblicate.size(), 1u) << json(pubblicate);
    json d = pubblicate[0];
    EXPECT_EQ(d["data"]["suggestion"], c.suggerito);

    d["message"] = "parola sconosciuta";
    const json fatte = azioni(json::array({d}));
    ASSERT_EQ(fatte.size(), 1u) << fatte;
    EXPECT_EQ(fatte[0]["edit"]["changes"][u],
              json::array({{{"range", d["range"]}, {"newText", c.suggerito}}}));

    json senza = pubblicate[0];
    senza["data"].erase("suggestion");
    EXPECT_EQ(azioni(json::array({senza})), json::array()) << senza["message"];
  }
}

// A diagnostic with no suggestion has no data.suggestion, and no fix but its own.
TEST_F(LspAzioni, NoSuggestionNoField) {
  s.cambia(u, 2, {test::tutto(sorgente("sabbia, 3OO"))});
  s.aggiorna();
  const auto& pubblicate = s.pubblicate[u];
  ASSERT_EQ(pubblicate.size(), 1u);
  EXPECT_EQ(pubblicate[0]["code"], "E25");
  EXPECT_FALSE(pubblicate[0]["data"].contains("suggestion")) << pubblicate[0];
  EXPECT_EQ(azioni(json::array({pubblicate[0]})), json::array());
}

}  // namespace
}  // namespace gs

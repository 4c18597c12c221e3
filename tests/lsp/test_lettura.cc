// A message's body read as the server takes it: its nesting bounded, and a lone UTF-16
// surrogate read as a character of its own.
#include <gtest/gtest.h>

#include <string>

#include "lsp/lettura.h"
#include "lsp/testo.h"

namespace gs {
namespace {

using lsp::Letto;
using nlohmann::json;

std::string annidato(std::size_t n) { return std::string(n, '[') + std::string(n, ']'); }

// U+FDD0 in UTF-8.
const std::string kMarcatore = "\xEF\xB7\x90";

TEST(LspLettura, LoneSurrogatesAreReadAsTheMarker) {
  static_assert(lsp::kSurrogatoSolo == 0xFDD0);
  struct Caso {
    std::string json;  // a string's contents as JSON writes them
    std::string letto;
  };
  const Caso casi[] = {
      {R"(x\ud800y)", "x" + kMarcatore + "y"},
      {R"(\udc00)", kMarcatore},
      {R"(\ud800)", kMarcatore},                                   // at the string's end
      {R"(\ud83d\ude00)", "\xF0\x9F\x98\x80"},                     // a pair: one character
      {R"(\ud800\ud83d\ude00)", kMarcatore + "\xF0\x9F\x98\x80"},  // a high one, then a pair
      {R"(\ude00\ud83d)", kMarcatore + kMarcatore},  // the two halves the wrong way round
      {R"(\uD800\u0041)", kMarcatore + "A"},
      {R"(\\ud800)", "\\ud800"},  // an escaped backslash, then text
      {R"(\\\ud800)", "\\" + kMarcatore},
      {R"(\"\ud800\")", "\"" + kMarcatore + "\""},
      {R"(\u00e9)", "\xC3\xA9"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.json);
    const Letto l = lsp::leggi_messaggio("{\"text\": \"" + c.json + "\"}");
    ASSERT_EQ(l.esito, Letto::Esito::kLetto);
    EXPECT_EQ(l.valore["text"], c.letto);
  }
}

// Past 512 levels nothing more is built, and the message is read to its end for its own
// members: its id, whatever stands before it.
TEST(LspLettura, NestingPastTheLimitIsReadForItsOwnMembersAlone) {
  struct Caso {
    std::string corpo;
    Letto::Esito esito;
    bool oggetto, con_id, con_metodo, risposta;
    json id;
  };
  using E = Letto::Esito;
  const Caso casi[] = {
      // The root object and 511 arrays: 512 levels, read whole.
      {R"({"id": 1, "method": "shutdown", "params": )" + annidato(511) + "}", E::kLetto, true, true,
       true, false, 1},
      {R"({"id": 1, "method": "shutdown", "params": )" + annidato(512) + "}", E::kTroppoProfondo,
       true, true, true, false, 1},
      {R"({"method": "x", "params": )" + annidato(131000) + "}", E::kTroppoProfondo, true, false,
       true, false, nullptr},
      {R"({"params": )" + annidato(1000) + R"(, "id": "dopo", "method": "x"})", E::kTroppoProfondo,
       true, true, true, false, "dopo"},
      // An id that is a list is no id; an "id" inside params is not the message's.
      {R"({"id": )" + annidato(600) + R"(, "method": "x"})", E::kTroppoProfondo, true, true, true,
       false, nullptr},
      {R"({"params": {"id": 5, "x": )" + annidato(600) + "}}", E::kTroppoProfondo, true, false,
       false, false, nullptr},
      {R"({"id": 7, "result": )" + annidato(600) + "}", E::kTroppoProfondo, true, true, false, true,
       7},
      {annidato(600), E::kTroppoProfondo, false, false, false, false, nullptr},
      // Not JSON after the deep part: not JSON at all.
      {R"({"id": 1, "params": )" + annidato(600) + " x}", E::kNonJson, true, true, false, false, 1},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.corpo.substr(0, 60));
    const Letto l = lsp::leggi_messaggio(c.corpo);
    EXPECT_EQ(l.esito, c.esito);
    if (c.esito == E::kNonJson) continue;
    EXPECT_EQ(l.oggetto, c.oggetto);
    EXPECT_EQ(l.con_id, c.con_id);
    EXPECT_EQ(l.con_metodo, c.con_metodo);
    EXPECT_EQ(l.risposta, c.risposta);
    EXPECT_EQ(l.id, c.id);
    if (c.esito == E::kLetto) {
      EXPECT_EQ(l.valore["method"], "shutdown");
    }
  }
}

}  // namespace
}  // namespace gs

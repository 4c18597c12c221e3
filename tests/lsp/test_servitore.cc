// The dispatcher: the server's life from initialize to exit, and an error response of the
// protocol, never an end, for whatever a message holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "lsp/riserva.h"
#include "lsp/sessione.h"

namespace gs {
namespace {

using nlohmann::json;
using test::Sessione;

TEST(LspServitore, InitializeShutdownExit) {
  Sessione s;
  const json r = s.richiesta(1, "initialize", {{"capabilities", json::object()}});
  ASSERT_TRUE(r.contains("result")) << r;
  const json& sync = r["result"]["capabilities"]["textDocumentSync"];
  EXPECT_EQ(sync["change"], 2);  // incremental
  EXPECT_EQ(sync["openClose"], true);
  EXPECT_EQ(r["result"]["capabilities"]["positionEncoding"], "utf-16");
  EXPECT_EQ(r["result"]["serverInfo"]["name"], "genera_scenario");
  s.notifica("initialized", json::object());
  const json fine = s.richiesta(2, "shutdown", nullptr);
  EXPECT_TRUE(fine.contains("result") && fine["result"].is_null()) << fine;
  // After shutdown a request is refused, and exit ends the server with status 0.
  EXPECT_EQ(s.richiesta(3, "shutdown")["error"]["code"], -32600);
  EXPECT_FALSE(s.servitore().finito());
  s.notifica("exit", nullptr);
  EXPECT_TRUE(s.servitore().finito());
  EXPECT_EQ(s.servitore().esito(), 0);
}

// Every capability initialize announces is a method the server handles: each leaf of the
// capabilities (but the encoding) stands for a row of the table of methods, whose request is
// then answered, never as an unknown method.
TEST(LspServitore, EveryCapabilityAnnouncedIsHandled) {
  Sessione s;
  const json capacita =
      s.richiesta(1, "initialize", {{"capabilities", json::object()}})["result"]["capabilities"];
  const std::vector<lsp::MetodoServito> metodi = lsp::metodi_serviti();
  const json foglie = capacita.flatten();
  for (const auto& [puntatore, valore] : foglie.items()) {
    if (puntatore == "/positionEncoding") continue;
    const auto trovato =
        std::find_if(metodi.begin(), metodi.end(), [&](const lsp::MetodoServito& x) {
          return !x.capacita.empty() && puntatore.starts_with(std::string(x.capacita));
        });
    ASSERT_NE(trovato, metodi.end()) << puntatore << " is announced and no method stands for it";
    EXPECT_TRUE(trovato->gestito) << trovato->nome;
  }
  int id = 2;
  for (const lsp::MetodoServito& m : metodi) {
    EXPECT_TRUE(m.gestito) << m.nome;
    if (!m.richiesta || m.nome == "shutdown") continue;
    const json r = s.richiesta(id++, std::string(m.nome),
                               {{"textDocument", {{"uri", "file:///nessuno_linea.txt"}}},
                                {"position", {{"line", 0}, {"character", 0}}},
                                {"context", {{"diagnostics", json::array()}}}});
    EXPECT_FALSE(r.contains("error")) << m.nome << ": " << r;
  }
}

TEST(LspServitore, ExitWithoutShutdownEndsWithStatus1) {
  for (const bool inizializzato : {false, true}) {
    Sessione s;
    if (inizializzato) s.inizializza();
    s.notifica("exit", json::object());
    EXPECT_TRUE(s.servitore().finito());
    EXPECT_EQ(s.servitore().esito(), 1);
  }
}

// Each message on its own, after initialize or not: the error code of the answer (0: no answer)
// and the id it carries; the server then still answers a request.
TEST(LspServitore, ErrorResponsesNeverEndTheServer) {
  struct Caso {
    bool inizializzato;
    std::string corpo;
    int codice;
    json id;
  };
  const std::string profondo = std::string(100000, '[') + std::string(100000, ']');
  const Caso casi[] = {
      {true, "not json", -32700, nullptr},
      {true, "{\"id\": 1, \"method\": \"shutdown\"", -32700, nullptr},
      {true, "\"\xFF\xFE\"", -32700, nullptr},
      {true, profondo, -32600, nullptr},
      {true, "[1, 2]", -32600, nullptr},
      {true, "{}", -32600, nullptr},
      {true, "{\"id\": {\"a\": 1}, \"method\": \"shutdown\"}", -32600, nullptr},
      {true, "{\"id\": 1.5, \"method\": \"shutdown\"}", -32600, nullptr},
      {true, "{\"id\": 4, \"method\": 5}", -32600, 4},
      {true, "{\"id\": 5}", -32600, 5},
      {false, "{\"id\": 6, \"method\": \"textDocument/hover\"}", -32002, 6},
      {false, "{\"id\": \"sei\", \"method\": \"shutdown\"}", -32002, "sei"},
      {true, "{\"id\": 7, \"method\": \"no/such/method\"}", -32601, 7},
      {true, "{\"id\": 8, \"method\": \"initialize\", \"params\": {}}", -32600, 8},
      {true, "{\"id\": 9, \"method\": \"shutdown\", \"params\": 7}", -32602, 9},
      // A notification gets no answer, whatever is wrong with it; a response is not answered.
      {true, "{\"method\": \"no/such/notification\"}", 0, nullptr},
      {true, "{\"method\": \"textDocument/didOpen\", \"params\": 3}", 0, nullptr},
      {true, "{\"method\": \"textDocument/didOpen\", \"params\": {}}", 0, nullptr},
      {true,
       "{\"method\": \"textDocument/didChange\", \"params\": {\"textDocument\": {\"uri\": "
       "\"file:///nowhere/x-.txt\"}, \"contentChanges\": []}}",
       0, nullptr},
      {true, "{\"id\": 10, \"result\": null}", 0, nullptr},
      {false, "{\"method\": \"textDocument/didOpen\", \"params\": {}}", 0, nullptr},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.corpo.substr(0, 80));
    Sessione s;
    if (c.inizializzato) s.inizializza();
    const std::size_t prima = s.usciti.size();
    s.servitore().ricevi(c.corpo);
    std::vector<json> risposte;
    for (std::size_t i = prima; i < s.usciti.size(); ++i)
      if (!s.usciti[i].contains("method")) risposte.push_back(s.usciti[i]);
    if (c.codice == 0) {
      EXPECT_TRUE(risposte.empty()) << risposte[0];
    } else {
      ASSERT_EQ(risposte.size(), 1u);
      EXPECT_EQ(risposte[0]["error"]["code"], c.codice) << risposte[0];
      EXPECT_EQ(risposte[0]["id"], c.id);
      EXPECT_TRUE(risposte[0]["error"]["message"].is_string());
    }
    EXPECT_FALSE(s.servitore().finito());
    if (!c.inizializzato) s.inizializza();
    EXPECT_TRUE(s.richiesta(99, "shutdown").contains("result"));
  }
}

// A message nested past 512 levels, even before initialize: a request is refused with its id
// wherever the id stands, a notification is logged, a response is let be; the server then
// answers the next request. 131000 levels once ended the server (its stack, copying params).
TEST(LspServitore, AMessageNestedTooDeepIsRefusedAndTheServerGoesOn) {
  const auto annidato = [](std::size_t n) { return std::string(n, '[') + std::string(n, ']'); };
  struct Caso {
    bool inizializzato;
    std::string corpo;
    int codice;  // of the answer; 0 for none
    json id;
    bool registrato;
  };
  const Caso casi[] = {
      {false, R"({"jsonrpc": "2.0", "method": "x", "params": )" + annidato(131000) + "}", 0,
       nullptr, true},
      {true, R"({"method": "textDocument/didOpen", "params": )" + annidato(131000) + "}", 0,
       nullptr, true},
      {true, R"({"id": 3, "method": "textDocument/hover", "params": )" + annidato(600) + "}",
       -32600, 3, false},
      {true, R"({"params": )" + annidato(600) + R"(, "method": "x", "id": "dopo"})", -32600, "dopo",
       false},
      {true, R"({"id": 4, "result": )" + annidato(600) + "}", 0, nullptr, false},
      // 512 levels are read (the root object and 511 lists): the method is looked at.
      {true, R"({"id": 5, "method": "no/such", "params": )" + annidato(511) + "}", -32601, 5,
       false},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.corpo.substr(0, 60));
    Sessione s;
    if (c.inizializzato) s.inizializza();
    const std::size_t prima = s.usciti.size();
    s.servitore().ricevi(c.corpo);
    std::vector<json> risposte, registrati;
    for (std::size_t i = prima; i < s.usciti.size(); ++i)
      (s.usciti[i].contains("method") ? registrati : risposte).push_back(s.usciti[i]);
    if (c.codice != 0) {
      ASSERT_EQ(risposte.size(), 1u);
      EXPECT_EQ(risposte[0]["error"]["code"], c.codice) << risposte[0];
      EXPECT_EQ(risposte[0]["id"], c.id);
      if (c.codice == -32600) {
        EXPECT_EQ(risposte[0]["error"]["message"],
                  "a message nested deeper than 512 levels is ignored");
      }
    } else {
      EXPECT_TRUE(risposte.empty()) << risposte[0];
    }
    ASSERT_EQ(registrati.size(), c.registrato ? 1u : 0u);
    if (c.registrato) {
      EXPECT_EQ(registrati[0]["method"], "window/logMessage");
      EXPECT_NE(registrati[0]["params"]["message"].get<std::string>().find("deeper than 512"),
                std::string::npos);
    }
    if (!c.inizializzato) s.inizializza();
    EXPECT_TRUE(s.richiesta(99, "shutdown").contains("result"));
  }
}

TEST(LspServitore, ANotificationThatCannotBeCarriedOutIsLogged) {
  Sessione s;
  s.inizializza();
  s.notifica("textDocument/didOpen", {{"textDocument", {{"uri", 12}}}});
  ASSERT_FALSE(s.usciti.empty());
  const json& ultimo = s.usciti.back();
  EXPECT_EQ(ultimo["method"], "window/logMessage");
  EXPECT_EQ(ultimo["params"]["type"], 1);
  EXPECT_NE(ultimo["params"]["message"].get<std::string>().find("uri"), std::string::npos);
}

TEST(LspServitore, AFramingFaultIsAParseError) {
  Sessione s;
  s.servitore().guasto_cornice("a header without Content-Length");
  ASSERT_EQ(s.usciti.size(), 1u);
  EXPECT_EQ(s.usciti[0]["error"]["code"], -32700);
  EXPECT_TRUE(s.usciti[0]["id"].is_null());
  EXPECT_NE(s.usciti[0]["error"]["message"].get<std::string>().find("Content-Length"),
            std::string::npos);
}

// The reserve the program keeps for a failed allocation: the handler gives it back and the
// allocation fails all the same (a handler that returned would have it tried again, forever);
// it is taken again after, and the handler before it is put back at the end. The handler is
// called as the allocator calls it: a real failure would stop a sanitizer build.
TEST(LspRiserva, AFailedAllocationGivesTheReserveBackAndStillFails) {
  const std::new_handler prima = std::get_new_handler();
  {
    lsp::Riserva riserva(1 << 20);
    EXPECT_TRUE(riserva.tenuta());
    const std::new_handler gestore = std::get_new_handler();
    ASSERT_NE(gestore, nullptr);
    EXPECT_THROW(gestore(), std::bad_alloc);
    EXPECT_FALSE(riserva.tenuta());
    EXPECT_THROW(gestore(), std::bad_alloc);
    EXPECT_TRUE(riserva.riprendi());
    EXPECT_TRUE(riserva.tenuta());
  }
  EXPECT_EQ(std::get_new_handler(), prima);
}

}  // namespace
}  // namespace gs

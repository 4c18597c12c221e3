// The language server driven in the test's own process, message by message, its answers and
// the diagnostics it publishes kept for the test to look at. One of four drivers of the server,
// each for a need the others do not meet: this one for unit tests that look inside a compile
// and run under the sanitizers without a process; tests/lsp/cliente_lsp.py for the program
// itself over its pipes, as an editor starts it (on Linux and under Wine); the benchmark
// (bench/bench_lsp.cc), which times the server without a process's noise; and the fuzz target
// (fuzz/bersagli.h), which feeds it raw bytes.
#ifndef GS_TESTS_LSP_SESSIONE_H
#define GS_TESTS_LSP_SESSIONE_H

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "lsp/lsp.h"
#include "lsp/uri.h"
#include "run/comando_lsp.h"
#include "run/spiegazioni.h"

namespace gs::test {

// The codes `explain --list` prints, each at the start of its line.
inline const std::set<std::string>& codici_elencati() {
  static const std::set<std::string> codici = [] {
    std::set<std::string> s;
    std::istringstream righe(elenco_voci(false));
    for (std::string r; std::getline(righe, r);) s.insert(r.substr(0, r.find(' ')));
    return s;
  }();
  return codici;
}

class Sessione {
 public:
  Sessione()
      : servitore_(
            [this](std::string_view corpo) { usciti.push_back(nlohmann::json::parse(corpo)); },
            servizi_lsp()) {}

  // Every message the server wrote, in order.
  std::vector<nlohmann::json> usciti;
  // The last diagnostics published for each URI.
  std::map<std::string, std::vector<nlohmann::json>> pubblicate;

  lsp::Servitore& servitore() { return servitore_; }

  void invia(const nlohmann::json& m) { servitore_.ricevi(m.dump()); }

  // A request's answer (the last message the server wrote with its id).
  nlohmann::json richiesta(int id, const std::string& metodo,
                           const nlohmann::json& params = nlohmann::json::object()) {
    invia({{"jsonrpc", "2.0"}, {"id", id}, {"method", metodo}, {"params", params}});
    for (auto it = usciti.rbegin(); it != usciti.rend(); ++it)
      if (it->contains("id") && (*it)["id"] == id && !it->contains("method")) return *it;
    return nullptr;
  }

  void notifica(const std::string& metodo, const nlohmann::json& params) {
    invia({{"jsonrpc", "2.0"}, {"method", metodo}, {"params", params}});
  }

  void inizializza() {
    richiesta(0, "initialize",
              {{"processId", nullptr}, {"capabilities", nlohmann::json::object()}});
    notifica("initialized", nlohmann::json::object());
  }

  static std::string uri(const std::filesystem::path& p) {
    return lsp::uri_da_percorso(p.generic_string());
  }

  std::string apri(const std::filesystem::path& p, const std::string& testo, int versione = 1) {
    const std::string u = uri(p);
    notifica("textDocument/didOpen",
             {{"textDocument",
               {{"uri", u}, {"languageId", "plaintext"}, {"version", versione}, {"text", testo}}}});
    return u;
  }

  void cambia(const std::string& u, int versione, const std::vector<nlohmann::json>& modifiche) {
    notifica("textDocument/didChange", {{"textDocument", {{"uri", u}, {"version", versione}}},
                                        {"contentChanges", modifiche}});
  }

  // Runs the compile and gathers what it published; how many publications it made.
  int aggiorna() {
    const std::size_t prima = usciti.size();
    servitore_.aggiorna();
    int n = 0;
    for (std::size_t i = prima; i < usciti.size(); ++i) {
      const nlohmann::json& m = usciti[i];
      if (m.value("method", "") != "textDocument/publishDiagnostics") continue;
      pubblicate[m["params"]["uri"]] =
          m["params"]["diagnostics"].get<std::vector<nlohmann::json>>();
      // Whatever a test publishes, each diagnostic's code is an entry the user can look up
      // with explain: none is worded outside the table.
      for (const nlohmann::json& d : m["params"]["diagnostics"])
        EXPECT_TRUE(codici_elencati().contains(d.value("code", ""))) << d;
      ++n;
    }
    return n;
  }

 private:
  lsp::Servitore servitore_;
};

// A change that replaces the text from (riga, da) to (riga_fine, a).
inline nlohmann::json sostituzione(int riga, int da, int riga_fine, int a,
                                   const std::string& testo) {
  nlohmann::json m = nlohmann::json::object();
  m["range"]["start"]["line"] = riga;
  m["range"]["start"]["character"] = da;
  m["range"]["end"]["line"] = riga_fine;
  m["range"]["end"]["character"] = a;
  m["text"] = testo;
  return m;
}

// A change within one line.
inline nlohmann::json sostituzione(int riga, int da, int a, const std::string& testo) {
  return sostituzione(riga, da, riga, a, testo);
}

// A change of the whole text.
inline nlohmann::json tutto(const std::string& testo) {
  nlohmann::json m = nlohmann::json::object();
  m["text"] = testo;
  return m;
}

}  // namespace gs::test

#endif  // GS_TESTS_LSP_SESSIONE_H

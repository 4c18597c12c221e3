// The dispatcher: JSON-RPC requests and notifications to their handlers, the server's life
// (initialize, shutdown, exit) and the protocol's error responses.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <new>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "common/cause.h"
#include "lsp/aiuti.h"
#include "lsp/documenti.h"
#include "lsp/formatta.h"
#include "lsp/lettura.h"
#include "lsp/lsp.h"
#include "lsp/pubblica.h"
#include "lsp/simboli.h"
#include "lsp/vista.h"

namespace gs::lsp {
namespace {

using nlohmann::json;

// The protocol's error codes.
constexpr int kErroreAnalisi = -32700;
constexpr int kRichiestaNonValida = -32600;
constexpr int kMetodoSconosciuto = -32601;
constexpr int kParametriNonValidi = -32602;
constexpr int kErroreInterno = -32603;
constexpr int kNonInizializzato = -32002;

// A message's params that do not hold what its method needs.
class ParametriNonValidi : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

const json& membro(const json& oggetto, const char* nome, const char* dove) {
  if (!oggetto.is_object() || !oggetto.contains(nome))
    throw ParametriNonValidi(std::string(dove) + " has no " + nome);
  return oggetto[nome];
}

std::string stringa(const json& oggetto, const char* nome, const char* dove) {
  const json& v = membro(oggetto, nome, dove);
  if (!v.is_string()) throw ParametriNonValidi(std::string(dove) + "." + nome + " is not a string");
  return v.get<std::string>();
}

int64_t intero(const json& oggetto, const char* nome, const char* dove) {
  const json& v = membro(oggetto, nome, dove);
  if (v.is_number_unsigned())
    return static_cast<int64_t>(std::min<uint64_t>(v.get<uint64_t>(), INT64_MAX));
  if (v.is_number_integer()) return v.get<int64_t>();
  throw ParametriNonValidi(std::string(dove) + "." + nome + " is not an integer");
}

Posizione posizione(const json& p, const char* dove) {
  return {intero(p, "line", dove), intero(p, "character", dove)};
}

// Why a message too deep is not read.
std::string messaggio_profondo() {
  return detto(IdCausa::kMessaggioProfondo, {{"D", kProfonditaMassima}}).testo;
}

}  // namespace

struct Servitore::Stato {
  Uscita uscita;
  Servizi servizi;
  bool inizializzato = false;
  bool snippet = false;  // the client takes snippets in completions
  bool chiuso = false;   // shutdown came
  bool finito = false;   // exit came
  Archivio archivio;
  Pubblicatore pubblicatore;

  void scrivi(const json& j) { uscita(j.dump(-1, ' ', false, json::error_handler_t::replace)); }

  void risposta(const json& id, json risultato) {
    scrivi({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(risultato)}});
  }

  void errore(const json& id, int codice, const std::string& messaggio) {
    scrivi({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", codice}, {"message", messaggio}}}});
  }

  void notifica(const char* metodo, json params) {
    scrivi({{"jsonrpc", "2.0"}, {"method", metodo}, {"params", std::move(params)}});
  }

  // A message the server failed on: a request is answered with the failure, a notification's
  // failure is logged.
  void fallito(const json& m, const char* motivo) {
    if (m.is_object() && m.contains("id") && m.contains("method") && id_valido(m["id"]))
      errore(m["id"], kErroreInterno, motivo);
    else
      registra(motivo);
  }

  // What a notification could not do: it has no answer, so the client's log is told.
  void registra(const std::string& messaggio) {
    notifica("window/logMessage", {{"type", 1}, {"message", "genera_scenario: " + messaggio}});
  }

  json inizializza(const json& params) {
    inizializzato = true;
    const json::json_pointer p(
        "/capabilities/textDocument/completion/completionItem/snippetSupport");
    try {
      snippet = params.is_object() && params.contains(p) && params.at(p).is_boolean() &&
                params.at(p).get<bool>();
    } catch (const json::exception&) {
      snippet = false;  // capabilities of a shape the protocol does not give
    }
    return {{"capabilities",
             {{"positionEncoding", "utf-16"},
              {"textDocumentSync",
               {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
              {"hoverProvider", true},
              {"documentSymbolProvider", true},
              {"documentFormattingProvider", true},
              {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
              {"completionProvider", {{"triggerCharacters", {"["}}}},
              {"signatureHelpProvider", {{"triggerCharacters", {",", " "}}}}}},
            {"serverInfo", {{"name", "genera_scenario"}, {"version", GS_VERSION}}}};
  }

  Documento* documento(const json& params, const char* dove) {
    const std::string uri = stringa(membro(params, "textDocument", dove), "uri", dove);
    return archivio.trova(uri);
  }

  void apri(const json& params) {
    const json& d = membro(params, "textDocument", "didOpen's params");
    const char* dove = "didOpen's textDocument";
    const std::string uri = stringa(d, "uri", dove);
    std::string lingua = d.contains("languageId") && d["languageId"].is_string()
                             ? d["languageId"].get<std::string>()
                             : std::string();
    json versione = 0;
    if (d.contains("version")) {
      intero(d, "version", dove);  // a whole number, or the notification is refused
      versione = d["version"];
    }
    archivio.apri(uri, std::move(lingua), std::move(versione), stringa(d, "text", dove));
    pubblicatore.disco_cambiato();
  }

  void cambia(const json& params) {
    const char* dove = "didChange's params";
    Documento* d = documento(params, dove);
    const json& modifiche = membro(params, "contentChanges", dove);
    if (!modifiche.is_array()) throw ParametriNonValidi("didChange's contentChanges is not a list");
    if (d == nullptr) throw ParametriNonValidi("didChange for a document that is not open");
    // Every change is checked before any is made, so that a bad one leaves the text whole.
    std::vector<std::pair<std::optional<Intervallo>, std::string>> fatte;
    for (const json& m : modifiche) {
      std::optional<Intervallo> intervallo;
      if (m.is_object() && m.contains("range")) {
        const json& r = m["range"];
        intervallo =
            Intervallo{posizione(membro(r, "start", "a change's range"), "a range's start"),
                       posizione(membro(r, "end", "a change's range"), "a range's end")};
      }
      fatte.emplace_back(intervallo, stringa(m, "text", "a content change"));
    }
    for (const auto& [intervallo, testo] : fatte) archivio.modifica(*d, intervallo, testo);
    const json& id = membro(params, "textDocument", dove);
    if (id.contains("version") && id["version"].is_number_integer()) d->versione = id["version"];
  }

  void salva(const json& params) {
    Documento* d = documento(params, "didSave's params");
    if (d != nullptr) archivio.salvato(*d);
    pubblicatore.disco_cambiato();
  }

  void chiudi(const json& params) {
    const std::string uri =
        stringa(membro(params, "textDocument", "didClose's params"), "uri", "didClose's params");
    archivio.chiudi(uri);
    pubblicatore.disco_cambiato();
  }

  // The document a request is about, read for its features; none for a document that is not
  // open or is not a source.
  std::unique_ptr<Vista> vista(const json& params, const char* dove, std::string& uri) {
    uri = stringa(membro(params, "textDocument", dove), "uri", dove);
    const Documento* d = archivio.trova(uri);
    return d == nullptr ? nullptr : Vista::di(*d);
  }

  // A request's answer; nothing for a method the server does not know (the caller answers).
  std::optional<json> richiesta(const std::string& metodo, const json& params) {
    if (metodo == "shutdown") {
      chiuso = true;
      return json();
    }
    static constexpr std::string_view kDocumento[] = {
        "textDocument/hover",          "textDocument/completion", "textDocument/signatureHelp",
        "textDocument/documentSymbol", "textDocument/codeAction", "textDocument/formatting"};
    if (std::find(std::begin(kDocumento), std::end(kDocumento), metodo) == std::end(kDocumento))
      return std::nullopt;
    const char* dove = "the request's params";
    std::string uri;
    const std::unique_ptr<Vista> v = vista(params, dove, uri);
    if (metodo == "textDocument/documentSymbol") return v ? simboli(*v) : json::array();
    if (metodo == "textDocument/formatting") return v ? formatta(*v) : json::array();
    if (metodo == "textDocument/codeAction") {
      const json& contesto = membro(params, "context", dove);
      return v ? azioni(*v, uri, membro(contesto, "diagnostics", "the context")) : json::array();
    }
    const Posizione p = posizione(membro(params, "position", dove), "the position");
    if (metodo == "textDocument/completion")
      return v ? completamento(*v, p, snippet) : json::array();
    if (v == nullptr) return json();
    if (metodo == "textDocument/hover") {
      const Documento* d = archivio.trova(uri);
      const Compilato k{pubblicatore.compilazione_di(uri),
                        d->percorso.empty() ? d->uri : d->percorso};
      return hover(*v, p, pubblicatore.pubblicate(uri), servizi, k);
    }
    return firma(*v, p);
  }

  void notifica_ricevuta(const std::string& metodo, const json& params) {
    if (metodo == "textDocument/didOpen")
      apri(params);
    else if (metodo == "textDocument/didChange")
      cambia(params);
    else if (metodo == "textDocument/didSave")
      salva(params);
    else if (metodo == "textDocument/didClose")
      chiudi(params);
    else if (metodo == "workspace/didChangeWatchedFiles")
      pubblicatore.disco_cambiato();
    // Any other notification ($/cancelRequest, $/setTrace, initialized, ...) asks for nothing.
  }

  // A message nested past the limit: a request is refused, a notification logged, an answer to
  // a request of the server's (it sends none) let be.
  void troppo_profondo(const Letto& l) {
    const std::string perche = messaggio_profondo();
    if (!l.oggetto) return errore(json(), kRichiestaNonValida, perche);
    if (!l.con_id) return registra(perche);
    if (!l.con_metodo && l.risposta) return;
    errore(id_valido(l.id) ? l.id : json(), kRichiestaNonValida, perche);
  }

  static bool id_valido(const json& id) {
    return id.is_string() || id.is_number_integer() || id.is_null();
  }

  void messaggio(const json& m) {
    static const json kNullo;
    if (!m.is_object()) return errore(json(), kRichiestaNonValida, "a message must be an object");
    const bool con_id = m.contains("id");
    const json& id = con_id ? m["id"] : kNullo;
    if (con_id && !id_valido(id))
      return errore(json(), kRichiestaNonValida, "a request's id must be a number or a string");
    if (!m.contains("method")) {
      // An answer to a request of the server's: it sends none, so there is nothing to match.
      if (con_id && (m.contains("result") || m.contains("error"))) return;
      return errore(id, kRichiestaNonValida, "a message without a method");
    }
    if (!m["method"].is_string())
      return errore(id, kRichiestaNonValida, "a message's method must be a string");
    const std::string metodo = m["method"].get<std::string>();
    // Params left out or null (as some clients send them for shutdown) are none. Held where
    // the message holds them: a copy would cost as much as the message.
    static const json kNessuno = json::object();
    const json& params = m.contains("params") && !m["params"].is_null() ? m["params"] : kNessuno;
    if (!params.is_object() && !params.is_array()) {
      if (con_id) return errore(id, kParametriNonValidi, "params must be an object or an array");
      return registra(metodo + ": params must be an object or an array");
    }
    if (metodo == "exit") {
      finito = true;
      return;
    }
    if (!con_id) {
      // Before initialize and after shutdown a notification is dropped.
      if (!inizializzato || chiuso) return;
      try {
        notifica_ricevuta(metodo, params);
      } catch (const ParametriNonValidi& e) {
        registra(metodo + ": " + e.what());
      }
      return;
    }
    if (metodo == "initialize") {
      if (inizializzato) return errore(id, kRichiestaNonValida, "initialize was already received");
      return risposta(id, inizializza(params));
    }
    if (!inizializzato)
      return errore(id, kNonInizializzato, "the server has not received initialize yet");
    if (chiuso) return errore(id, kRichiestaNonValida, "the server has been shut down");
    try {
      if (auto r = richiesta(metodo, params)) return risposta(id, std::move(*r));
    } catch (const ParametriNonValidi& e) {
      return errore(id, kParametriNonValidi, e.what());
    }
    errore(id, kMetodoSconosciuto, "unknown method " + metodo);
  }
};

Servitore::Servitore(Uscita uscita, Servizi servizi) : s_(std::make_unique<Stato>()) {
  s_->uscita = std::move(uscita);
  s_->servizi = std::move(servizi);
}

Servitore::~Servitore() = default;

void Servitore::ricevi(std::string_view corpo) {
  Letto l;
  try {
    l = leggi_messaggio(corpo);
    switch (l.esito) {
      case Letto::Esito::kNonJson:
        return s_->errore(json(), kErroreAnalisi, "the message is not valid JSON");
      case Letto::Esito::kTroppoProfondo:
        return s_->troppo_profondo(l);
      case Letto::Esito::kLetto:
        return s_->messaggio(l.valore);
    }
  } catch (const std::bad_alloc&) {
    // Out of memory: the words are a literal, and what answers takes no more than the memory
    // the handler of a failed allocation gave back (riserva.h).
    s_->fallito(l.valore, "out of memory");
  } catch (const std::exception& e) {
    // A failure of the server's own: the request fails, the server goes on.
    s_->fallito(l.valore, e.what());
  }
}

void Servitore::guasto_cornice(std::string_view motivo) {
  s_->errore(json(), kErroreAnalisi, "a message that cannot be read: " + std::string(motivo));
}

void Servitore::aggiorna() {
  if (!s_->inizializzato || s_->chiuso || s_->finito) return;
  try {
    s_->pubblicatore.aggiorna(s_->archivio, s_->servizi.compila, [this](json params) {
      s_->notifica("textDocument/publishDiagnostics", std::move(params));
    });
  } catch (const std::bad_alloc&) {
    s_->registra("the compile failed: out of memory");
  } catch (const std::exception& e) {
    s_->registra(std::string("the compile failed: ") + e.what());
  }
}

bool Servitore::finito() const { return s_->finito; }

int Servitore::esito() const { return s_->chiuso ? 0 : 1; }

}  // namespace gs::lsp

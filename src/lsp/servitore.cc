// The dispatcher: JSON-RPC requests and notifications to their handlers, the server's life
// (initialize, shutdown, exit) and the protocol's error responses.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <new>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>

#include "common/cause.h"
#include "lsp/aiuti.h"
#include "lsp/documenti.h"
#include "lsp/formatta.h"
#include "lsp/lettura.h"
#include "lsp/lsp.h"
#include "lsp/protocollo.h"
#include "lsp/pubblica.h"
#include "lsp/simboli.h"
#include "lsp/vista.h"

namespace gs::lsp {
namespace {

using nlohmann::json;

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
    json capacita = {{"positionEncoding", "utf-16"}};
    for (const Metodo& m : metodi())
      if (!m.capacita.empty()) capacita[json::json_pointer(std::string(m.capacita))] = m.valore();
    return {{"capabilities", std::move(capacita)},
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
    std::vector<Archivio::Modifica> fatte;
    for (const json& m : modifiche) {
      std::optional<Intervallo> intervallo;
      if (m.is_object() && m.contains("range"))
        intervallo = intervallo_da(m["range"], "a change's range");
      fatte.emplace_back(intervallo, stringa(m, "text", "a content change"));
    }
    if (const auto motivo = archivio.modifica(*d, fatte))
      throw ParametriNonValidi(*motivo + "; the document is kept as it was");
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

  // The requests about one document: none is open under its URI, or it is not a source, when
  // the view is null.
  struct Richiesta {
    std::string uri;
    std::unique_ptr<Vista> vista;
  };
  Richiesta richiesta_su(const json& params) {
    Richiesta r;
    r.vista = vista(params, "the request's params", r.uri);
    return r;
  }
  static Posizione posizione_di(const json& params) {
    return posizione_da(membro(params, "position", "the request's params"), "the position");
  }

  json spegni(const json&) {
    chiuso = true;
    return json();
  }
  json hover_di(const json& params) {
    const Richiesta r = richiesta_su(params);
    const Posizione p = posizione_di(params);
    if (!r.vista) return json();
    const Documento* d = archivio.trova(r.uri);
    const Compilato k{pubblicatore.compilazione_di(r.uri),
                      d->percorso.empty() ? d->uri : d->percorso};
    return hover(*r.vista, p, pubblicatore.pubblicate(r.uri), servizi, k);
  }
  json completamento_di(const json& params) {
    const Richiesta r = richiesta_su(params);
    const Posizione p = posizione_di(params);
    return r.vista ? completamento(*r.vista, p, snippet) : json::array();
  }
  json firma_di(const json& params) {
    const Richiesta r = richiesta_su(params);
    const Posizione p = posizione_di(params);
    return r.vista ? firma(*r.vista, p) : json();
  }
  json simboli_di(const json& params) {
    const Richiesta r = richiesta_su(params);
    return r.vista ? simboli(*r.vista) : json::array();
  }
  json azioni_di(const json& params) {
    const Richiesta r = richiesta_su(params);
    const json& contesto = membro(params, "context", "the request's params");
    const json& diagnostiche = membro(contesto, "diagnostics", "the context");
    return r.vista ? azioni(*r.vista, r.uri, diagnostiche) : json::array();
  }
  json formattazione_di(const json& params) {
    const Richiesta r = richiesta_su(params);
    return r.vista ? formatta(*r.vista) : json::array();
  }
  void file_osservati(const json&) { pubblicatore.disco_cambiato(); }

  // Every method the server handles, each once: initialize's capabilities and the dispatch are
  // both made from it, so that nothing is advertised without its handler. `capacita` is where
  // the method's capability stands in initialize's answer (a JSON pointer into capabilities),
  // and `valore` what it says there; none for a method no capability announces. Any other
  // notification ($/cancelRequest, $/setTrace, initialized, ...) asks for nothing.
  struct Metodo {
    std::string_view nome;
    json (Stato::*richiesta)(const json& params) = nullptr;  // a request's handler
    void (Stato::*notifica)(const json& params) = nullptr;   // or a notification's
    std::string_view capacita{};
    json (*valore)() = nullptr;
  };
  static json vero() { return true; }
  static std::span<const Metodo> metodi() {
    static const Metodo kMetodi[] = {
        {"shutdown", &Stato::spegni},
        {"textDocument/hover", &Stato::hover_di, nullptr, "/hoverProvider", vero},
        {"textDocument/completion", &Stato::completamento_di, nullptr, "/completionProvider",
         [] {
           return json{{"triggerCharacters", {"["}}};
         }},
        {"textDocument/signatureHelp", &Stato::firma_di, nullptr, "/signatureHelpProvider",
         [] {
           return json{{"triggerCharacters", {",", " "}}};
         }},
        {"textDocument/documentSymbol", &Stato::simboli_di, nullptr, "/documentSymbolProvider",
         vero},
        {"textDocument/codeAction", &Stato::azioni_di, nullptr, "/codeActionProvider",
         [] {
           return json{{"codeActionKinds", {"quickfix"}}};
         }},
        {"textDocument/formatting", &Stato::formattazione_di, nullptr,
         "/documentFormattingProvider", vero},
        {"textDocument/didOpen", nullptr, &Stato::apri, "/textDocumentSync/openClose", vero},
        {"textDocument/didClose", nullptr, &Stato::chiudi},
        {"textDocument/didChange", nullptr, &Stato::cambia, "/textDocumentSync/change",
         [] { return json(2); }},  // incremental
        {"textDocument/didSave", nullptr, &Stato::salva, "/textDocumentSync/save",
         [] {
           return json{{"includeText", false}};
         }},
        {"workspace/didChangeWatchedFiles", nullptr, &Stato::file_osservati},
    };
    return kMetodi;
  }

  static const Metodo* metodo_di(std::string_view nome) {
    for (const Metodo& m : metodi())
      if (m.nome == nome) return &m;
    return nullptr;
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
      const Metodo* gestore = metodo_di(metodo);
      if (gestore == nullptr || gestore->notifica == nullptr) return;
      try {
        (this->*(gestore->notifica))(params);
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
    const Metodo* r = metodo_di(metodo);
    if (r == nullptr || r->richiesta == nullptr)
      return errore(id, kMetodoSconosciuto, "unknown method " + metodo);
    try {
      return risposta(id, (this->*(r->richiesta))(params));
    } catch (const ParametriNonValidi& e) {
      return errore(id, kParametriNonValidi, e.what());
    }
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

std::vector<MetodoServito> metodi_serviti() {
  std::vector<MetodoServito> v;
  for (const Servitore::Stato::Metodo& m : Servitore::Stato::metodi())
    v.push_back({m.nome, m.capacita, m.richiesta != nullptr,
                 m.richiesta != nullptr || m.notifica != nullptr});
  return v;
}

int Servitore::esito() const { return s_->chiuso ? 0 : 1; }

}  // namespace gs::lsp

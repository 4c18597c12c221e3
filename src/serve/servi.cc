// `serve`: the route sheet in the browser, compiled again on every save of a source. A thread
// watches the sources and compiles; the server's thread owns what the page is shown and
// answers the page, so a compile never waits for a browser and a browser never for a compile;
// a third writes -o's files, so a compile never waits for a folder another run holds either.
// Boost 1.74's Asio uses std::exchange without including <utility> in C++20.
#include <utility>

#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/signal_set.hpp>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <future>
#include <iostream>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "common/errori.h"
#include "common/file_system.h"
#include "common/nomi_file.h"
#include "format/griglia.h"
#include "format/immagine_geometria.h"
#include "format/tabella.h"
#include "platform/piattaforma.h"
#include "serve/serve.h"
#include "serve/servitore_http.h"
#include "serve/ultimo_lavoro.h"
#include "views/disegna.h"
#include "views/fonti.h"
#include "views/ispeziona.h"
#include "views/pagina.h"

namespace gs {
namespace {

// How long a stop waits for a compile in progress before it ends serve without it.
constexpr std::chrono::seconds kAttesaCompilazione{1};

// A sheet that compiled, decoded from its images as the simulator would read them.
struct Foglio {
  Stazioni tabella{};
  std::vector<Cella> celle;
  std::optional<Geometria> geometria;
  Fonti fonti;
  std::vector<Rallentato> rallentati;  // the slowdowns as their records give them
  std::vector<Luogo> luoghi;           // beside fonti.voci: where to quote each source line from
  Registro registro;                   // holds the source texts
  int64_t estensione = 0;
};

// One compile, as the page is told of it.
struct Esito {
  int versione = 0;
  std::shared_ptr<const Foglio> foglio;  // null when this compile gave no sheet
  nlohmann::json diagnostiche = nlohmann::json::array();
  bool riuscita = false;
};

const char* classe(Gravita g) {
  return g == Gravita::kErrore ? "error" : g == Gravita::kAvviso ? "warning" : "note";
}

nlohmann::json diagnostica(const char* classe, std::string testo) {
  return {{"severity", classe}, {"text", std::move(testo)}};
}

std::shared_ptr<Foglio> foglio_di(Compilazione& c) {
  auto f = std::make_shared<Foglio>();
  f->tabella = decodifica_tabella(immagine_tabella(c.stazioni));
  f->celle = decodifica_griglia(immagine_griglia(c.celle.tutte()));
  if (c.j != 0) f->geometria = decodifica_geometria(immagine_geometria(c.linea));
  std::unordered_map<uint32_t, int32_t> voce_di;
  f->fonti.per_cella.assign(f->celle.size(), -1);
  for (std::size_t k = 0; k < f->celle.size(); ++k) {
    const uint32_t n = c.celle.numero_origine(static_cast<int64_t>(k));
    const Origine* o = n != 0 ? c.celle.origine_numero(n) : nullptr;
    if (o == nullptr) continue;
    auto [voce, nuova] = voce_di.try_emplace(n, static_cast<int32_t>(f->fonti.voci.size()));
    if (nuova) {
      f->fonti.voci.push_back({o->luogo.file, o->luogo.riga, o->luogo.colonna, o->detto(),
                               o->posto ? o->cosa : std::string()});
      f->luoghi.push_back(o->luogo);
    }
    f->fonti.per_cella[k] = voce->second;
  }
  f->rallentati = c.rallentamenti;
  f->registro = c.registro;
  f->estensione = estensione_tavola(f->tabella, f->celle);
  return f;
}

// One compile, as the page is told of it; `c` holds it for -o's files.
// `file`: the sources by their full names, taken at the start, so that a source given by a bare
// name is still found when the folder serve was started in is deleted and made again.
Esito compila(const Servizio& s, const std::vector<std::filesystem::path>& file, int versione,
              Compilazione& c) {
  Esito e;
  e.versione = versione;
  std::string testi[2];
  std::size_t letti = 0;
  try {
    for (; letti < 2; ++letti) testi[letti] = leggi_file(file[letti]);
  } catch (const ErroreFile& errore) {
    // A source deleted or being replaced: the page says so and waits for it to come back. When
    // its whole folder went (a checkout, an archive unpacked anew), that is what it waits for.
    const std::filesystem::path& sorgente = file[letti];
    const std::filesystem::path cartella = sorgente.parent_path();
    std::error_code ec;
    if (std::filesystem::status(cartella, ec).type() == std::filesystem::file_type::not_found) {
      const std::u8string testo_cartella = cartella.u8string(),
                          testo_sorgente = sorgente.filename().u8string();
      e.diagnostiche.push_back(diagnostica(
          "error",
          "error: " + detto(IdCausa::kCartellaSparita,
                            {{"D", std::string(testo_cartella.begin(), testo_cartella.end())},
                             {"F", std::string(testo_sorgente.begin(), testo_sorgente.end())}})
                          .testo));
    } else {
      e.diagnostiche.push_back(diagnostica("error", std::string("error: ") + errore.what()));
    }
    return e;
  }
  const int32_t fermata = s.compila(c, std::move(testi[0]), std::move(testi[1]));
  for (const Diagnostica& d : c.registro.elenco()) {
    e.diagnostiche.push_back(diagnostica(classe(d.gravita), s.riga_diagnostica(d)));
    for (const Correlato& r : d.correlati) {
      Diagnostica nota;
      nota.gravita = Gravita::kNota;
      nota.luogo = r.luogo;
      nota.messaggio = r.messaggio;
      std::string testo = s.riga_diagnostica(nota);
      while (!testo.empty() && testo.back() == ' ') testo.pop_back();
      e.diagnostiche.push_back(diagnostica("note", std::move(testo)));
    }
  }
  e.riuscita = fermata == 0 && !c.registro.ha_errori() && c.celle.dimensionata();
  if (e.riuscita) e.foglio = foglio_di(c);
  return e;
}

// -o's files of a compile that the page already shows; what the page is told next: the files
// written, or why they were not (then the compile did not succeed after all). Nothing when the
// write gave up its wait for the folder.
std::optional<Esito> scrivi_compilati(const Servizio& s, const Compilazione& c,
                                      const Esito& compilato,
                                      const std::function<void()>& in_attesa,
                                      const std::function<bool()>& rinuncia) {
  Esito e = compilato;
  e.foglio = nullptr;  // the page has this sheet already
  try {
    const auto scritti = s.scrivi(c, in_attesa, rinuncia);
    if (!scritti) return std::nullopt;
    for (const FileScritto& f : *scritti)
      e.diagnostiche.push_back(diagnostica("note", s.riga_scritto(f)));
  } catch (const ErroreFile& errore) {
    e.diagnostiche.push_back(diagnostica("error", std::string("error: ") + errore.what()));
    e.riuscita = false;
  }
  return e;
}

// A failure of any kind (memory too) is a diagnostic on the page: the thread that compiles
// goes on watching, and so does the one that writes.
template <class Lavoro>
auto senza_eccezioni(int versione, Lavoro lavoro) -> decltype(lavoro()) {
  try {
    return lavoro();
  } catch (const std::exception& errore) {
    Esito e;
    e.versione = versione;
    const bool memoria = dynamic_cast<const std::bad_alloc*>(&errore) != nullptr;
    e.diagnostiche.push_back(
        diagnostica("error", std::string("error: ") + (memoria ? "out of memory" : errore.what())));
    return e;
  }
}

std::string millisecondi(std::chrono::steady_clock::duration durata) {
  return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(durata).count()) +
         " ms";
}

// What the terminal is told of a compile: "compile 3: 2 errors, 1 warning (12 ms)", and the
// first error, so that a user watching it sees what the page sees.
std::string riga_terminale(const Esito& e, std::chrono::steady_clock::duration durata) {
  int errori = 0, avvisi = 0;
  std::string primo;
  for (const auto& d : e.diagnostiche) {
    const std::string& c = d["severity"].get_ref<const std::string&>();
    if (c == "error" && errori++ == 0) primo = d["text"].get<std::string>();
    avvisi += c == "warning";
  }
  const auto conta = [](int n, const char* una, const char* molte) {
    return std::to_string(n) + " " + (n == 1 ? una : molte);
  };
  std::string riga = "compile " + std::to_string(e.versione) + ": " +
                     (errori == 0 ? std::string("no errors") : conta(errori, "error", "errors"));
  if (avvisi > 0) riga += ", " + conta(avvisi, "warning", "warnings");
  riga += " (" + millisecondi(durata) + ")\n";
  if (!primo.empty()) riga += primo + "\n";
  return riga;
}

// What the terminal is told once a write that waited for the folder is done: its compile's
// line was told as the wait began, so only the write's outcome.
std::string riga_dopo_attesa(const Esito& e, std::chrono::steady_clock::duration attesa) {
  if (!e.riuscita) return riga_terminale(e, attesa);
  return "compile " + std::to_string(e.versione) + ": files written after waiting " +
         millisecondi(attesa) + " for the folder\n";
}

// A compile whose -o files are to be written, as the writing thread gets it.
struct DaScrivere {
  std::unique_ptr<Compilazione> c;
  Esito esito;                                   // as the page was told it
  std::chrono::steady_clock::duration durata{};  // the compile's
};

// What the page is sent after a compile: the diagnostics, and what it needs to ask for the
// sheet and to list the stations.
std::string evento(const Esito& e, const Foglio* mostrato) {
  nlohmann::json j = {{"version", e.versione},
                      {"ok", e.riuscita},
                      {"new_sheet", e.foglio != nullptr},
                      {"diagnostics", e.diagnostiche}};
  if (mostrato != nullptr) {
    nlohmann::json stazioni = nlohmann::json::array();
    const auto ruoli = ruoli_voci(mostrato->tabella);
    for (int i = 1; i < kVociStazioni; ++i) {
      if (ruoli[static_cast<std::size_t>(i)] != Ruolo::kStazione) continue;
      const Stazione& s = mostrato->tabella[static_cast<std::size_t>(i)];
      stazioni.push_back({{"name", utf8_da_1252(s.nome)}, {"m", s.posizione}});
    }
    j["stations"] = std::move(stazioni);
    j["extent"] = mostrato->estensione;
    j["title"] = utf8_da_1252(mostrato->tabella[kVoceLinea].nome) + ", train " +
                 utf8_da_1252(mostrato->tabella[kVoceTreno].nome);
  }
  return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::optional<int64_t> intero(const std::map<std::string, std::string>& p, const char* nome) {
  const auto v = p.find(nome);
  if (v == p.end()) return std::nullopt;
  int64_t n = 0;
  const auto [fine, ec] = std::from_chars(v->second.data(), v->second.data() + v->second.size(), n);
  if (ec != std::errc() || fine != v->second.data() + v->second.size()) return std::nullopt;
  return n;
}

Risposta disegno(const Foglio* f, const Richiesta& r) {
  if (f == nullptr) return {404, "text/plain; charset=utf-8", "no sheet has compiled yet\n"};
  OpzioniTavola op;
  op.fonti = &f->fonti;
  op.rallentati = &f->rallentati;
  const auto da = intero(r.parametri, "da"), a = intero(r.parametri, "a");
  if (da && a) op.finestra = Finestra{*da, *a};
  return {200, "image/svg+xml; charset=utf-8",
          disegna_tavola(f->tabella, f->celle, f->geometria ? &*f->geometria : nullptr, op)};
}

// A source line the sheet names: from the text that was compiled, never from the disk.
Risposta fonte(const Foglio* f, const Richiesta& r) {
  const auto n = intero(r.parametri, "n");
  if (f == nullptr || !n || *n < 0 || *n >= static_cast<int64_t>(f->fonti.voci.size()))
    return {404, "text/plain; charset=utf-8", "no such source place\n"};
  const FonteCella& v = f->fonti.voci[static_cast<std::size_t>(*n)];
  const nlohmann::json j = {
      {"file", v.file},
      {"line", v.riga},
      {"column", v.colonna},
      {"what", v.cosa},
      {"text", utf8_da_1252(f->registro.riga_di(f->luoghi[static_cast<std::size_t>(*n)]))}};
  return {200, "application/json",
          j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)};
}

// The watch: how long a wait for a change lasts before the stop flag is looked at again, and
// how an editor's save, often several writes, is let settle: up to kPassiAssestamento more
// changes, each within kAssestamento of the last, before it is compiled once.
constexpr std::chrono::milliseconds kAttesaCambio{200};
constexpr std::chrono::milliseconds kAssestamento{5};
constexpr int kPassiAssestamento = 10;

// One serve from start to stop. Three threads share it: the server's (io), which owns what the
// page is shown and answers the page; the compile thread, which watches the sources and
// compiles; and -o's writer, so that a compile never waits for a browser nor for a folder.
class ServizioInCorso {
 public:
  ServizioInCorso(const Servizio& s, std::vector<std::filesystem::path> file)
      : s_(s), file_(std::move(file)), segnali_(io_, SIGINT, SIGTERM) {}

  // Listens and prints the address; the reason when the port cannot be had.
  std::optional<std::string> ascolta();
  // Compiles and serves until a stop.
  void servi();

 private:
  void pubblica(Esito e);
  // A line, or a line and its error, at a time: the compile thread and the writer share the
  // terminal. Flushed: a terminal shows each line at once, but a pipe (a log, an editor's task
  // panel) would hold them until serve ends.
  void di(const std::string& righe);
  void scrivi(DaScrivere& d, const UltimoLavoro<DaScrivere>::Superato& superato);
  void compila_e_pubblica(int versione);
  void guarda();
  // After the server's thread has stopped: the compile thread's end, or the program's.
  void aspetta_la_fine();

  const Servizio& s_;
  const std::vector<std::filesystem::path> file_;
  boost::asio::io_context io_;
  // Taken before the address is printed: a Ctrl-C as soon as it shows stops serve as any other.
  boost::asio::signal_set segnali_;
  Esito ultimo_;
  std::shared_ptr<const Foglio> mostrato_;
  std::optional<ServitoreHttp> servitore_;
  std::atomic<bool> basta_ = false;
  std::mutex terminale_;
  std::optional<UltimoLavoro<DaScrivere>> scrittore_;
  std::promise<void> finito_;
  std::thread compilatore_;
};

std::optional<std::string> ServizioInCorso::ascolta() {
  const auto gestore = [this](const Richiesta& r) -> Risposta {
    if (r.percorso == "/") return {200, "text/html; charset=utf-8", std::string(pagina_servita())};
    if (r.percorso == "/foglio") return disegno(mostrato_.get(), r);
    if (r.percorso == "/fonte") return fonte(mostrato_.get(), r);
    return {404, "text/plain; charset=utf-8", "not found\n"};
  };
  try {
    servitore_.emplace(io_, s_.porta, gestore, "/eventi",
                       [this] { return evento(ultimo_, mostrato_.get()); });
  } catch (const std::runtime_error& e) {
    return "cannot serve on 127.0.0.1:" + std::to_string(s_.porta) + ": " + e.what();
  }
  const std::string indirizzo = "http://127.0.0.1:" + std::to_string(servitore_->porta()) + "/";
  std::cout << "serving " << indirizzo << std::endl;
  if (s_.apri) piattaforma::apri_indirizzo(indirizzo);
  return std::nullopt;
}

void ServizioInCorso::pubblica(Esito e) {
  boost::asio::post(io_, [this, e = std::move(e)]() mutable {
    // A write that ended after a newer compile reached the page says nothing there: the page
    // shows the latest compile.
    if (e.versione < ultimo_.versione) return;
    if (e.foglio) mostrato_ = e.foglio;
    ultimo_ = std::move(e);
    servitore_->pubblica(evento(ultimo_, mostrato_.get()));
  });
}

void ServizioInCorso::di(const std::string& righe) {
  const std::lock_guard<std::mutex> lock(terminale_);
  std::cout << righe << std::flush;
}

// -o's files, on the writer's thread: the page and the terminal are told of each compile at
// once, while a write may wait for a folder that another run holds. Only the latest compile is
// written: a write still waiting for the folder gives up as soon as a newer one comes, and one
// not begun is replaced.
void ServizioInCorso::scrivi(DaScrivere& d, const UltimoLavoro<DaScrivere>::Superato& superato) {
  const auto inizio = std::chrono::steady_clock::now();
  bool atteso = false;
  // As the wait begins: the compile's line, which the write would otherwise have completed,
  // then the note of the wait (the caller's).
  const auto in_attesa = [&] {
    atteso = true;
    di(riga_terminale(d.esito, d.durata));
  };
  const auto rinuncia = [&] { return basta_ || superato(); };
  std::optional<Esito> e = senza_eccezioni(
      d.esito.versione, [&] { return scrivi_compilati(s_, *d.c, d.esito, in_attesa, rinuncia); });
  // Stopped while writing: what was being written is gone. Given up: a newer compile is written
  // instead, and this one's line was told as its wait began.
  if (basta_ || !e) return;
  const auto durata = std::chrono::steady_clock::now() - inizio;
  di(atteso ? riga_dopo_attesa(*e, durata) : riga_terminale(*e, d.durata + durata));
  pubblica(std::move(*e));
}

// One compile: the page first, and the terminal, then -o's files handed to their thread.
void ServizioInCorso::compila_e_pubblica(int versione) {
  const auto inizio = std::chrono::steady_clock::now();
  auto c = std::make_unique<Compilazione>();
  Esito e = senza_eccezioni(versione, [&] { return compila(s_, file_, versione, *c); });
  if (basta_) return;
  const auto durata = std::chrono::steady_clock::now() - inizio;
  pubblica(e);
  // A compile with nothing to write is told now; one to write, once its files are (or as its
  // write begins to wait), so that one line gives both outcomes. A write that another replaced
  // before it began is told as it was compiled.
  if (!scrittore_ || !e.riuscita) return di(riga_terminale(e, durata));
  if (auto tolto = scrittore_->posta({std::move(c), std::move(e), durata}))
    di(riga_terminale(tolto->esito, tolto->durata));
}

void ServizioInCorso::guarda() {
  piattaforma::Osservatore osservatore(file_);
  int versione = 0;
  compila_e_pubblica(++versione);
  while (!basta_) {
    if (!osservatore.aspetta(static_cast<int>(kAttesaCambio.count()))) continue;
    for (int i = 0;
         i < kPassiAssestamento && osservatore.aspetta(static_cast<int>(kAssestamento.count()));)
      ++i;
    if (!basta_) compila_e_pubblica(++versione);
  }
  // A write in progress ends (one waiting for the folder gives up) before serve does.
  if (scrittore_) scrittore_->ferma();
  std::cout << std::flush;
  finito_.set_value();
}

void ServizioInCorso::servi() {
  if (s_.scrivi)
    scrittore_.emplace([this](DaScrivere& d, const UltimoLavoro<DaScrivere>::Superato& superato) {
      scrivi(d, superato);
    });
  compilatore_ = std::thread([this] { guarda(); });
  segnali_.async_wait([this](const boost::system::error_code&, int) {
    basta_ = true;
    // The writing thread may be writing -o's files: what it has not moved into place goes, and
    // a wait for the folder ends.
    piattaforma::interrompi_scritture();
    servitore_->ferma();
    io_.stop();
  });
  io_.run();
  basta_ = true;
  aspetta_la_fine();
}

void ServizioInCorso::aspetta_la_fine() {
  // A second Ctrl-C ends the program at once, as if serve had no handler; the first ends it
  // within kAttesaCompilazione: a compile still running then has its result dropped, and the
  // program ends without waiting for its thread (which no one could join).
  boost::system::error_code ignora;
  segnali_.clear(ignora);
  if (finito_.get_future().wait_for(kAttesaCompilazione) != std::future_status::ready) {
    std::cout << "stopped" << std::endl;
    std::_Exit(0);
  }
  compilatore_.join();
  std::cout << "stopped" << std::endl;
}

}  // namespace

std::optional<std::string> servi(const Servizio& s) {
  // A terminal or pipe whose reader has gone must not end the server at its next line.
  piattaforma::ignora_pipe_chiusa();
  // A source that cannot be read at the start is a mistake on the command line.
  std::vector<std::filesystem::path> file;
  for (const std::string& sorgente : s.sorgenti) {
    file.push_back(std::filesystem::absolute(piattaforma::percorso(sorgente)));
    leggi_file(file.back());
  }
  ServizioInCorso servizio(s, std::move(file));
  if (auto motivo = servizio.ascolta()) return motivo;
  servizio.servi();
  return std::nullopt;
}

}  // namespace gs

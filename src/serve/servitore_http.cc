#include "serve/servitore_http.h"

// Boost 1.74's Asio uses std::exchange without including <utility> in C++20.
#include <utility>

#include <algorithm>
#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <charconv>
#include <cstdlib>
#include <list>
#include <optional>
#include <stdexcept>

#include "common/ascii.h"
#include "platform/piattaforma.h"

namespace gs {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using Millisecondi = std::chrono::milliseconds;

// What every answer carries: nothing is cached (the page always asks for the latest compile),
// nothing is sniffed, and the page may load nothing from anywhere else.
void intestazioni_comuni(http::fields& f) {
  f.set(http::field::server, "genera_scenario");
  f.set(http::field::cache_control, "no-store");
  f.set("X-Content-Type-Options", "nosniff");
  f.set("Content-Security-Policy",
        "default-src 'self'; script-src 'self' 'unsafe-inline'; style-src 'self' "
        "'unsafe-inline'; img-src 'self' data:; connect-src 'self'");
}

Richiesta dividi(std::string_view bersaglio) {
  Richiesta r;
  const auto q = bersaglio.find('?');
  r.percorso = std::string(bersaglio.substr(0, q));
  if (q == std::string_view::npos) return r;
  std::string_view resto = bersaglio.substr(q + 1);
  while (!resto.empty()) {
    const auto amp = resto.find('&');
    const std::string_view coppia = resto.substr(0, amp);
    const auto uguale = coppia.find('=');
    r.parametri[std::string(coppia.substr(0, uguale))] =
        uguale == std::string_view::npos ? "" : std::string(coppia.substr(uguale + 1));
    if (amp == std::string_view::npos) break;
    resto.remove_prefix(amp + 1);
  }
  return r;
}

// The deadlines: those of LimitiServitore, or for tests GS_SERVE_SCADENZE_MS for both.
Millisecondi scadenza(Millisecondi normale) {
  const char* v = std::getenv("GS_SERVE_SCADENZE_MS");
  if (v == nullptr) return normale;
  int ms = 0;
  const std::string_view testo(v);
  const auto [fine, ec] = std::from_chars(testo.data(), testo.data() + testo.size(), ms);
  if (ec != std::errc() || fine != testo.data() + testo.size() || ms <= 0) return normale;
  return Millisecondi(ms);
}

}  // namespace

bool host_ammesso(std::string_view host, uint16_t porta) {
  const std::string p = ":" + std::to_string(porta);
  for (const std::string_view nome : {"127.0.0.1", "localhost"}) {
    if (uguali_ic(host, std::string(nome) + p)) return true;
    if (porta == 80 && uguali_ic(host, nome)) return true;
  }
  return false;
}

class Connessione;

struct ServitoreHttp::Stato : std::enable_shared_from_this<ServitoreHttp::Stato> {
  Stato(asio::io_context& contesto, Gestore g, std::string eventi, std::function<std::string()> p)
      : io(contesto),
        accettore(contesto),
        pausa(contesto),
        gestore(std::move(g)),
        percorso_eventi(std::move(eventi)),
        primo_evento(std::move(p)),
        scadenza_intestazioni(scadenza(kScadenzaIntestazioni)),
        scadenza_progresso(scadenza(kScadenzaProgresso)) {}

  void accetta();
  void accettata(tcp::socket socket);
  // Frees a place for a new connection: the oldest one waiting for a request goes.
  bool chiudi_la_piu_vecchia_in_attesa();
  // The latest event, one copy shared by every stream that sends it.
  std::shared_ptr<const std::string> evento_attuale() {
    if (ultimo == nullptr) ultimo = std::make_shared<const std::string>(evento(primo_evento()));
    return ultimo;
  }
  static std::string evento(const std::string& dati) { return "data: " + dati + "\n\n"; }

  asio::io_context& io;
  tcp::acceptor accettore;
  asio::steady_timer pausa;  // after a failed accept, before the next
  Gestore gestore;
  std::string percorso_eventi;
  std::function<std::string()> primo_evento;
  std::shared_ptr<const std::string> ultimo;
  // Every open connection, the oldest first.
  std::list<std::shared_ptr<Connessione>> connessioni;
  Millisecondi scadenza_intestazioni, scadenza_progresso;
  uint16_t porta = 0;
  bool fermato = false;
};

// One connection: requests read and answered in turn, until it closes or becomes an event
// stream. Every read of a request and every write has a deadline, so that no client holds a
// connection without doing its part.
class Connessione : public std::enable_shared_from_this<Connessione> {
 public:
  Connessione(tcp::socket socket, std::shared_ptr<ServitoreHttp::Stato> s)
      : socket_(std::move(socket)), timer_(s->io), s_(std::move(s)) {}

  void inizia(std::list<std::shared_ptr<Connessione>>::iterator posto) {
    posto_ = posto;
    leggi();
  }
  bool in_attesa() const { return fase_ == Fase::kAttesa; }
  bool flusso() const { return fase_ == Fase::kFlusso; }

  // Closes the socket and leaves the server's list at once: its descriptor is free.
  void chiudi() {
    if (fase_ == Fase::kChiusa) return;
    fase_ = Fase::kChiusa;
    beast::error_code ec;
    timer_.cancel();
    socket_.shutdown(tcp::socket::shutdown_both, ec);
    socket_.close(ec);
    const auto tieni = shared_from_this();  // the list may hold the last reference
    s_->connessioni.erase(posto_);
  }

  // A stream sends the latest event as soon as it has sent what it is sending: one that falls
  // behind skips to the newest, never queues.
  void aggiorna() {
    if (fase_ == Fase::kFlusso && !scrive_) scrivi_evento();
  }

 private:
  enum class Fase { kAttesa, kRisponde, kFlusso, kChiusa };

  // The connection closes when `ms` pass before in_tempo() is called: the operation started
  // after this has not completed. (A count, not the timer's own cancel: the timer may have
  // fired a moment before the operation completed, with its handler already on its way.)
  void scadenza(Millisecondi ms) {
    const uint64_t turno = ++turno_;
    timer_.expires_after(ms);
    timer_.async_wait([debole = weak_from_this(), turno](beast::error_code ec) {
      const auto self = debole.lock();
      if (!ec && self != nullptr && self->turno_ == turno) self->chiudi();
    });
  }
  void in_tempo() {
    ++turno_;
    timer_.cancel();
  }

  // The head of a request first: a request with a body is refused without reading it.
  void leggi() {
    fase_ = Fase::kAttesa;
    parser_.emplace();
    parser_->header_limit(ServitoreHttp::kMassimoIntestazioni);
    scadenza(s_->scadenza_intestazioni);
    http::async_read_header(socket_, buffer_, *parser_,
                            [self = shared_from_this()](beast::error_code ec, std::size_t) {
                              if (self->fase_ == Fase::kChiusa || self->s_->fermato) return;
                              self->in_tempo();
                              self->letta(ec);
                            });
  }

  void letta(beast::error_code ec) {
    fase_ = Fase::kRisponde;
    if (ec == http::error::end_of_stream || ec == asio::error::eof ||
        ec == asio::error::connection_reset || ec == asio::error::operation_aborted)
      return chiudi();
    // What was wrong with a request that could not be read is told, then the connection closes.
    if (ec == http::error::header_limit)
      return invia({431, "text/plain; charset=utf-8", "request header fields too large\n"}, true);
    if (ec == http::error::bad_version)
      return invia({505, "text/plain; charset=utf-8", "HTTP/1.0 or HTTP/1.1 only\n"}, true);
    if (ec) return invia({400, "text/plain; charset=utf-8", "bad request\n"}, true);
    const auto& r = parser_->get();
    if (r.version() != 10 && r.version() != 11)
      return invia({505, "text/plain; charset=utf-8", "HTTP/1.0 or HTTP/1.1 only\n"}, true);
    if (r.count(http::field::host) > 1)
      return invia({400, "text/plain; charset=utf-8", "more than one Host\n"}, true);
    // A body framed by a coding other than chunked (last) has no length the server can tell:
    // read on, its bytes would be taken for the next request. It ends the connection.
    if (r.count(http::field::transfer_encoding) > 0 && !parser_->chunked())
      return invia({400, "text/plain; charset=utf-8", "unknown transfer coding\n"}, true);
    if (r.method() != http::verb::get && r.method() != http::verb::head)
      return invia({405, "text/plain; charset=utf-8", "method not allowed\n"}, true);
    if (!parser_->is_done())
      return invia({413, "text/plain; charset=utf-8", "a request here has no body\n"}, true);
    rispondi(r);
  }

  void rispondi(const http::request<http::string_body>& r) {
    // Only this machine's own names for this server: a page from elsewhere that got a name of
    // its own to point at 127.0.0.1 still sends its own name here.
    const auto host = r[http::field::host];
    if (!host_ammesso(std::string_view(host.data(), host.size()), s_->porta))
      return invia({403, "text/plain; charset=utf-8", "forbidden: unknown host\n"});
    const auto bersaglio = r.target();
    const Richiesta richiesta = dividi(std::string_view(bersaglio.data(), bersaglio.size()));
    if (richiesta.percorso == s_->percorso_eventi) {
      // HEAD says what a GET would get, and opens nothing.
      if (r.method() == http::verb::head) return invia({200, "text/event-stream", ""});
      return apri_flusso();
    }
    invia(s_->gestore(richiesta));
  }

  void invia(Risposta r, bool poi_chiudi = false) {
    const auto& richiesta = parser_->get();
    const bool testa = richiesta.method() == http::verb::head;
    auto risposta = std::make_shared<http::response<http::string_body>>(
        static_cast<http::status>(r.stato), richiesta.version() == 10 ? 10 : 11);
    intestazioni_comuni(risposta->base());
    risposta->set(http::field::content_type, r.tipo);
    // Every path here is read, and nothing else: GET and HEAD are what a 405 offers instead.
    if (r.stato == 405) risposta->set(http::field::allow, "GET, HEAD");
    risposta->keep_alive(!poi_chiudi && richiesta.keep_alive());
    risposta->body() = std::move(r.corpo);
    risposta->prepare_payload();
    if (testa) risposta->body().clear();
    scadenza(s_->scadenza_progresso);
    http::async_write(socket_, *risposta,
                      [self = shared_from_this(), risposta](beast::error_code ec, std::size_t) {
                        if (self->fase_ == Fase::kChiusa) return;
                        self->in_tempo();
                        if (ec || !risposta->keep_alive()) return self->chiudi();
                        self->leggi();
                      });
  }

  // The answer's head, then the latest event and every newer one. The socket is read only to
  // see the browser close it, so that a closed stream is let go at once.
  void apri_flusso() {
    fase_ = Fase::kFlusso;
    testa_ = std::make_shared<const std::string>(
        "HTTP/1.1 200 OK\r\nContent-Type: text/event-stream\r\nCache-Control: no-store\r\n"
        "X-Content-Type-Options: nosniff\r\nConnection: keep-alive\r\n\r\n");
    scrivi(testa_, 0);
    guarda_chiusura();
  }

  void guarda_chiusura() {
    socket_.async_read_some(asio::buffer(scarto_),
                            [self = shared_from_this()](beast::error_code ec, std::size_t) {
                              if (self->fase_ == Fase::kChiusa) return;
                              if (ec) return self->chiudi();
                              self->guarda_chiusura();  // anything sent is ignored
                            });
  }

  void scrivi_evento() {
    inviato_ = s_->evento_attuale();
    scrivi(inviato_, 0);
  }

  // `testo` from `da` on, a piece at a time: the deadline is for progress, so a slow reader
  // that keeps reading is never cut off, and one that stopped is.
  void scrivi(std::shared_ptr<const std::string> testo, std::size_t da) {
    scrive_ = true;
    scadenza(s_->scadenza_progresso);
    const std::size_t pezzo = std::min<std::size_t>(testo->size() - da, 1 << 16);
    socket_.async_write_some(
        asio::buffer(testo->data() + da, pezzo),
        [self = shared_from_this(), testo, da](beast::error_code ec, std::size_t n) {
          if (self->fase_ == Fase::kChiusa) return;
          self->in_tempo();
          if (ec) return self->chiudi();
          if (da + n < testo->size()) return self->scrivi(testo, da + n);
          self->scrive_ = false;
          // What was just sent is released; the newest event follows if it is newer.
          if (testo == self->testa_) self->testa_.reset();
          if (self->inviato_ != self->s_->evento_attuale()) self->scrivi_evento();
        });
  }

  tcp::socket socket_;
  asio::steady_timer timer_;
  std::shared_ptr<ServitoreHttp::Stato> s_;
  std::list<std::shared_ptr<Connessione>>::iterator posto_;
  Fase fase_ = Fase::kAttesa;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
  std::shared_ptr<const std::string> testa_, inviato_;
  bool scrive_ = false;
  uint64_t turno_ = 0;
  char scarto_[256];
};

void ServitoreHttp::Stato::accetta() {
  accettore.async_accept([self = shared_from_this()](beast::error_code ec, tcp::socket socket) {
    if (self->fermato) return;
    if (!ec) {
      self->accettata(std::move(socket));
      return self->accetta();
    }
    // Out of descriptors, or the like: an idle connection gives one back, and the next accept
    // waits a moment instead of failing again at once, for ever, at full speed.
    self->chiudi_la_piu_vecchia_in_attesa();
    self->pausa.expires_after(kPausaAccetta);
    self->pausa.async_wait([self](beast::error_code e) {
      if (!e && !self->fermato) self->accetta();
    });
  });
}

void ServitoreHttp::Stato::accettata(tcp::socket socket) {
  if (connessioni.size() >= kMassimoConnessioni && !chiudi_la_piu_vecchia_in_attesa()) {
    // Every place holds a stream or a request being answered: this one is not taken.
    beast::error_code ec;
    socket.close(ec);
    return;
  }
  auto c = std::make_shared<Connessione>(std::move(socket), shared_from_this());
  connessioni.push_back(c);
  c->inizia(std::prev(connessioni.end()));
}

bool ServitoreHttp::Stato::chiudi_la_piu_vecchia_in_attesa() {
  const auto c = std::find_if(connessioni.begin(), connessioni.end(),
                              [](const auto& altra) { return altra->in_attesa(); });
  if (c == connessioni.end()) return false;
  (*c)->chiudi();
  return true;
}

ServitoreHttp::ServitoreHttp(asio::io_context& io, uint16_t porta, Gestore gestore,
                             std::string percorso_eventi, std::function<std::string()> primo_evento)
    : s_(std::make_shared<Stato>(io, std::move(gestore), std::move(percorso_eventi),
                                 std::move(primo_evento))) {
  // The loopback address alone: nothing on the network can reach the page.
  const tcp::endpoint dove(asio::ip::make_address_v4("127.0.0.1"), porta);
  beast::error_code ec;
  s_->accettore.open(dove.protocol(), ec);
  // A restart gets the port back at once, however recently a browser was connected; no other
  // server can share it.
  if (!ec) piattaforma::prepara_ascolto(static_cast<std::intptr_t>(s_->accettore.native_handle()));
  if (!ec) s_->accettore.bind(dove, ec);
  if (!ec) s_->accettore.listen(asio::socket_base::max_listen_connections, ec);
  if (ec) throw std::runtime_error(ec.message());
  s_->porta = s_->accettore.local_endpoint().port();
  s_->accetta();
}

ServitoreHttp::~ServitoreHttp() { ferma(); }

uint16_t ServitoreHttp::porta() const { return s_->porta; }

void ServitoreHttp::pubblica(const std::string& dati) {
  s_->ultimo = std::make_shared<const std::string>(Stato::evento(dati));
  // A copy of the list: a stream whose socket has failed leaves it while this goes through it.
  const auto connessioni = s_->connessioni;
  for (const auto& c : connessioni) c->aggiorna();
}

std::size_t ServitoreHttp::connessioni() const { return s_->connessioni.size(); }

void ServitoreHttp::ferma() {
  if (s_->fermato) return;
  s_->fermato = true;
  beast::error_code ec;
  s_->accettore.close(ec);
  s_->pausa.cancel();
  while (!s_->connessioni.empty()) s_->connessioni.front()->chiudi();
}

}  // namespace gs

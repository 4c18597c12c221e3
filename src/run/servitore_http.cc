#include "run/servitore_http.h"

// Boost 1.74's Asio uses std::exchange without including <utility> in C++20.
#include <utility>

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <deque>
#include <set>
#include <stdexcept>

namespace gs {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

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

}  // namespace

// An open event stream: its messages go out one after the other, in order.
class Flusso : public std::enable_shared_from_this<Flusso> {
 public:
  Flusso(tcp::socket socket, std::function<void(const std::shared_ptr<Flusso>&)> chiuso)
      : socket_(std::move(socket)), chiuso_(std::move(chiuso)) {}

  void invia(std::string testo) {
    coda_.push_back(std::move(testo));
    if (coda_.size() == 1) scrivi();
  }
  void chiudi() {
    beast::error_code ec;
    socket_.shutdown(tcp::socket::shutdown_both, ec);
    socket_.close(ec);
  }

 private:
  void scrivi() {
    asio::async_write(socket_, asio::buffer(coda_.front()),
                      [self = shared_from_this()](beast::error_code ec, std::size_t) {
                        if (ec) return self->chiuso_(self);
                        self->coda_.pop_front();
                        if (!self->coda_.empty()) self->scrivi();
                      });
  }

  tcp::socket socket_;
  std::deque<std::string> coda_;
  std::function<void(const std::shared_ptr<Flusso>&)> chiuso_;
};

struct ServitoreHttp::Stato : std::enable_shared_from_this<ServitoreHttp::Stato> {
  Stato(asio::io_context& contesto, Gestore g, std::string eventi, std::function<std::string()> p)
      : io(contesto),
        accettore(contesto),
        gestore(std::move(g)),
        percorso_eventi(std::move(eventi)),
        primo_evento(std::move(p)) {}

  void accetta();
  bool host_ammesso(std::string_view host) const {
    const std::string p = std::to_string(porta);
    return host == "127.0.0.1:" + p || host == "localhost:" + p;
  }
  static std::string evento(const std::string& dati) { return "data: " + dati + "\n\n"; }

  asio::io_context& io;
  tcp::acceptor accettore;
  Gestore gestore;
  std::string percorso_eventi;
  std::function<std::string()> primo_evento;
  std::set<std::shared_ptr<Flusso>> flussi;
  uint16_t porta = 0;
  bool fermato = false;
};

namespace {

// One connection: requests read and answered in turn, until it closes or becomes a stream.
class Sessione : public std::enable_shared_from_this<Sessione> {
 public:
  Sessione(tcp::socket socket, std::shared_ptr<ServitoreHttp::Stato> s)
      : socket_(std::move(socket)), s_(std::move(s)) {}

  void leggi() {
    richiesta_ = {};
    http::async_read(socket_, buffer_, richiesta_,
                     [self = shared_from_this()](beast::error_code ec, std::size_t) {
                       if (!ec && !self->s_->fermato) self->rispondi();
                     });
  }

 private:
  void rispondi() {
    // Only this machine's own names for this server: a page from elsewhere that got a name of
    // its own to point at 127.0.0.1 still sends its own name here.
    const auto host = richiesta_[http::field::host];
    if (!s_->host_ammesso(std::string_view(host.data(), host.size())))
      return invia({403, "text/plain; charset=utf-8", "forbidden: unknown host\n"});
    if (richiesta_.method() != http::verb::get && richiesta_.method() != http::verb::head)
      return invia({405, "text/plain; charset=utf-8", "method not allowed\n"});
    const auto bersaglio = richiesta_.target();
    const Richiesta r = dividi(std::string_view(bersaglio.data(), bersaglio.size()));
    if (r.percorso == s_->percorso_eventi) return apri_flusso();
    invia(s_->gestore(r));
  }

  void invia(Risposta r) {
    auto risposta = std::make_shared<http::response<http::string_body>>(
        static_cast<http::status>(r.stato), richiesta_.version());
    intestazioni_comuni(risposta->base());
    risposta->set(http::field::content_type, r.tipo);
    risposta->keep_alive(richiesta_.keep_alive());
    risposta->body() = std::move(r.corpo);
    risposta->prepare_payload();
    if (richiesta_.method() == http::verb::head) risposta->body().clear();
    http::async_write(socket_, *risposta,
                      [self = shared_from_this(), risposta](beast::error_code ec, std::size_t) {
                        if (ec || !risposta->keep_alive()) {
                          beast::error_code ignora;
                          self->socket_.shutdown(tcp::socket::shutdown_send, ignora);
                          return;
                        }
                        self->leggi();
                      });
  }

  // The answer's head, then the socket goes to the stream: it is never read again.
  void apri_flusso() {
    std::string testa =
        "HTTP/1.1 200 OK\r\nContent-Type: text/event-stream\r\nCache-Control: no-store\r\n"
        "X-Content-Type-Options: nosniff\r\nConnection: keep-alive\r\n\r\n";
    std::weak_ptr<ServitoreHttp::Stato> debole = s_;
    auto flusso =
        std::make_shared<Flusso>(std::move(socket_), [debole](const std::shared_ptr<Flusso>& f) {
          if (const auto s = debole.lock()) s->flussi.erase(f);
        });
    s_->flussi.insert(flusso);
    flusso->invia(std::move(testa));
    flusso->invia(ServitoreHttp::Stato::evento(s_->primo_evento()));
  }

  tcp::socket socket_;
  beast::flat_buffer buffer_;
  http::request<http::string_body> richiesta_;
  std::shared_ptr<ServitoreHttp::Stato> s_;
};

}  // namespace

void ServitoreHttp::Stato::accetta() {
  accettore.async_accept([self = shared_from_this()](beast::error_code ec, tcp::socket socket) {
    if (self->fermato) return;
    if (!ec) std::make_shared<Sessione>(std::move(socket), self)->leggi();
    self->accetta();
  });
}

ServitoreHttp::ServitoreHttp(asio::io_context& io, uint16_t porta, Gestore gestore,
                             std::string percorso_eventi, std::function<std::string()> primo_evento)
    : s_(std::make_shared<Stato>(io, std::move(gestore), std::move(percorso_eventi),
                                 std::move(primo_evento))) {
  // The loopback address alone: nothing on the network can reach the page. No address reuse:
  // on Windows it would let two servers share a port.
  const tcp::endpoint dove(asio::ip::make_address_v4("127.0.0.1"), porta);
  beast::error_code ec;
  s_->accettore.open(dove.protocol(), ec);
  if (!ec) s_->accettore.bind(dove, ec);
  if (!ec) s_->accettore.listen(asio::socket_base::max_listen_connections, ec);
  if (ec) throw std::runtime_error(ec.message());
  s_->porta = s_->accettore.local_endpoint().port();
  s_->accetta();
}

ServitoreHttp::~ServitoreHttp() { ferma(); }

uint16_t ServitoreHttp::porta() const { return s_->porta; }

void ServitoreHttp::pubblica(const std::string& dati) {
  const std::string testo = Stato::evento(dati);
  for (const auto& f : s_->flussi) f->invia(testo);
}

void ServitoreHttp::ferma() {
  if (s_->fermato) return;
  s_->fermato = true;
  beast::error_code ec;
  s_->accettore.close(ec);
  for (const auto& f : s_->flussi) f->chiudi();
  s_->flussi.clear();
}

}  // namespace gs

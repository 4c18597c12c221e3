// A small HTTP server on the loopback interface for one author's browser: plain requests
// answered by a handler, and event streams (Server-Sent Events) that get the latest message
// published. It runs on the io_context it is given; every call is made on that context's thread.
#ifndef GS_SERVE_SERVITORE_HTTP_H
#define GS_SERVE_SERVITORE_HTTP_H

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace boost::asio {
class io_context;
}

namespace gs {

struct Richiesta {
  std::string percorso;                          // "/foglio"
  std::map<std::string, std::string> parametri;  // from the query, undecoded
};

struct Risposta {
  int stato = 200;
  std::string tipo = "text/plain; charset=utf-8";
  std::string corpo;
};

// Whether a request's Host names this server on this machine: 127.0.0.1 or localhost, with
// `porta`, or without a port when it is 80 (browsers leave the default out), in any case.
bool host_ammesso(std::string_view host, uint16_t porta);

class ServitoreHttp {
 public:
  // The limits that keep a browser, or anything else on this machine, from holding the server:
  // a request's head must arrive within kScadenzaIntestazioni and fit kMassimoIntestazioni;
  // a write (an answer, an event) that makes no progress for kScadenzaProgresso ends its
  // connection; at most kMassimoConnessioni are open, the oldest waiting for a request closed
  // first to make room; a failed accept (out of descriptors) waits kPausaAccetta before the
  // next. GS_SERVE_SCADENZE_MS, for tests, sets both deadlines.
  static constexpr std::chrono::milliseconds kScadenzaIntestazioni{10'000};
  static constexpr std::chrono::milliseconds kScadenzaProgresso{30'000};
  static constexpr std::size_t kMassimoIntestazioni = 16 * 1024;
  static constexpr std::size_t kMassimoConnessioni = 64;
  static constexpr std::chrono::milliseconds kPausaAccetta{100};

  using Gestore = std::function<Risposta(const Richiesta&)>;
  // Listens on 127.0.0.1:`porta` (0: a free one). std::runtime_error when it cannot, with the
  // system's reason. Requests for `percorso_eventi` open an event stream, which gets
  // `primo_evento()` at once; other requests go to `gestore`.
  ServitoreHttp(boost::asio::io_context& io, uint16_t porta, Gestore gestore,
                std::string percorso_eventi, std::function<std::string()> primo_evento);
  ~ServitoreHttp();
  ServitoreHttp(const ServitoreHttp&) = delete;
  ServitoreHttp& operator=(const ServitoreHttp&) = delete;

  uint16_t porta() const;
  // Makes `dati` (one line of text) the latest event, which every open stream sends next: one
  // copy for them all, and a stream still sending an older one skips what came in between.
  void pubblica(const std::string& dati);
  // How many connections are open, streams included.
  std::size_t connessioni() const;
  // Stops accepting and closes every connection.
  void ferma();

  struct Stato;

 private:
  std::shared_ptr<Stato> s_;
};

}  // namespace gs

#endif  // GS_SERVE_SERVITORE_HTTP_H

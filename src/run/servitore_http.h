// A small HTTP server on the loopback interface for one author's browser: plain requests
// answered by a handler, and one event stream (Server-Sent Events) that gets every message
// published. It runs on the io_context it is given; every call is made on that context's thread.
#ifndef GS_RUN_SERVITORE_HTTP_H
#define GS_RUN_SERVITORE_HTTP_H

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

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

class ServitoreHttp {
 public:
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
  // Sends `dati` (one line of text) as an event to every open stream.
  void pubblica(const std::string& dati);
  // Stops accepting and closes every connection.
  void ferma();

  struct Stato;

 private:
  std::shared_ptr<Stato> s_;
};

}  // namespace gs

#endif  // GS_RUN_SERVITORE_HTTP_H

// serve's HTTP server, talked to over a socket as a browser (or a page from elsewhere) would:
// only this machine's names for it are answered, and the event stream gets every message.
#include <utility>

#include <gtest/gtest.h>

#include <boost/asio.hpp>
#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "serve/servitore_http.h"

namespace gs {
namespace {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

// The most any step here waits, so that a fault fails its test instead of hanging it: "at
// once", with room for a loaded machine.
constexpr auto kLimite = std::chrono::seconds(20);

class Servitore : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto gestore = [](const Richiesta& r) -> Risposta {
      if (r.percorso != "/eco") return {404, "text/plain", "not found\n"};
      std::string corpo = r.percorso;
      for (const auto& [k, v] : r.parametri) corpo += " " + k + "=" + v;
      return {200, "text/plain", corpo};
    };
    servitore_ = std::make_unique<ServitoreHttp>(io_, 0, gestore, "/eventi",
                                                 [] { return std::string("{\"primo\":1}"); });
    filo_ = std::thread([this] { io_.run(); });
  }
  void TearDown() override {
    asio::post(io_, [this] { servitore_->ferma(); });
    io_.stop();
    filo_.join();
  }

  tcp::socket connetti(asio::io_context& io) {
    tcp::socket s(io);
    s.connect({asio::ip::make_address_v4("127.0.0.1"), servitore_->porta()});
    return s;
  }
  // Runs `io` until `fatto` or kLimite; a read still pending then is called off, and its
  // handler run, before the variables it fills go.
  static bool entro_il_limite(asio::io_context& io, tcp::socket& s, const bool& fatto) {
    io.restart();
    io.run_for(kLimite);
    if (fatto) return true;
    boost::system::error_code ignora;
    s.cancel(ignora);
    io.restart();
    io.run();
    return false;
  }
  // What `s` receives until the server closes it; "(still open)" after it when the server has
  // not closed it within kLimite.
  static std::string fino_alla_chiusura(asio::io_context& io, tcp::socket& s) {
    std::string letto;
    bool chiuso = false;
    asio::async_read(s, asio::dynamic_buffer(letto),
                     [&](boost::system::error_code, std::size_t) { chiuso = true; });
    return entro_il_limite(io, s, chiuso) ? letto : letto + "(still open)";
  }
  // Reads from `s` into `letto` until it holds `testo`: false when the connection ends, or
  // kLimite passes, first.
  static bool fino_a(asio::io_context& io, tcp::socket& s, std::string& letto,
                     const std::string& testo) {
    bool fatto = false, trovato = false;
    asio::async_read_until(s, asio::dynamic_buffer(letto), testo,
                           [&](boost::system::error_code ec, std::size_t) {
                             fatto = true;
                             trovato = !ec;
                           });
    return entro_il_limite(io, s, fatto) && trovato;
  }
  // How many connections the server holds, asked on its own thread (0, a failure, when it
  // does not answer within kLimite). The promise is shared: that thread may still be leaving
  // set_value as this returns.
  std::size_t aperte() {
    const auto n = std::make_shared<std::promise<std::size_t>>();
    std::future<std::size_t> futuro = n->get_future();
    asio::post(io_, [this, n] { n->set_value(servitore_->connessioni()); });
    if (futuro.wait_for(kLimite) == std::future_status::ready) return futuro.get();
    ADD_FAILURE() << "the server's thread did not answer within the limit";
    return 0;
  }
  // Whether the server holds `n` connections within kLimite: it accepts on its own thread.
  bool aperte_fino_a(std::size_t n) {
    const auto fine = std::chrono::steady_clock::now() + kLimite;
    while (aperte() != n) {
      if (std::chrono::steady_clock::now() > fine) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }
  // The whole answer to `richiesta`, read until the server closes the connection.
  std::string chiedi(const std::string& richiesta) {
    asio::io_context io;
    tcp::socket s = connetti(io);
    asio::write(s, asio::buffer(richiesta));
    return fino_alla_chiusura(io, s);
  }
  std::string get(const std::string& percorso, const std::string& host) {
    return chiedi("GET " + percorso + " HTTP/1.1\r\nHost: " + host +
                  "\r\nConnection: close\r\n\r\n");
  }
  std::string mio() const { return "127.0.0.1:" + std::to_string(servitore_->porta()); }

  asio::io_context io_;
  std::unique_ptr<ServitoreHttp> servitore_;
  std::thread filo_;
};

TEST_F(Servitore, AnswersOnlyRequestsThatNameThisMachine) {
  ASSERT_NE(servitore_->porta(), 0);
  const std::string porta = std::to_string(servitore_->porta());
  const std::string altra = std::to_string(servitore_->porta() + 1);
  struct Caso {
    std::string richiesta;
    const char* stato;
    const char* intestazione = nullptr;  // a line the answer's head must hold
  };
  const Caso casi[] = {
      {"GET /eco?da=100&a=2000 HTTP/1.1\r\nHost: 127.0.0.1:" + porta + "\r\n", "200"},
      {"GET /eco HTTP/1.1\r\nHost: localhost:" + porta + "\r\n", "200"},
      {"HEAD /eco HTTP/1.1\r\nHost: localhost:" + porta + "\r\n", "200"},
      {"GET /altro HTTP/1.1\r\nHost: localhost:" + porta + "\r\n", "404"},
      {"GET /../../etc/passwd HTTP/1.1\r\nHost: localhost:" + porta + "\r\n", "404"},
      // DNS rebinding: a page from elsewhere whose name now points here sends its own name.
      {"GET /eco HTTP/1.1\r\nHost: evil.example:" + porta + "\r\n", "403"},
      {"GET /eco HTTP/1.1\r\nHost: evil.example\r\n", "403"},
      {"GET /eco HTTP/1.1\r\nHost: 127.0.0.1:" + altra + "\r\n", "403"},
      {"GET /eco HTTP/1.1\r\nHost: localhost:" + altra + "\r\n", "403"},
      {"GET /eventi HTTP/1.1\r\nHost: evil.example:" + porta + "\r\n", "403"},
      {"GET /eco HTTP/1.0\r\n", "403"},
      // A method refused says which ones are taken.
      {"POST /eco HTTP/1.1\r\nHost: localhost:" + porta + "\r\nContent-Length: 2\r\n\r\nab", "405",
       "\r\nAllow: GET, HEAD\r\n"},
      {"DELETE /eventi HTTP/1.1\r\nHost: localhost:" + porta + "\r\n", "405",
       "\r\nAllow: GET, HEAD\r\n"},
      // Host names have no case.
      {"GET /eco HTTP/1.1\r\nHost: LOCALHOST:" + porta + "\r\n", "200"},
      // What cannot be answered is told, not dropped: a line that is no request, a body, a head
      // too large, another version of HTTP, two Hosts.
      {"HELLO\r\n", "400"},
      {"GET /eco HTTP/1.1\r\nHost: localhost:" + porta + "\r\nContent-Length: 5\r\n\r\nhello",
       "413"},
      {"GET /eco HTTP/1.1\r\nHost: localhost:" + porta +
           "\r\nX-Pad: " + std::string(ServitoreHttp::kMassimoIntestazioni, 'x') + "\r\n",
       "431"},
      {"GET /eco HTTP/2.0\r\nHost: localhost:" + porta + "\r\n", "505"},
      {"GET /eco HTTP/1.1\r\nHost: localhost:" + porta + "\r\nHost: evil.example\r\n", "400"},
      // HEAD of the stream says what a GET gets and opens nothing: the connection closes.
      {"HEAD /eventi HTTP/1.1\r\nHost: localhost:" + porta + "\r\n", "200"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.richiesta);
    std::string richiesta = c.richiesta;
    if (richiesta.find("\r\n\r\n") == std::string::npos)
      richiesta += "Connection: close\r\n\r\n";
    else
      richiesta.insert(richiesta.find("\r\n") + 2, "Connection: close\r\n");
    const std::string r = chiedi(richiesta);
    EXPECT_EQ(r.substr(0, 12), std::string("HTTP/1.") + r[7] + " " + c.stato) << r;
    EXPECT_NE(r.find("Cache-Control: no-store"), std::string::npos) << r;
    EXPECT_EQ(r.find("(still open)"), std::string::npos) << r;
    if (c.intestazione != nullptr) {
      EXPECT_NE(r.substr(0, r.find("\r\n\r\n") + 2).find(c.intestazione), std::string::npos) << r;
    }
    if (c.richiesta.starts_with("HEAD /eventi")) {
      EXPECT_NE(r.find("Content-Type: text/event-stream"), std::string::npos) << r;
      EXPECT_TRUE(r.ends_with("\r\n\r\n")) << r;
    }
  }
  const std::string eco = get("/eco?da=100&a=2000", mio());
  EXPECT_EQ(eco.substr(eco.find("\r\n\r\n") + 4), "/eco a=2000 da=100");
}

// A server whose deadlines (the head's and every write's) are `kMs`, as GS_SERVE_SCADENZE_MS
// sets them for tests.
template <int kMs>
class ServitoreConScadenza : public Servitore {
 protected:
  static constexpr std::chrono::milliseconds kScadenza{kMs};
  void SetUp() override {
    ::setenv("GS_SERVE_SCADENZE_MS", std::to_string(kMs).c_str(), 1);
    Servitore::SetUp();
  }
  void TearDown() override {
    Servitore::TearDown();
    ::unsetenv("GS_SERVE_SCADENZE_MS");
  }
};
// Short, for the tests of what a deadline ends.
using ServitoreConScadenze = ServitoreConScadenza<300>;
// Beyond any run of a test, for those whose idle connections must stay however slow the
// machine: only what the test checks closes them.
using ServitoreSenzaScadenze = ServitoreConScadenza<600'000>;

// A client that sends half a request head and stalls holds its connection until the head's
// deadline, no longer: then it is closed with nothing said.
TEST_F(ServitoreConScadenze, AHalfRequestHeadIsDroppedAtItsDeadline) {
  asio::io_context io;
  const auto inizio = std::chrono::steady_clock::now();
  tcp::socket s = connetti(io);
  asio::write(s, asio::buffer("GET /eco HTTP/1.1\r\nHost: " + mio() + "\r\n"));
  EXPECT_EQ(fino_alla_chiusura(io, s), "");
  // Not before it either: the deadline is the head's, not a moment.
  EXPECT_GE(std::chrono::steady_clock::now() - inizio, kScadenza);
}

// Browsers leave out port 80; nothing else is this machine.
TEST(HostAmmesso, ThisMachinesNamesWithThePortOrWithoutItOn80) {
  struct Caso {
    const char* host;
    uint16_t porta;
    bool ammesso;
  };
  const Caso casi[] = {
      {"127.0.0.1:8237", 8237, true},
      {"localhost:8237", 8237, true},
      {"LocalHost:8237", 8237, true},
      {"127.0.0.1", 80, true},
      {"localhost", 80, true},
      {"LOCALHOST:80", 80, true},
      {"127.0.0.1", 8237, false},
      {"localhost", 8237, false},
      {"127.0.0.1:80", 8237, false},
      {"localhost:8238", 8237, false},
      {"localhost.", 80, false},
      {"evil.example", 80, false},
      {"", 80, false},
      {"127.0.0.1:8237 ", 8237, false},
  };
  for (const Caso& c : casi)
    EXPECT_EQ(host_ammesso(c.host, c.porta), c.ammesso) << c.host << " on " << c.porta;
}

// More connections than the server keeps: the oldest waiting for a request go first, and a
// request on a new one is answered.
TEST_F(Servitore, TheOldestIdleConnectionsMakeRoomForNewOnes) {
  asio::io_context io;
  std::vector<tcp::socket> ferme;
  for (std::size_t i = 0; i < ServitoreHttp::kMassimoConnessioni + 6; ++i)
    ferme.push_back(connetti(io));
  const std::string r = get("/eco", mio());
  EXPECT_EQ(r.substr(0, 12), "HTTP/1.1 200") << r;
  // Closed by the server, the oldest first: the first of them sees the end of its stream.
  EXPECT_EQ(fino_alla_chiusura(io, ferme.front()), "");
}

// The cap, exactly: the connection past it takes the place of the oldest one waiting for a
// request, and every other keeps its own.
TEST_F(ServitoreSenzaScadenze, TheConnectionPastTheCapTakesTheOldestIdlePlace) {
  asio::io_context io;
  std::vector<tcp::socket> ferme;
  for (std::size_t i = 0; i < ServitoreHttp::kMassimoConnessioni; ++i)
    ferme.push_back(connetti(io));
  ASSERT_TRUE(aperte_fino_a(ServitoreHttp::kMassimoConnessioni)) << aperte();
  ferme.push_back(connetti(io));
  EXPECT_EQ(fino_alla_chiusura(io, ferme.front()), "");
  EXPECT_EQ(aperte(), ServitoreHttp::kMassimoConnessioni);
  // The next oldest and the newest are still there, and answered.
  for (const std::size_t i : {std::size_t{1}, ferme.size() - 1}) {
    SCOPED_TRACE(i);
    asio::write(ferme[i], asio::buffer("GET /eco HTTP/1.1\r\nHost: " + mio() +
                                       "\r\nConnection: close\r\n\r\n"));
    const std::string r = fino_alla_chiusura(io, ferme[i]);
    EXPECT_EQ(r.substr(0, 12), "HTTP/1.1 200") << r;
  }
}

// Event streams are never closed to make room: with every place a stream, a new connection is
// refused, and the streams stay.
TEST_F(ServitoreSenzaScadenze, PastTheCapOfStreamsANewConnectionIsRefused) {
  asio::io_context io;
  std::vector<tcp::socket> flussi;
  for (std::size_t i = 0; i < ServitoreHttp::kMassimoConnessioni; ++i) {
    flussi.push_back(connetti(io));
    asio::write(flussi.back(), asio::buffer("GET /eventi HTTP/1.1\r\nHost: " + mio() + "\r\n\r\n"));
    std::string letto;
    ASSERT_TRUE(fino_a(io, flussi.back(), letto, "data: {\"primo\":1}\n\n")) << i << letto;
  }
  // Closed unanswered; it may be closed before the request is even sent.
  tcp::socket rifiutata = connetti(io);
  boost::system::error_code ignora;
  asio::write(rifiutata,
              asio::buffer("GET /eco HTTP/1.1\r\nHost: " + mio() + "\r\nConnection: close\r\n\r\n"),
              ignora);
  EXPECT_EQ(fino_alla_chiusura(io, rifiutata), "");
  EXPECT_EQ(aperte(), ServitoreHttp::kMassimoConnessioni);
  asio::post(io_, [this] { servitore_->pubblica("{\"dopo\":2}"); });
  for (tcp::socket& f : flussi) {
    std::string letto;
    ASSERT_TRUE(fino_a(io, f, letto, "data: {\"dopo\":2}\n\n")) << letto;
  }
}

// A transfer coding that is not chunked, last, leaves the body's end unknown: the request is
// refused and the connection ends, so what follows is never read as a request of its own. A
// chunked body is refused as any body is, and ends the connection too.
TEST_F(Servitore, ATransferCodingOtherThanChunkedEndsTheConnection) {
  struct Caso {
    const char* intestazioni;
    const char* corpo;
    const char* stato;
  };
  const Caso casi[] = {
      {"Transfer-Encoding: xchunked\r\n", "", "400"},
      {"Transfer-Encoding: gzip\r\n", "", "400"},
      {"Transfer-Encoding: chunked, gzip\r\n", "", "400"},
      {"Transfer-Encoding: chunked\r\nTransfer-Encoding: gzip\r\n", "", "400"},
      {"Transfer-Encoding: chunked\r\n", "0\r\n\r\n", "413"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.intestazioni);
    // Kept alive: only the server's refusal ends the connection before the second request.
    const std::string r = chiedi(
        "GET /eco?primo HTTP/1.1\r\nHost: " + mio() + "\r\n" + c.intestazioni + "\r\n" + c.corpo +
        "GET /eco?secondo HTTP/1.1\r\nHost: " + mio() + "\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(r.substr(0, 12), std::string("HTTP/1.1 ") + c.stato) << r;
    EXPECT_EQ(r.find("HTTP/1.1 ", 1), std::string::npos) << "a second answer: " << r;
    EXPECT_EQ(r.find("(still open)"), std::string::npos) << r;
  }
}

TEST_F(Servitore, AnEventStreamGetsTheLatestAndEveryMessageAfter) {
  asio::io_context io;
  tcp::socket s = connetti(io);
  asio::write(s, asio::buffer("GET /eventi HTTP/1.1\r\nHost: " + mio() + "\r\n\r\n"));
  std::string letto;
  ASSERT_TRUE(fino_a(io, s, letto, "data: {\"primo\":1}\n\n")) << letto;
  EXPECT_EQ(letto.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << letto;
  EXPECT_NE(letto.find("Content-Type: text/event-stream\r\n"), std::string::npos) << letto;
  asio::post(io_, [this] { servitore_->pubblica("{\"secondo\":2}"); });
  ASSERT_TRUE(fino_a(io, s, letto, "data: {\"secondo\":2}\n\n")) << letto;
  // Two at once: a stream still sending the first may skip to the latest, never back.
  asio::post(io_, [this] {
    servitore_->pubblica("{\"terzo\":3}");
    servitore_->pubblica("{\"quarto\":4}");
  });
  ASSERT_TRUE(fino_a(io, s, letto, "data: {\"quarto\":4}\n\n")) << letto;
  const auto terzo = letto.find("data: {\"terzo\":3}\n\n");
  if (terzo != std::string::npos) {
    EXPECT_LT(terzo, letto.find("data: {\"quarto\":4}"));
  }
  EXPECT_EQ(letto.find("data: {\"secondo\":2}"), letto.rfind("data: {\"secondo\":2}"));
}

// A port another program holds is refused with the system's reason, for a clear message.
TEST_F(Servitore, APortInUseIsRefused) {
  asio::io_context io;
  const auto gestore = [](const Richiesta&) { return Risposta{}; };
  try {
    ServitoreHttp secondo(io, servitore_->porta(), gestore, "/eventi", [] { return ""; });
    FAIL() << "a second server got the same port";
  } catch (const std::runtime_error& e) {
    EXPECT_STRNE(e.what(), "");
  }
}

}  // namespace
}  // namespace gs

// The server's loop: standard input read on a thread of its own, so that the messages that came
// while a compile ran are all taken before the next one; the server on the main thread.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "lsp/cornice.h"
#include "lsp/lsp.h"
#include "lsp/riserva.h"
#include "platform/piattaforma.h"

namespace gs {
namespace {

// The bytes standard input gives, as they come, and whether it has ended.
class Ingresso {
 public:
  Ingresso() {
    std::thread([this] {
      std::vector<char> blocco(std::size_t{1} << 16);
      for (;;) {
        const std::size_t n = piattaforma::leggi_ingresso(blocco.data(), blocco.size());
        const std::lock_guard<std::mutex> chiave(mutex_);
        if (n == 0) {
          finito_ = true;
        } else {
          blocchi_.emplace_back(blocco.data(), n);
        }
        pronto_.notify_one();
        if (n == 0) return;
      }
    }).detach();
  }

  // Everything that has come since the last call, waiting for something when nothing has;
  // false once the input has ended and all of it was taken.
  bool prendi(std::string& byte, bool aspetta) {
    std::unique_lock<std::mutex> chiave(mutex_);
    if (aspetta) pronto_.wait(chiave, [this] { return finito_ || !blocchi_.empty(); });
    byte.clear();
    for (const std::string& b : blocchi_) byte += b;
    blocchi_.clear();
    return !byte.empty() || !finito_;
  }

 private:
  // The reading thread is never joined: at the end the program ends with it still waiting.
  std::mutex mutex_;
  std::condition_variable pronto_;
  std::deque<std::string> blocchi_;
  bool finito_ = false;
};

}  // namespace

int lsp::esegui(Servizi servizi) {
  piattaforma::flussi_binari();
  piattaforma::ignora_pipe_chiusa();
  bool scrittura_fallita = false;
  lsp::Servitore servitore(
      [&](std::string_view corpo) {
        if (!scrittura_fallita)
          scrittura_fallita = !piattaforma::scrivi_uscita(lsp::incornicia(corpo));
      },
      std::move(servizi));
  // Leaked on purpose: its thread may still be reading when the program ends.
  auto* ingresso = new Ingresso();
  lsp::LettoreCornici lettore;
  std::string byte;
  bool aspetta = true;
  // Enough for a JSON list of two million members to be taken apart while a failure unwinds.
  lsp::Riserva riserva(std::size_t{32} << 20);
  while (!servitore.finito() && !scrittura_fallita) {
    if (!ingresso->prendi(byte, aspetta)) break;
    if (byte.empty()) {
      // Nothing more has come: the edits taken so far are compiled together.
      riserva.riprendi();
      servitore.aggiorna();
      aspetta = true;
      continue;
    }
    lettore.aggiungi(byte);
    while (auto c = lettore.prossima()) {
      riserva.riprendi();
      if (c->guasto)
        servitore.guasto_cornice(c->testo);
      else
        servitore.ricevi(c->testo);
      if (servitore.finito()) break;
    }
    aspetta = false;
  }
  return servitore.finito() ? servitore.esito() : 1;
}

}  // namespace gs

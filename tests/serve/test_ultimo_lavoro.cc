// serve's writing thread: only the latest work is done, a work waiting for its turn is
// replaced, and the work in progress learns when it is superseded. Each work here says when it
// has begun and is held until the test lets it go, so no step depends on how fast a thread
// runs; every wait has a deadline of its own, so a fault fails the test instead of hanging it.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "serve/ultimo_lavoro.h"

namespace gs {
namespace {

constexpr auto kLimite = std::chrono::seconds(20);

// What the works did, in order, and a gate that holds them until opened.
class Diario {
 public:
  void scrivi(const std::string& riga) {
    const std::lock_guard<std::mutex> lock(m_);
    righe_.push_back(riga);
    cv_.notify_all();
  }
  // Whether `n` lines were written within the deadline.
  bool attendi_righe(std::size_t n) {
    std::unique_lock<std::mutex> lock(m_);
    return cv_.wait_for(lock, kLimite, [&] { return righe_.size() >= n; });
  }
  std::vector<std::string> righe() {
    const std::lock_guard<std::mutex> lock(m_);
    return righe_;
  }
  void apri() {
    const std::lock_guard<std::mutex> lock(m_);
    aperto_ = true;
    cv_.notify_all();
  }
  // Held until the gate opens; false when it was not opened within the deadline.
  bool attendi_apertura() {
    std::unique_lock<std::mutex> lock(m_);
    return cv_.wait_for(lock, kLimite, [&] { return aperto_; });
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  std::vector<std::string> righe_;
  bool aperto_ = false;
};

// A work: its number, and whether it waits for the gate (ignoring any newer work, as a write
// under way does) or for being superseded (as a write waiting for its folder does).
struct Lavoro {
  int n = 0;
  bool fino_a_superato = false;
};

// Stops `u` (its thread joined); a stop that does not return within kLimite ends the test
// program with a failure, since a thread cannot be called off.
void ferma_entro_il_limite(UltimoLavoro<Lavoro>& u) {
  std::promise<void> fermato;
  const std::future<void> fatto = fermato.get_future();
  // The promise goes with the thread, which may still be leaving set_value as this returns.
  std::thread([&u, p = std::move(fermato)]() mutable {
    u.ferma();
    p.set_value();
  }).detach();
  if (fatto.wait_for(kLimite) != std::future_status::ready) {
    ADD_FAILURE() << "the thread did not stop within the limit";
    std::fflush(stdout);
    std::_Exit(1);
  }
}

// Does each work as Lavoro says, writing "N begun", then "N done" or "N superseded".
void fai(Diario& d, Lavoro& l, const UltimoLavoro<Lavoro>::Superato& superato) {
  d.scrivi(std::to_string(l.n) + " begun");
  if (!l.fino_a_superato) {
    d.scrivi(std::to_string(l.n) + (d.attendi_apertura() ? " done" : " never let go"));
    return;
  }
  const auto fine = std::chrono::steady_clock::now() + kLimite;
  while (!superato()) {
    if (std::chrono::steady_clock::now() > fine) return d.scrivi(std::to_string(l.n) + " stuck");
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  d.scrivi(std::to_string(l.n) + " superseded");
}

TEST(UltimoLavoro, AWorkWaitingToBeginIsReplacedByANewerOne) {
  Diario d;
  UltimoLavoro<Lavoro> u([&](Lavoro& l, const auto& superato) { fai(d, l, superato); });
  EXPECT_EQ(u.posta({1, false}), std::nullopt);
  ASSERT_TRUE(d.attendi_righe(1));  // 1 under way, held at the gate
  EXPECT_EQ(u.posta({2, false}), std::nullopt);
  const std::optional<Lavoro> tolto = u.posta({3, false});
  ASSERT_TRUE(tolto.has_value());
  EXPECT_EQ(tolto->n, 2);  // never begun: the caller tells what became of it
  d.apri();
  ASSERT_TRUE(d.attendi_righe(4));
  ferma_entro_il_limite(u);
  EXPECT_EQ(d.righe(), (std::vector<std::string>{"1 begun", "1 done", "3 begun", "3 done"}));
}

TEST(UltimoLavoro, AWorkInProgressLearnsItIsSupersededByANewerOneOrAStop) {
  Diario d;
  UltimoLavoro<Lavoro> u([&](Lavoro& l, const auto& superato) { fai(d, l, superato); });
  u.posta({1, true});
  ASSERT_TRUE(d.attendi_righe(1));
  u.posta({2, true});  // 1 gives up, and 2 begins
  ASSERT_TRUE(d.attendi_righe(3));
  ferma_entro_il_limite(u);  // 2 gives up too, and the stop returns once it has
  EXPECT_EQ(d.righe(),
            (std::vector<std::string>{"1 begun", "1 superseded", "2 begun", "2 superseded"}));
  // Stopped: a work posted now comes back, never begun.
  const std::optional<Lavoro> rifiutato = u.posta({3, false});
  ASSERT_TRUE(rifiutato.has_value());
  EXPECT_EQ(rifiutato->n, 3);
  EXPECT_EQ(d.righe().size(), 4u);
}

}  // namespace
}  // namespace gs

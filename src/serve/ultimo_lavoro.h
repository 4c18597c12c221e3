// A thread of its own for slow work of which only the latest matters: serve writes -o's files
// there, since a write may wait for a folder that another run holds, and the compiles must go
// on meanwhile. The work waits in one slot: work posted while the slot is full takes the place
// of the one there, which is never begun. The work in progress may ask whether newer work has
// come, or a stop, to give up a wait of its own: then the older never lands after the newer.
#ifndef GS_SERVE_ULTIMO_LAVORO_H
#define GS_SERVE_ULTIMO_LAVORO_H

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace gs {

template <class Lavoro>
class UltimoLavoro {
 public:
  // Whether the work in progress has been superseded: newer work waits, or the thread stops.
  using Superato = std::function<bool()>;

  // `fai` does each work, one at a time, on the thread.
  explicit UltimoLavoro(std::function<void(Lavoro&, const Superato&)> fai)
      : fai_(std::move(fai)), filo_([this] { gira(); }) {}
  ~UltimoLavoro() { ferma(); }
  UltimoLavoro(const UltimoLavoro&) = delete;
  UltimoLavoro& operator=(const UltimoLavoro&) = delete;

  // Puts `lavoro` in the slot. What comes back was never begun and never will be: the work it
  // replaced there, or `lavoro` itself once the thread is stopped.
  std::optional<Lavoro> posta(Lavoro lavoro) {
    std::optional<Lavoro> tolto;
    {
      const std::lock_guard<std::mutex> lock(m_);
      if (fermato_) return lavoro;
      tolto = std::exchange(casella_, std::move(lavoro));
    }
    cv_.notify_one();
    return tolto;
  }

  // No more work is begun (what waits in the slot is dropped), the work in progress is told
  // it is superseded, and this returns once it has ended.
  void ferma() {
    {
      const std::lock_guard<std::mutex> lock(m_);
      fermato_ = true;
      casella_.reset();
    }
    cv_.notify_one();
    if (filo_.joinable()) filo_.join();
  }

 private:
  void gira() {
    const Superato superato = [this] {
      const std::lock_guard<std::mutex> lock(m_);
      return fermato_ || casella_.has_value();
    };
    for (;;) {
      std::optional<Lavoro> lavoro;
      {
        std::unique_lock<std::mutex> lock(m_);
        cv_.wait(lock, [this] { return fermato_ || casella_.has_value(); });
        if (fermato_) return;
        lavoro = std::exchange(casella_, std::nullopt);
      }
      fai_(*lavoro, superato);
    }
  }

  std::function<void(Lavoro&, const Superato&)> fai_;
  std::mutex m_;
  std::condition_variable cv_;
  std::optional<Lavoro> casella_;
  bool fermato_ = false;
  std::thread filo_;  // last: it starts once everything it uses is there
};

}  // namespace gs

#endif  // GS_SERVE_ULTIMO_LAVORO_H

#include "lsp/riserva.h"

#include <atomic>
#include <cstdlib>

namespace gs::lsp {
namespace {

// One reserve for the process, as there is one handler; any thread's failure may give it back.
std::atomic<void*> blocco{nullptr};

void allocazione_fallita() {
  // The allocation fails all the same, as it would without a handler: the reserve is for what
  // the failure sets going, not for the request that asked too much.
  std::free(blocco.exchange(nullptr));
  throw std::bad_alloc();
}

}  // namespace

Riserva::Riserva(std::size_t byte) : byte_(byte) {
  riprendi();
  prima_ = std::set_new_handler(allocazione_fallita);
}

Riserva::~Riserva() {
  std::set_new_handler(prima_);
  std::free(blocco.exchange(nullptr));
}

bool Riserva::tenuta() const { return blocco.load() != nullptr; }

bool Riserva::riprendi() {
  if (blocco.load() != nullptr) return true;
  // malloc, not new: a failure here calls no handler, and is no failure of the server's.
  void* b = std::malloc(byte_);
  if (b == nullptr) return false;
  void* atteso = nullptr;
  if (!blocco.compare_exchange_strong(atteso, b)) std::free(b);
  return true;
}

}  // namespace gs::lsp

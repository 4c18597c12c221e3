#include "bersagli.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  gs::fuzz::prova_lsp(dati, n);
  return 0;
}

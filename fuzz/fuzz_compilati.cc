#include "bersagli.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  gs::fuzz::prova_compilati(dati, n);
  return 0;
}

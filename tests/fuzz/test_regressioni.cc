// Replays every kept fuzz input (the seeds and the inputs of earlier findings) through the
// same entry points as the fuzz targets; under the sanitizers a finding that came back fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "bersagli.h"
#include "support/cartella.h"

namespace gs {
namespace {

namespace fs = std::filesystem;

using Prova = void (*)(const uint8_t*, std::size_t);

void riproduci(const char* bersaglio, Prova prova) {
  int file = 0;
  for (const char* cartella : {"corpus", "regressioni"}) {
    const fs::path dir = fs::path(GS_FUZZ_DIR) / cartella / bersaglio;
    if (!fs::exists(dir)) continue;
    for (const auto& voce : fs::directory_iterator(dir)) {
      SCOPED_TRACE(voce.path().string());
      const std::string dati = prova::contenuto(voce.path());
      prova(reinterpret_cast<const uint8_t*>(dati.data()), dati.size());
      ++file;
    }
  }
  EXPECT_GT(file, 0);
}

TEST(RegressioniFuzz, FieldReader) { riproduci("campi", fuzz::prova_campi); }
TEST(RegressioniFuzz, LineReader) { riproduci("linea", fuzz::prova_linea); }
TEST(RegressioniFuzz, WholeCompile) { riproduci("compila", fuzz::prova_compila); }
TEST(RegressioniFuzz, CompiledFileViews) { riproduci("compilati", fuzz::prova_compilati); }

}  // namespace
}  // namespace gs

// Replays the kept fuzz inputs (the seeds and the inputs of earlier findings) through the same
// entry points as the fuzz targets; under the sanitizers a finding that came back fails. The
// sanitizer build replays every finding but only a sample of the seeds: `make fuzz` replays
// them all.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bersagli.h"
#include "support/cartella.h"

namespace gs {
namespace {

namespace fs = std::filesystem;

using Prova = void (*)(const uint8_t*, std::size_t);

// One seed in GS_CAMPIONE_SEMI, in name order, so that the sample is the same on every run.
#ifndef GS_CAMPIONE_SEMI
#define GS_CAMPIONE_SEMI 1
#endif

void riproduci(const char* bersaglio, Prova prova) {
  int file = 0;
  for (const char* cartella : {"corpus", "regressioni"}) {
    const fs::path dir = fs::path(GS_FUZZ_DIR) / cartella / bersaglio;
    if (!fs::exists(dir)) continue;
    std::vector<fs::path> voci;
    for (const auto& voce : fs::directory_iterator(dir)) voci.push_back(voce.path());
    std::sort(voci.begin(), voci.end());
    const std::size_t passo = std::string_view(cartella) == "corpus" ? GS_CAMPIONE_SEMI : 1;
    for (std::size_t i = 0; i < voci.size(); i += passo) {
      SCOPED_TRACE(voci[i].string());
      const std::string dati = test::contenuto(voci[i]);
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
TEST(RegressioniFuzz, LanguageServer) { riproduci("lsp", fuzz::prova_lsp); }

}  // namespace
}  // namespace gs

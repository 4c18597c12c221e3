// Writing the three documents: a file of an earlier run, longer or not, is replaced whole,
// and every line, the last included, ends with CR LF.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "aiuti_test.h"
#include "common/file_system.h"
#include "documents/documenti.h"
#include "scenario/scrittore_testo.h"

namespace gs {
namespace {

struct Documento {
  std::string_view nome;
  void (*scrivi)(const std::filesystem::path&);
  std::span<const std::string_view> (*righe)();
  std::size_t numero_righe;
};

constexpr Documento kDocumenti[] = {
    {"BELMONZA VALICO - SOLMA_D 237_scheda_treno.txt", dati_scheda, righe_scheda, 56},
    {"BELMONZA VALICO - SOLMA_D 237_rallentamenti.txt", dati_rallentamenti, righe_rallentamenti,
     47},
    {"BELMONZA VALICO - SOLMA_D 237_note.txt", dati_note, righe_note, 80},
};

TEST(DocumentiFile, TwoWritesLeaveOneWholeDocument) {
  test::CartellaTemporanea cartella;
  for (const auto& d : kDocumenti) {
    SCOPED_TRACE(d.nome);
    const auto file = cartella.percorso() / d.nome;
    scrivi_file(file, std::string(100000, '#'));

    d.scrivi(file);
    d.scrivi(file);
    const std::string testo = leggi_file(file);
    std::vector<std::string> lette;
    ASSERT_TRUE(test::righe_crlf(testo, lette));
    ASSERT_EQ(lette.size(), d.numero_righe);
    for (std::size_t i = 0; i < lette.size(); ++i) EXPECT_EQ(lette[i], d.righe()[i]);
    EXPECT_EQ(testo, componi_testo(d.righe()));
    EXPECT_EQ(testo.find(kFineFile), std::string::npos);
  }
}

TEST(DocumentiFile, TheNotesEndWithBlankLinesOfFourteenSpaces) {
  test::CartellaTemporanea cartella;
  const auto file = cartella.percorso() / "note.txt";
  dati_note(file);
  std::string coda = "    \r\n";
  for (int i = 0; i < 13; ++i) coda += "\r\n";
  coda += std::string(14, ' ') + "\r\n";
  EXPECT_TRUE(leggi_file(file).ends_with(coda));
}

}  // namespace
}  // namespace gs

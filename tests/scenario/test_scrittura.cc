// The writer the two sources share: where a table ends and how a file is replaced.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "aiuti_test.h"
#include "common/file_system.h"
#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"

namespace gs {
namespace {

TEST(ContenutoScrittura, IlMarcatoreChiudeLaTabellaSenzaEssereScritto) {
  struct Caso {
    std::vector<std::string_view> slot;
    std::string_view atteso;
  };
  const Caso casi[] = {
      {{kFineFile}, ""},
      {{"", kFineFile}, "\r\n"},
      {{"a ", "", " b", kFineFile, "dopo"}, "a \r\n\r\n b\r\n"},
      // Only the exact marker stops; a variant of it is an ordinary line.
      {{"Riferimento fine del file", kFineFile}, "Riferimento fine del file\r\n"},
  };
  for (const auto& c : casi) EXPECT_EQ(componi_testo(c.slot), c.atteso);
}

TEST(ContenutoScrittura, SenzaMarcatoreSiFermaAllUltimoSlot) {
  const std::vector<std::string_view> slot(kSlotTesto + 5, "x");
  EXPECT_EQ(componi_testo(slot).size(), kSlotTesto * 3);
}

TEST(ContenutoScrittura, EntrambeLeSorgentiFinisconoConCrLf) {
  for (const auto tabella : {righe_linea(), righe_treno()}) {
    const auto testo = componi_testo(tabella);
    EXPECT_TRUE(testo.ends_with("[fine]\r\n"));
    EXPECT_EQ(testo.find(kFineFile), std::string::npos);
  }
}

TEST(ContenutoScrittura, UnFileNuovoEUnoPiuCortoVengonoScrittiInteri) {
  test::CartellaTemporanea cartella;
  const auto nuovo = cartella.percorso() / "nuovo.txt";
  const auto corto = cartella.percorso() / "corto.txt";
  scrivi_file(corto, "abc");
  dati_treno(nuovo);
  dati_treno(corto);
  EXPECT_EQ(leggi_file(nuovo), componi_testo(righe_treno()));
  EXPECT_EQ(leggi_file(corto), leggi_file(nuovo));
}

}  // namespace
}  // namespace gs

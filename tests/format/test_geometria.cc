// The geometry layout as the writer's encoders build it and the decoder reads it back.
#include <gtest/gtest.h>

#include <string>

#include "format/geometria.h"
#include "format/lettore.h"

namespace gs {
namespace {

// Two columns of `metri` values: the origin, `reali` doubles, then empty metres.
std::string colonne(int64_t metri, int64_t reali) {
  std::string b;
  for (const int colonna : {0, 1}) {
    for (int64_t m = 0; m < kMetriOrigine; ++m) put_intero(b, intero_origine(colonna, m));
    for (int64_t m = 0; m < reali; ++m) {
      const std::size_t dove = b.size();
      b.resize(dove + kByteReale);
      metti_reale(b.data() + dove, colonna == 0 ? 0.5 * static_cast<double>(m) : -1.0);
    }
    for (int64_t m = kMetriOrigine + reali; m < metri; ++m) put_vuoto(b);
  }
  return b;
}

TEST(Geometria, EncodedColumnsDecodeBack) {
  const std::string b = colonne(6, 3);
  EXPECT_EQ(b.size(), 2 * (2 * kByteIntero + 3 * kByteReale + kByteVuoto));
  const Geometria g = decodifica_geometria(b);
  ASSERT_EQ(g.metri(), 6u);
  ASSERT_EQ(g.colonna1.size(), 6u);
  EXPECT_EQ(g.colonna0[1].tipo, kIntero);
  EXPECT_EQ(g.colonna0[1].valore, 0);
  EXPECT_EQ(g.colonna1[1].valore, 1);
  EXPECT_EQ(g.colonna0[4].tipo, kReale);
  EXPECT_EQ(g.colonna0[4].valore, 1.0);
  EXPECT_EQ(g.colonna1[4].valore, -1.0);
  EXPECT_TRUE(g.posizionato(4));
  EXPECT_FALSE(g.posizionato(5));
  EXPECT_FALSE(g.posizionato(6));
}

// Column 1 two values longer: the origin's second pair no longer stands halfway.
TEST(Geometria, UnequalColumnsAreRefused) {
  std::string b = colonne(5, 2);
  put_vuoto(b);
  put_vuoto(b);
  try {
    decodifica_geometria(b);
    ADD_FAILURE() << "decoded columns of 5 and 7 values";
  } catch (const ErroreFormato& e) {
    EXPECT_NE(std::string(e.what()).find("unequal length"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace gs

#include <gtest/gtest.h>

#include "run/esecuzione.h"

namespace gs {
namespace {

// The report starts with a blank and has exactly one blank before the number; the program ends.
TEST(ErroreDeathTest, ReportsAndEnds) {
  EXPECT_EXIT(errore("1250"), ::testing::ExitedWithCode(1), "^ Errore n\\. 1250\n$");
  EXPECT_EXIT(errore("102"), ::testing::ExitedWithCode(1), "^ Errore n\\. 102\n$");
}

}  // namespace
}  // namespace gs

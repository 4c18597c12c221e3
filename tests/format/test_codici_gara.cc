// The race codes of the train and line names, worked by hand.
#include <gtest/gtest.h>

#include <string>

#include "format/codici_gara.h"

namespace gs {
namespace {

TEST(CodiciGara, WorkedValues) {
  struct Caso {
    const char* treno;
    const char* linea;
    int16_t og;
    int32_t st;
  };
  const Caso casi[] = {
      {"D 237", "BELMONZA VALICO - SOLMA", 2149, 28508},
      {"abc", "", 2546, 33756},
      {"ABC", "", 2546, 33756},                                              // lower case first
      {"D 237", "BELMONZA VALICO - SOLMA AND ANYTHING AFTER", 2149, 28508},  // only 25 count
      {"\xFF", "", 2727, 34307},  // y diaeresis counts as 255
      {"\x9F", "", 2727, 34307},  // capital Y diaeresis lowers to it
      {"\xDF", "", 2695, 34275},  // sharp s has no capital in the range and stays
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.treno + std::string("|") + c.linea);
    Stazioni s{};
    s[kVoceTreno].nome = c.treno;
    s[kVoceLinea].nome = c.linea;
    EXPECT_EQ(codice_gara_og(s), c.og);
    EXPECT_EQ(codice_gara_st(s), c.st);
  }
  Stazioni accenti{};
  accenti[kVoceTreno].nome = "\xC0\xC9\x8A\xD7";
  EXPECT_EQ(chiave_gara(accenti).substr(0, 4), "\xE0\xE9\x9A\xD7");
}

}  // namespace
}  // namespace gs

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/errori.h"
#include "compiler/lettore_campi.h"

namespace gs {
namespace {

std::vector<std::string> campi(std::string_view testo) {
  LettoreCampi r(testo);
  std::vector<std::string> v;
  while (!r.fine()) v.emplace_back(r.testo());
  return v;
}

TEST(LettoreCampi, SplitsTextFields) {
  struct Caso {
    std::string_view testo;
    std::vector<std::string> attesi;
  };
  const Caso casi[] = {
      {"a,b\r\nc\r\n", {"a", "b", "c"}},
      {"   a  ,  b \r\n", {"a  ", "b "}},  // blanks before the separator stay
      {"a\rb\nc", {"a", "b", "c"}},        // lone CR and lone LF end a line
      {"\"x, y\" ,z\r\n", {"x, y", "z"}},  // a quoted field keeps its commas
      {"\"q\"junk,w\r\n", {"q", "w"}},     // what follows the quote is dropped
      {"a,,b\r\n", {"a", "", "b"}},
      {"\r\n\r\nx\r\n", {"", "", "x"}},  // a blank line is an empty field
      {"cartello_indicatore,  4650,   (GALERIA ARTIF.  )(Mt.140 Km.95+278)\r\n",
       {"cartello_indicatore", "4650", "(GALERIA ARTIF.  )(Mt.140 Km.95+278)"}},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(std::string(c.testo));
    EXPECT_EQ(campi(c.testo), c.attesi);
  }
}

TEST(LettoreCampi, ReadsNumbersSeparatedByCommasOrBlanks) {
  struct Caso {
    std::string_view testo;
    int n;
    std::vector<int64_t> attesi;
  };
  const Caso casi[] = {
      {"    5               26            0 \r\n", 3, {5, 26, 0}},
      {"    0    ,0\r\n", 2, {0, 0}},
      {"  1150,  70,  75,  75,  0,  ,  ,  ,  0\r\n", 9, {1150, 70, 75, 75, 0, 0, 0, 0, 0}},
      {"   -18\r\n", 1, {-18}},
      {"7,\r\n8", 3, {7, 0, 8}},  // "7," leaves an empty field before the line end
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(std::string(c.testo));
    LettoreCampi r(c.testo);
    std::vector<int64_t> v;
    for (int i = 0; i < c.n; ++i) v.push_back(r.numero(-1000000, 1000000, "n"));
    EXPECT_EQ(v, c.attesi);
    EXPECT_TRUE(r.fine());
  }
}

TEST(LettoreCampi, RejectsWhatIsNotAWholeNumberInRange) {
  struct Caso {
    std::string_view testo;
    int64_t minimo, massimo;
  };
  const Caso casi[] = {
      {"+5", -100, 100},
      {"1.5", -100, 100},
      {"5x0", -100, 100},
      {"-", -100, 100},
      {"256", 0, 255},
      {"-1", 0, 255},
      {"32768", -32768, 32767},
      {"2147483648", -2147483648LL, 2147483647},
      {"99999999999999999999999", -1, 1},
      {"\"5\"", 0, 255},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(std::string(c.testo));
    LettoreCampi r(c.testo);
    EXPECT_THROW(r.numero(c.minimo, c.massimo, "campo"), ErroreLettura);
  }
  LettoreCampi limiti("255,-32768,-2147483648");
  EXPECT_EQ(limiti.u8("a"), 255);
  EXPECT_EQ(limiti.i16("b"), -32768);
  EXPECT_EQ(limiti.i32("c"), -2147483647 - 1);
}

TEST(LettoreCampi, ReadingPastTheEndFails) {
  LettoreCampi r("a");
  EXPECT_EQ(r.testo(), "a");
  EXPECT_TRUE(r.fine());
  EXPECT_THROW(r.testo(), ErroreLettura);
  EXPECT_THROW(r.i32("x"), ErroreLettura);
}

TEST(LettoreCampi, KnowsTheLineOfEachField) {
  LettoreCampi r("a,b\r\nc\rd\ne\r\n\"f\r\ng\",h");
  const int attese[] = {1, 1, 2, 3, 4, 5, 6};
  for (const int riga : attese) {
    r.testo();
    EXPECT_EQ(r.riga(), riga);
  }
}

// Each field's extent: where it starts and just past where it ends, and the text between.
TEST(LettoreCampi, KeepsTheExtentOfEachField) {
  struct Atteso {
    bool numero;  // read as a number, else as a text
    int32_t riga, colonna, riga_fine, colonna_fine;
    std::string_view scritto;
  };
  struct Caso {
    std::string_view testo;
    std::vector<Atteso> campi;
  };
  const Caso casi[] = {
      {"pendenza,  3000,   12\r\n",
       {{false, 1, 1, 1, 9, "pendenza"}, {true, 1, 12, 1, 16, "3000"}, {true, 1, 20, 1, 22, "12"}}},
      // Numbers separated by blanks are fields of their own; the blanks belong to none.
      {"orologio,  5  26 0\r\n",
       {{false, 1, 1, 1, 9, "orologio"},
        {true, 1, 12, 1, 13, "5"},
        {true, 1, 15, 1, 17, "26"},
        {true, 1, 18, 1, 19, "0"}}},
      // A text keeps the blanks before its separator; an empty field is empty at its comma.
      {"a ,,  NOME  \r\nb",
       {{false, 1, 1, 1, 3, "a "},
        {true, 1, 4, 1, 4, ""},
        {false, 1, 7, 1, 13, "NOME  "},
        {false, 2, 1, 2, 2, "b"}}},
      // A quoted field runs from quote to quote, across a line end too; what follows the
      // closing quote is not part of it.
      {"x, \"A, B\" junk,\"c\r\nd\",e",
       {{false, 1, 1, 1, 2, "x"},
        {false, 1, 4, 1, 10, "\"A, B\""},
        {false, 1, 16, 2, 3, "\"c\r\nd\""},
        {false, 2, 4, 2, 5, "e"}}},
      // A tab is not a blank: it stays in the number's field, which is then no number.
      {"7\t,8", {{false, 1, 1, 1, 3, "7\t"}, {true, 1, 4, 1, 5, "8"}}},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(std::string(c.testo));
    LettoreCampi r(c.testo);
    r.segna();
    for (const Atteso& a : c.campi) {
      if (a.numero)
        r.numero(-1000000, 1000000, "n");
      else
        r.testo();
      const Estensione& e = r.estensione();
      EXPECT_EQ(e.luogo.riga, a.riga);
      EXPECT_EQ(e.luogo.colonna, a.colonna);
      EXPECT_EQ(e.riga_fine, a.riga_fine);
      EXPECT_EQ(e.colonna_fine, a.colonna_fine);
      EXPECT_EQ(c.testo.substr(e.inizio, e.fine - e.inizio), a.scritto);
    }
    // The record's list keeps them all.
    for (std::size_t i = 0; i < c.campi.size(); ++i)
      EXPECT_EQ(r.estensione_campo(i).colonna_fine, c.campi[i].colonna_fine);
  }
  // A field that is no number still has its extent, for the error at it.
  LettoreCampi r("  12x4 ,");
  EXPECT_THROW(r.numero(0, 100, "n"), ErroreLettura);
  EXPECT_EQ(r.estensione().luogo.colonna, 3);
  EXPECT_EQ(r.estensione().colonna_fine, 7);
}

TEST(LettoreCampi, KeywordTests) {
  EXPECT_TRUE(contiene_ic("PENDENZA", "pendenza"));
  EXPECT_TRUE(contiene_ic("Curvas6", "curva"));
  EXPECT_FALSE(contiene("progressiva chilometrica UNO", "uno"));
  EXPECT_FALSE(contiene_ic("[curve]", "curva"));
  EXPECT_FALSE(contiene_ic("ab", "abc"));
}

}  // namespace
}  // namespace gs

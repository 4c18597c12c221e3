// The route notes against their line plan: fixed lines, empty and blank lines, indentation,
// lengths, and the typing rules of the prose.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "aiuti_test.h"
#include "documents/documenti.h"
#include "scenario/scrittore_testo.h"

namespace gs {
namespace {

std::string_view riga(std::size_t n) { return righe_note()[n - 1]; }

bool prosa(std::size_t n) {
  return (n >= 2 && n <= 23) || (n >= 25 && n <= 31) || (n >= 33 && n <= 45) ||
         (n >= 47 && n <= 66);
}

TEST(DocumentiNote, EightyRowsThenTheMarker) {
  const auto righe = righe_note();
  ASSERT_EQ(righe.size(), 81u);
  EXPECT_EQ(righe[80], kFineFile);
}

TEST(DocumentiNote, ThePlanFixedLines) {
  EXPECT_EQ(riga(1), "                       CENNI STORICI DELLA FERROVIA PONTEBBANA");
  EXPECT_EQ(riga(1).size(), 62u);
  EXPECT_EQ(riga(24), "");
  EXPECT_EQ(riga(32), "");
  EXPECT_EQ(riga(46), "   ");
  for (std::size_t n = 67; n <= 79; ++n) EXPECT_EQ(riga(n), "") << "line " << n;
  EXPECT_EQ(riga(80), std::string(14, ' '));
}

TEST(DocumentiNote, ThePlanLengthsAndIndents) {
  struct Caso {
    std::size_t riga, lunghezza, rientro, spazi_finali;
  };
  constexpr Caso kCasi[] = {
      {47, 92, 9, 0},
      {52, 30, 2, 0},
      {65, 89, 2, 0},
      {66, 93, 62, 4},
  };
  for (const auto& c : kCasi) {
    SCOPED_TRACE("line " + std::to_string(c.riga));
    EXPECT_EQ(riga(c.riga).size(), c.lunghezza);
    EXPECT_EQ(test::spazi_iniziali(riga(c.riga)), c.rientro);
    EXPECT_EQ(test::spazi_finali(riga(c.riga)), c.spazi_finali);
  }
}

TEST(DocumentiNote, SixActivitiesListedWithADash) {
  int con_trattino = 0;
  for (std::size_t n = 53; n <= 59; ++n) {
    if (riga(n).starts_with("  -")) {
      ++con_trattino;
    } else {
      // Only the second activity runs on, onto line 55.
      EXPECT_EQ(n, 55u);
      EXPECT_TRUE(riga(n).starts_with("  "));
    }
  }
  EXPECT_EQ(con_trattino, 6);
  EXPECT_TRUE(riga(54).starts_with("  -"));
}

TEST(DocumentiNote, TheProseRules) {
  for (std::size_t n = 1; n <= 80; ++n) {
    const auto r = riga(n);
    SCOPED_TRACE("line " + std::to_string(n) + ": " + std::string(r));
    for (const char c : r) {
      EXPECT_TRUE(c >= 0x20 && c < 0x7F);
      EXPECT_FALSE(c >= 'a' && c <= 'z');
      EXPECT_NE(c, '0');  // zero is typed as the letter O
    }
    if (!prosa(n)) continue;
    EXPECT_TRUE(r.starts_with("  "));
    EXPECT_NE(r.find_first_not_of(' '), std::string_view::npos);
    EXPECT_LE(r.size(), 106u);
    if (n != 66) {
      EXPECT_LE(test::spazi_finali(r), 1u);
    }
  }
}

TEST(DocumentiNote, ContactsArePlaceholdersOnly) {
  // Reserved names only: no real address may leak into the notes.
  EXPECT_NE(riga(65).find(".INVALID"), std::string_view::npos);
  EXPECT_NE(riga(66).find(".INVALID"), std::string_view::npos);
  for (const char c : riga(65).substr(2)) EXPECT_FALSE(c >= '1' && c <= '9');
}

}  // namespace
}  // namespace gs

// Text as the editor and the compiler each see it: lines, UTF-16 columns, edits, the
// Windows-1252 conversion, URIs and the extent of a field.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "lsp/campo.h"
#include "lsp/documenti.h"
#include "lsp/testo.h"
#include "lsp/uri.h"

namespace gs {
namespace {

using namespace lsp;

// "à" takes two bytes and one UTF-16 unit, "€" three bytes and one unit, "😀" four bytes and
// two units.
const std::string kRiga = "a\xC3\xA0\xE2\x82\xAC\xF0\x9F\x98\x80z";

TEST(LspTesto, LinesEndAtCrLfCrOrLf) {
  const std::string t = "uno\r\ndue\rtre\nquattro\r\n";
  const IndiceRighe r(t);
  ASSERT_EQ(r.righe(), 5u);
  EXPECT_EQ(r.riga(0), "uno");
  EXPECT_EQ(r.riga(1), "due");
  EXPECT_EQ(r.riga(2), "tre");
  EXPECT_EQ(r.riga(3), "quattro");
  EXPECT_EQ(r.riga(4), "");
  EXPECT_EQ(r.riga(99), "");
  EXPECT_EQ(r.inizio(3), 13u);
  EXPECT_EQ(r.riga_di(13), 3u);
  EXPECT_EQ(r.riga_di(12), 2u);
}

TEST(LspTesto, Utf16Columns) {
  // characters and bytes of the line -> UTF-16 units
  EXPECT_EQ(utf16_dei_caratteri(kRiga, 0), 0);
  EXPECT_EQ(utf16_dei_caratteri(kRiga, 2), 2);
  EXPECT_EQ(utf16_dei_caratteri(kRiga, 4), 5);
  EXPECT_EQ(utf16_dei_caratteri(kRiga, 5), 6);
  EXPECT_EQ(utf16_dei_caratteri(kRiga, 50), 6);
  EXPECT_EQ(utf16_dei_byte(kRiga, 3), 2);
  EXPECT_EQ(utf16_dei_byte(kRiga, 10), 5);
  // UTF-16 column -> byte: past the end is the end; inside the pair, the pair's start
  const std::pair<int64_t, std::size_t> colonne[] = {{0, 0}, {1, 1},  {2, 3},  {3, 6},
                                                     {4, 6}, {5, 10}, {6, 11}, {60, 11}};
  for (const auto& [colonna, byte] : colonne)
    EXPECT_EQ(byte_della_colonna(kRiga, colonna), byte) << colonna;
}

TEST(LspTesto, OffsetOfAPositionIsHeldToTheText) {
  const std::string t = "ab\r\n" + kRiga + "\ncd";
  EXPECT_EQ(offset_di(t, {0, 1}), 1u);
  EXPECT_EQ(offset_di(t, {0, 9}), 2u);  // past the line's end: its end, not the next line
  EXPECT_EQ(offset_di(t, {1, 3}), 4u + 6u);
  EXPECT_EQ(offset_di(t, {2, 1}), t.size() - 1);
  EXPECT_EQ(offset_di(t, {7, 0}), t.size());
  EXPECT_EQ(offset_di(t, {-1, -4}), 0u);
}

TEST(LspTesto, Windows1252Conversion) {
  struct Caso {
    std::string testo;
    std::string byte;
    std::vector<std::pair<std::size_t, char32_t>> mancanti;
  };
  const Caso casi[] = {
      // à, €, the undefined byte 0x81 as U+0081, then ☃ and 😀 which it lacks.
      {"x\xC3\xA0\xE2\x82\xAC\xC2\x81\xE2\x98\x83;\xF0\x9F\x98\x80",
       "x\xE0\x80\x81?;?",
       {{8, U'\u2603'}, {12, U'\U0001F600'}}},
      // The five bytes Windows-1252 leaves undefined, each from its C1 character; U+0080 is
      // not one of them (0x80 is the euro sign).
      {"\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D\xC2\x80", "\x81\x8D\x8F\x90\x9D?", {{10, 0x80}}},
  };
  for (const Caso& c : casi) {
    std::vector<Mancante> mancanti;
    EXPECT_EQ(testo_1252(c.testo, mancanti), c.byte);
    ASSERT_EQ(mancanti.size(), c.mancanti.size());
    for (std::size_t i = 0; i < mancanti.size(); ++i) {
      EXPECT_EQ(mancanti[i].offset, c.mancanti[i].first);
      EXPECT_EQ(mancanti[i].punto, c.mancanti[i].second);
    }
  }
}

// The columns found from the places kept every 64 characters are those of a walk from the
// start, for every character and every byte of a text that mixes characters of one to four
// bytes, long runs of one-byte ones and a byte that starts no character.
TEST(LspTesto, ColumnsFromKeptPlacesAreThoseOfAWalk) {
  std::string testo;
  for (int i = 0; i < 40; ++i) testo += kRiga + "\xFF";
  testo += std::string(300, 'a') + kRiga + std::string(64, 'b') + "\xC3\xA0";
  const ColonneUtf16 colonne(testo);
  std::size_t caratteri = 0;
  for (std::size_t i = 0; i < testo.size(); i += carattere_a(testo, i).byte) ++caratteri;
  for (std::size_t c = 0; c <= caratteri + 3; ++c)
    ASSERT_EQ(colonne.dei_caratteri(c), utf16_dei_caratteri(testo, c)) << c;
  for (std::size_t b = 0; b <= testo.size() + 3; ++b)
    ASSERT_EQ(colonne.dei_byte(b), utf16_dei_byte(testo, b)) << b;
  EXPECT_EQ(ColonneUtf16("").dei_caratteri(5), 0);
}

TEST(LspTesto, IncrementalEdits) {
  Archivio a;
  Documento& d = a.apri("untitled:1", "", 1, "segnale, 4500\r\nriga due\r\n");
  struct Passo {
    Intervallo intervallo;
    std::string testo;
    std::string dopo;
  };
  const Passo passi[] = {
      {{{0, 9}, {0, 13}}, "4550", "segnale, 4550\r\nriga due\r\n"},
      {{{0, 0}, {0, 0}}, kRiga, kRiga + "segnale, 4550\r\nriga due\r\n"},
      // "z", after the pair of units (3 and 4) of "😀"
      {{{0, 5}, {0, 6}}, "", "a\xC3\xA0\xE2\x82\xAC\xF0\x9F\x98\x80segnale, 4550\r\nriga due\r\n"},
      {{{0, 3}, {1, 5}},
       "",
       "a\xC3\xA0\xE2\x82\xAC"
       "due\r\n"},
      // A character past its line's end stands at the end; the last line (empty) is there.
      {{{0, 4}, {0, 99}},
       "!",
       "a\xC3\xA0\xE2\x82\xAC"
       "d!\r\n"},
      {{{1, 0}, {1, 7}},
       "fine",
       "a\xC3\xA0\xE2\x82\xAC"
       "d!\r\nfine"},
  };
  for (const Passo& p : passi) {
    const uint64_t prima = d.generazione;
    EXPECT_EQ(a.modifica(d, {{p.intervallo, p.testo}}), std::nullopt);
    EXPECT_EQ(d.testo, p.dopo);
    EXPECT_GT(d.generazione, prima);
  }
  // A range that runs backwards, or reaches a line the text has not, is refused with its reason,
  // and so is the whole change it is part of: the text stays as it was.
  const std::string prima = d.testo;
  const uint64_t generazione = d.generazione;
  struct Rifiuto {
    Intervallo intervallo;
    const char* perche;
  };
  for (const Rifiuto& r :
       {Rifiuto{{{0, 2}, {0, 1}}, "runs backwards"}, Rifiuto{{{1, 0}, {0, 0}}, "runs backwards"},
        Rifiuto{{{1, 0}, {2, 0}}, "reaches line 2"}, Rifiuto{{{5, 0}, {9, 9}}, "reaches line 9"},
        Rifiuto{{{-1, 0}, {0, 0}}, "reaches line -1"}}) {
    const auto motivo = a.modifica(d, {{std::nullopt, "tutto nuovo"}, {r.intervallo, "x"}});
    ASSERT_TRUE(motivo.has_value()) << r.perche;
    EXPECT_NE(motivo->find(r.perche), std::string::npos) << *motivo;
    EXPECT_EQ(d.testo, prima) << r.perche;
    EXPECT_EQ(d.generazione, generazione);
  }
  EXPECT_EQ(a.modifica(d, {{std::nullopt, "tutto nuovo"}}), std::nullopt);
  EXPECT_EQ(d.testo, "tutto nuovo");
}

TEST(LspTesto, FirstUtf8CharacterOfAFile) {
  EXPECT_FALSE(primo_utf8("solo ascii\r\n"));
  EXPECT_FALSE(primo_utf8("CITT\xC0\r\n"));  // Windows-1252, not UTF-8
  const auto i = primo_utf8("uno\r\n\xF0\x9F\x98\x80 x \xC3\x80\r\n");
  ASSERT_TRUE(i);
  EXPECT_EQ(*i, (Intervallo{{1, 0}, {1, 2}}));
  const auto j = primo_utf8("uno\rdue\nCITT\xC3\x80");
  ASSERT_TRUE(j);
  EXPECT_EQ(*j, (Intervallo{{2, 4}, {2, 5}}));
}

TEST(LspUri, FilesAndTheirUris) {
  struct Caso {
    const char* uri;
    const char* percorso;
  };
  const Caso andata_e_ritorno[] = {
      {"file:///tmp/a%20b/MIA_D%20237-.txt", "/tmp/a b/MIA_D 237-.txt"},
      {"file:///home/x/CITT%C3%80_linea.txt", "/home/x/CITT\xC3\x80_linea.txt"},
      {"file:///c:/Users/a/x.txt", "c:/Users/a/x.txt"},
      {"file://server/share/x.txt", "//server/share/x.txt"},
  };
  for (const Caso& c : andata_e_ritorno) {
    EXPECT_EQ(percorso_da_uri(c.uri), c.percorso);
    EXPECT_EQ(uri_da_percorso(c.percorso), c.uri);
  }
  const Caso solo_andata[] = {
      {"file:///c%3A/Users/a/x.txt", "c:/Users/a/x.txt"},
      {"FILE://localhost/tmp/x%2ftxt", "/tmp/x/txt"},
      {"file:///tmp/x.txt?q#f", "/tmp/x.txt"},
      {"untitled:Untitled-1", ""},
      {"file:///tmp/%zz", ""},
      {"file:///tmp/%00", ""},
      {"file:///tmp/%2", ""},
      {"file:", ""},
  };
  for (const Caso& c : solo_andata) EXPECT_EQ(percorso_da_uri(c.uri), c.percorso) << c.uri;
  EXPECT_EQ(uri_da_percorso("C:\\Users\\a b\\x.txt"), "file:///C:/Users/a%20b/x.txt");
}

TEST(LspCampo, ExtentOfTheFieldAtAColumn) {
  struct Caso {
    const char* riga;
    std::size_t inizio;
    std::size_t fine;
  };
  const Caso casi[] = {
      {"segnale,    4500,   1", 0, 7},
      {"segnale,    4500,   1", 12, 16},
      {"orologio,    5  26  0", 13, 14},         // numbers separated by blanks
      {"lunghezza percorsso ,  100", 0, 19},     // a keyword of two words
      {"stazione, 0, 12, SAN MARCO  ", 17, 26},  // a name, to the line's end
      {"cartello, 1, \"A, B\" x, 2", 13, 19},    // a quoted text, commas and all
      {"cartello, 1, \"A, B", 13, 18},           // a quote left open
      {"velocita, , 80", 10, 10},                // an empty field
      {"x", 5, 1},                               // past the end
      {"sabbia, -12 3", 8, 11},
  };
  for (const Caso& c : casi) EXPECT_EQ(fine_campo(c.riga, c.inizio), c.fine) << c.riga;
}

}  // namespace
}  // namespace gs

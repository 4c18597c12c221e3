// A source read into records, and formatting's edge cases: what it must leave as it is.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "lsp/analisi.h"
#include "lsp/formatta.h"
#include "lsp/testo.h"
#include "lsp/vista.h"

namespace gs {
namespace {

using namespace lsp;
using nlohmann::json;

// The text with formatting's edits made (one line each, ASCII: a column is a byte).
std::string formattato(const std::string& testo, bool linea) {
  const Vista v(testo, linea);
  json modifiche = formatta(v);
  std::vector<json> elenco(modifiche.begin(), modifiche.end());
  std::sort(elenco.begin(), elenco.end(), [](const json& a, const json& b) {
    const auto chiave = [](const json& m) {
      return std::pair{m["range"]["start"]["line"].get<int64_t>(),
                       m["range"]["start"]["character"].get<int64_t>()};
    };
    return chiave(a) > chiave(b);
  });
  std::string t = testo;
  for (const json& m : elenco) {
    const std::size_t da = offset_di(t, {m["range"]["start"]["line"].get<int64_t>(),
                                         m["range"]["start"]["character"].get<int64_t>()});
    const std::size_t a = offset_di(t, {m["range"]["end"]["line"].get<int64_t>(),
                                        m["range"]["end"]["character"].get<int64_t>()});
    t.replace(da, a - da, m["newText"].get<std::string>());
  }
  return t;
}

TEST(LspFormatta, AlignsRecordsOfOneKindAndLeavesTheRestAsItIs) {
  struct Caso {
    const char* nome;
    bool linea;
    std::string prima;
    std::string dopo;
  };
  const Caso casi[] = {
      {"numbers to the right of their columns, the first after the longest keyword", false,
       "[generale]\nvelocita,  0,  80\nVELOCITA,12000,5\n[fine]\n",
       "[generale]\nvelocita,     0, 80\nVELOCITA, 12000,  5\n[fine]\n"},
      {"numbers written without commas keep their blanks", false,
       "[generale]\norologio,    7    0   0\n[fine]\n",
       "[generale]\norologio, 7    0   0\n[fine]\n"},
      {"a text keeps the blanks before its separator", true,
       "[generale]\nlunghezza percorso, 1000\n[x]\ncartello_indicatore,  10,   (A)(B)  \n[fine]\n",
       "[generale]\nlunghezza percorso, 1000\n[x]\ncartello_indicatore, 10, (A)(B)  \n[fine]\n"},
      {"a quoted field, a missing value, a tab, two records on a line: untouched", false,
       "[generale]\nstazione,  0, 8, \"A, B\"\nvelocita,  0\nsabbia,\t3\n"
       "orologio,  1 2 3,  sabbia,  4\n",
       "[generale]\nstazione,  0, 8, \"A, B\"\nvelocita,  0\nsabbia,\t3\n"
       "orologio,  1 2 3,  sabbia,  4\n"},
      {"before [generale], nothing", false, "velocita,  0,  80\n[generale]\n",
       "velocita,  0,  80\n[generale]\n"},
      {"empty fields are blanks in their column", true,
       "[generale]\nlunghezza percorso, 1000\n[x]\nindicatori_vmax,  1150,  70,  75,  75,  0,  ,  "
       ",  ,  0\n",
       "[generale]\nlunghezza percorso, 1000\n[x]\nindicatori_vmax, 1150, 70, 75, 75, 0, , , , "
       "0\n"},
  };
  for (const Caso& c : casi) {
    const std::string una = formattato(c.prima, c.linea);
    EXPECT_EQ(una, c.dopo) << c.nome;
    EXPECT_EQ(formattato(una, c.linea), una) << c.nome << ": formatted twice";
  }
}

TEST(LspAnalisi, SectionsAndRecordsAsTheReadersTakeThem) {
  const std::string linea =
      "comment\n[generale]\nlunghezza percorso, 1000\n[curve]\npendenza, 0, 3\n";
  const Analisi a = analizza(linea, true);
  ASSERT_EQ(a.righe.size(), 6u);
  EXPECT_FALSE(a.righe[0].sezione);
  EXPECT_EQ(a.righe[2].sezione, Sezione::kLineaGenerale);
  ASSERT_EQ(a.righe[2].parole.size(), 1u);
  EXPECT_EQ(a.righe[2].parole[0].record[0]->tipo, TipoRecord::kLunghezza);
  EXPECT_EQ(a.righe[4].sezione, Sezione::kLinea);
  ASSERT_EQ(a.righe[4].campi.size(), 2u);
  EXPECT_EQ(a.righe[4].campi[1].numero, 3);
  EXPECT_EQ(a.righe[4].campi[1].inizio, 13u);
  EXPECT_EQ(a.sezione_dopo(3), Sezione::kLinea);

  // One keyword naming two records, each reading its values; and a second record on the line.
  const Analisi t =
      analizza("[generale]\norologio e sabbia, 6 45 0, 250, velocita, 0, 80\n", false);
  ASSERT_EQ(t.righe[1].parole.size(), 2u);
  EXPECT_EQ(t.righe[1].parole[0].record.size(), 2u);
  EXPECT_EQ(t.righe[1].campi.size(), 6u);
  EXPECT_EQ(t.righe[1].campi[3].numero, 250);
  EXPECT_EQ(t.righe[1].campi[5].numero, 80);
}

}  // namespace
}  // namespace gs

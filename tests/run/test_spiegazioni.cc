// The table behind explain and the guide's list of errors: an entry for every error number
// and warning, and every example it gives really gives its entry's number with a message of
// its cause's form.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "common/diagnostica.h"
#include "run/esecuzione.h"
#include "run/spiegazioni.h"
#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"
#include "support/esempi.h"

namespace gs {
namespace {

TEST(Spiegazioni, EveryErrorAndWarningHasAnEntryWithCauses) {
  for (const Errore e : kErrori) {
    const Spiegazione* v = voce(std::to_string(e));
    ASSERT_NE(v, nullptr) << e;
    EXPECT_FALSE(v->cause.empty()) << e;
    std::string codice = "E";
    codice += std::to_string(e);
    EXPECT_EQ(voce(codice), v);
  }
  for (const std::string_view a : kAvvisi) {
    ASSERT_NE(voce(a), nullptr) << a;
    EXPECT_FALSE(voce(a)->cause.empty()) << a;
  }
  // The rest are the tools' own messages, found by their names too, none a warning.
  std::size_t messaggi = 0;
  for (const Spiegazione& v : voci()) {
    if (v.numerato() || v.gravita == Gravita::kAvviso) continue;
    ++messaggi;
    EXPECT_EQ(voce(v.avviso), &v) << v.avviso;
    EXPECT_EQ(std::find(std::begin(kAvvisi), std::end(kAvvisi), v.avviso), std::end(kAvvisi));
  }
  EXPECT_EQ(voci().size(), std::size(kErrori) + std::size(kAvvisi) + messaggi);
  for (const char* nessuna : {"14", "23", "0", "E", "", "unknown", "16x"})
    EXPECT_EQ(voce(nessuna), nullptr) << nessuna;
  // What explain says of an unknown number lists those in use, and no other.
  EXPECT_EQ(numeri_errori(), "1 to 13, 15 to 22, 24, 25, 101 to 103, 1250 and 1251");
}

// A template's values by name, an optional tail, named parts, and a name the raise forgot left
// in sight.
TEST(Spiegazioni, MessagesAreWordedFromTheirTemplates) {
  struct Caso {
    const char* modello;
    Dati dati;
    const char* messaggio;
  };
  const Caso casi[] = {
      {"the signal at {P} m falls in the cell at {C} m",
       {{"P", 9000}, {"C", int64_t{-50}}},
       "the signal at 9000 m falls in the cell at -50 m"},
      {"\"{K}\" is skipped{...}",
       {{"K", "x"}, {"...", "; did you mean \"y\"?"}},
       "\"x\" is skipped; did you mean \"y\"?"},
      {"\"{K}\" is skipped{...}", {{"K", "x"}}, "\"x\" is skipped"},
      {"{the point} lies at {P} m", {{"P", 5}}, "{the point} lies at 5 m"},
      {"{A}{A}", {{"A", "{B}"}, {"B", "no"}}, "{B}{B}"},
      {"exact", {}, "exact"},
      {"open {brace", {}, "open {brace"},
      // A named part: said, with its own values, only when the raise gives its name.
      {"skipped{S?; did you mean \"{S}\"?}", {{"S", "y"}}, "skipped; did you mean \"y\"?"},
      {"skipped{S?; did you mean \"{S}\"?}", {{"K", "y"}}, "skipped"},
      {"{N} value{MANY?s}{ONE? only}", {{"N", 2}, {"MANY", ""}}, "2 values"},
      {"{A?a {B?b {C}}}", {{"A", ""}, {"B", ""}, {"C", 3}}, "a b 3"},
      {"{A?[{B}]}", {{"A", ""}}, "[{B}]"},
      {"open {A?part", {{"A", ""}}, "open {A?part"},
  };
  for (const Caso& c : casi) EXPECT_EQ(formatta(c.modello, c.dati), c.messaggio) << c.modello;
}

// The suggested word is a value of its own beside the message: the same whatever the words
// around it, and none when the raise gives none.
TEST(Spiegazioni, ASuggestionTravelsBesideTheMessage) {
  const Detto d = detto(IdCausa::kRecordSconosciuto, {{"K", "segnal"}, {kSuggerimento, "segnale"}});
  EXPECT_EQ(d.suggerimento, "segnale");
  EXPECT_EQ(d.testo, "\"segnal\" matches no record type and is skipped; did you mean \"segnale\"?");
  EXPECT_EQ(detto(IdCausa::kTestata, {{"H", "[x]"}}).suggerimento, "");
  EXPECT_EQ(detto(IdCausa::kTestata, {{"H", "[x]"}}).testo,
            "unknown section head \"[x]\" is skipped");
}

// One row for every cause: each id finds its own row, whose entry lists it, and names are
// unique, since the JSON output gives them.
TEST(Spiegazioni, EveryCauseHasOneRowInItsEntry) {
  std::set<std::string_view> nomi;
  for (const Causa& c : cause()) {
    EXPECT_EQ(&causa(c.id), &c);
    const Spiegazione& v = voce_di(c.id);
    EXPECT_TRUE(std::any_of(v.cause.begin(), v.cause.end(), [&](const Causa& x) {
      return &x == &c;
    })) << c.nome;
    EXPECT_TRUE(nomi.insert(c.nome).second) << c.nome;
    EXPECT_FALSE(c.modello.empty()) << c.nome;
    EXPECT_FALSE(c.rimedio.empty()) << c.nome;
  }
}

// Each example, added to the small scenario of `new`, gives its entry's number (or warning)
// with a message of the form of its own cause.
TEST(Spiegazioni, EveryExampleGivesItsCause) {
  int provati = 0;
  for (const Spiegazione& v : voci()) {
    for (const Causa& c : v.cause) {
      SCOPED_TRACE(std::string(v.avviso.empty() ? std::to_string(v.numero) : v.avviso) + ": " +
                   std::string(c.modello));
      const auto esempio = test::sorgenti_esempio(c);
      if (!esempio) {
        EXPECT_FALSE(c.situazione.empty());  // a cause without an example says when it happens
        continue;
      }
      Compilazione comp;
      SorgentiInMemoria s(esempio->first, esempio->second);
      memorizza_percorso(comp, 1, s, nullptr);
      const Diagnostica* trovata = nullptr;
      for (const Diagnostica& d : comp.registro.elenco()) {
        if (v.avviso.empty() ? d.gravita == Gravita::kErrore : d.avviso == v.avviso) trovata = &d;
      }
      ASSERT_NE(trovata, nullptr);
      if (v.avviso.empty())
        EXPECT_EQ(comp.registro.n_errore, v.numero) << trovata->messaggio;
      else
        EXPECT_FALSE(comp.registro.ha_errori()) << comp.registro.elenco()[0].messaggio;
      EXPECT_EQ(trovata->causa, &c) << trovata->messaggio;
      EXPECT_EQ(trovata->messaggio.find('{'), std::string::npos) << trovata->messaggio;
      ++provati;
    }
  }
  EXPECT_GT(provati, 50);
}

// The block of a document that `genera_scenario COMMAND` generated, or nullopt.
std::optional<std::string> generato(const std::string& documento, const std::string& comando) {
  std::ifstream f(std::string(GS_SORGENTI) + "/" + documento, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  const std::string testo = ss.str();
  const std::string inizio = "<!-- BEGIN generated by: genera_scenario " + comando + " -->\n";
  const std::size_t a = testo.find(inizio);
  if (a == std::string::npos) return std::nullopt;
  const std::size_t b = testo.find("<!-- END generated -->", a);
  if (b == std::string::npos) return std::nullopt;
  return testo.substr(a + inizio.size(), b - a - inizio.size());
}

TEST(Spiegazioni, TheGuideAndTheReadmeListEveryEntryAsTheProgramDoes) {
  std::string atteso;
  for (const Spiegazione& v : voci()) {
    if (!atteso.empty()) atteso += '\n';
    atteso += markdown_voce(v);
  }
  EXPECT_EQ(generato("docs/authoring.md", "explain --all --markdown"), atteso)
      << "regenerate the list: scripts/aggiorna_guida.sh";
  // The README's table is made from the list itself: one row per diagnostic, none forgotten.
  const std::optional<std::string> tabella = generato("README.md", "explain --list --markdown");
  ASSERT_TRUE(tabella.has_value()) << "README.md has no generated table of diagnostics";
  EXPECT_EQ(*tabella, elenco_voci(true)) << "regenerate it: scripts/aggiorna_guida.sh";
  for (const RigaDiagnostica& r : kRigheDiagnostiche) {
    const std::string codice = r.avviso.empty() ? std::to_string(r.numero) : std::string(r.avviso);
    std::ostringstream riga;
    riga << "| `" << (r.avviso.empty() ? "E" : "") << codice << "` | " << r.titolo << " |\n";
    EXPECT_NE(tabella->find(riga.str()), std::string::npos) << codice;
  }
  // And so is the manual page's.
  std::ifstream f(std::string(GS_SORGENTI) + "/docs/genera_scenario.1", std::ios::binary);
  std::stringstream pagina;
  pagina << f.rdbuf();
  const std::string p = pagina.str(), inizio = ".\\\" BEGIN generated: the table of diagnostics\n";
  const std::size_t a = p.find(inizio), b = p.find(".\\\" END generated\n");
  ASSERT_NE(a, std::string::npos) << "the manual page has no generated list of diagnostics";
  ASSERT_NE(b, std::string::npos);
  EXPECT_EQ(p.substr(a + inizio.size(), b - a - inizio.size()), elenco_voci_man())
      << "regenerate it: scripts/aggiorna_man.sh";
}

}  // namespace
}  // namespace gs

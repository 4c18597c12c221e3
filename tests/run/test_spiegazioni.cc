// The table behind explain and the guide's list of errors: an entry for every error number
// and warning, and every example it gives really gives its entry's number with a message of
// its cause's form.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "common/diagnostica.h"
#include "run/esecuzione.h"
#include "run/spiegazioni.h"
#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"

namespace gs {
namespace {

// Lines given with \n as a source's lines, each ended by CR LF.
std::string intera(std::string_view testo) {
  std::string righe;
  std::size_t i = 0;
  while (i < testo.size()) {
    const std::size_t fine = std::min(testo.find('\n', i), testo.size());
    righe += std::string(testo.substr(i, fine - i)) + "\r\n";
    i = fine + 1;
  }
  return righe;
}

// `testo` inserted into `sorgente` just before the line `prima_di`.
std::string inserisci(std::string sorgente, std::string_view prima_di, std::string_view testo) {
  const std::size_t p = sorgente.find("\r\n" + std::string(prima_di) + "\r\n");
  EXPECT_NE(p, std::string::npos) << prima_di;
  return sorgente.insert(p + 2, intera(testo));
}

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
  EXPECT_EQ(voci().size(), std::size(kErrori) + std::size(kAvvisi));
  for (const char* nessuna : {"14", "23", "0", "E", "", "unknown", "16x"})
    EXPECT_EQ(voce(nessuna), nullptr) << nessuna;
  // What explain says of an unknown number lists those in use, and no other.
  EXPECT_EQ(numeri_errori(), "1 to 13, 15 to 22, 24, 25, 101 to 103, 1250 and 1251");
}

TEST(Spiegazioni, MessageForms) {
  struct Caso {
    const char* modello;
    const char* messaggio;
    bool corrisponde;
  };
  const Caso casi[] = {
      {"the signal at {P} m falls in the cell at {C} m",
       "the signal at 9000 m falls in the cell at 9000 m", true},
      {"the signal at {P} m falls in the cell at {C} m",
       "the signal at 9000 m falls in the cell at 9000 m!", false},
      {"the signal at {P} m", "a signal at 9000 m", false},
      {"\"{K}\" is skipped{...}", "\"x\" is skipped; did you mean \"y\"?", true},
      {"\"{K}\" is skipped{...}", "\"x\" is skipped", true},
      {"{a} m to {b} m", "5 m to 6 m", true},
      {"{a} m to {b} m", "5 m to 6", false},
      {"exact", "exact", true},
      {"exact", "exactly", false},
  };
  for (const Caso& c : casi)
    EXPECT_EQ(secondo_modello(c.modello, c.messaggio), c.corrisponde) << c.messaggio;
}

// Each example, added to the small scenario of `new`, gives its entry's number (or warning)
// with a message of the form of its own cause.
TEST(Spiegazioni, EveryExampleGivesItsCause) {
  const std::string linea = componi_testo(righe_linea_esempio());
  const std::string treno = componi_testo(righe_treno_esempio());
  int provati = 0;
  for (const Spiegazione& v : voci()) {
    for (const Causa& c : v.cause) {
      SCOPED_TRACE(std::string(v.avviso.empty() ? std::to_string(v.numero) : v.avviso) + ": " +
                   std::string(c.modello));
      if (c.generale.empty() && c.linea.empty() && c.treno.empty() && !c.linea_intera &&
          !c.treno_intera) {
        EXPECT_FALSE(c.situazione.empty());  // a cause without an example says when it happens
        continue;
      }
      std::string l = c.linea_intera ? intera(c.linea) : linea;
      std::string t = c.treno_intera ? intera(c.treno) : treno;
      if (!c.generale.empty()) l = inserisci(l, "[curve]", c.generale);
      if (!c.linea.empty() && !c.linea_intera) l = inserisci(l, "[fine]", c.linea);
      if (!c.treno.empty() && !c.treno_intera) t = inserisci(t, "[codici]", c.treno);
      Compilazione comp;
      SorgentiInMemoria s(l, t);
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
      EXPECT_EQ(causa_di(v, trovata->messaggio), &c) << trovata->messaggio;
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
}

}  // namespace
}  // namespace gs

// The table of commands: what it makes (the usage, each command's --help, the manual's
// synopsis, the dispatcher) and the one reader of every command's options.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "run/comandi.h"
#include "support/cartella.h"
#include "support/processo.h"

namespace gs {
namespace {

// The lines of `testo` wider than 80 columns, or holding anything but printable ASCII.
std::vector<std::string> righe_larghe(const std::string& testo) {
  std::vector<std::string> larghe;
  std::istringstream in(testo);
  for (std::string riga; std::getline(in, riga);) {
    bool ascii = true;
    for (const char c : riga) ascii = ascii && c >= ' ' && c <= '~';
    if (riga.size() > 80 || !ascii) larghe.push_back(riga);
  }
  return larghe;
}

TEST(Comandi, EveryHelpFitsEightyColumns) {
  EXPECT_EQ(righe_larghe(uso_programma()), std::vector<std::string>{});
  for (const Comando& c : comandi())
    EXPECT_EQ(righe_larghe(aiuto(c)), std::vector<std::string>{}) << c.nome;
}

TEST(Comandi, TheUsageListsEveryFormOfEveryCommand) {
  const std::string uso = uso_programma();
  for (const Comando& c : comandi()) {
    for (const std::string_view forma : c.uso) {
      EXPECT_NE(uso.find("       genera_scenario " + std::string(forma) + "\n"), std::string::npos)
          << forma;
      EXPECT_NE(aiuto(c).find("genera_scenario " + std::string(forma) + "\n"), std::string::npos)
          << forma;
    }
    std::string riassunto(c.nome);
    riassunto.insert(riassunto.begin(), '\n');
    EXPECT_NE(uso.find(riassunto + "  "), std::string::npos) << c.nome;
  }
  // check shares compile's help, which shows both.
  EXPECT_EQ(aiuto(*comando("check")), aiuto(*comando("compile")));
}

TEST(Comandi, EveryCommandAnswersItsHelpAndRefusesAnUnknownOption) {
  test::CartellaTemporanea dir;
  for (const Comando& c : comandi()) {
    const std::string nome(c.nome);
    for (const char* chiesto : {" --help", " -h", " x.sim --help --bogus"}) {
      const test::Uscita u = test::esegui(GS_EXE, nome + chiesto, dir.percorso());
      EXPECT_EQ(u.stato, 0) << nome << chiesto;
      EXPECT_EQ(u.out, aiuto(c)) << nome << chiesto;
      EXPECT_EQ(u.err, "") << nome << chiesto;
    }
    const test::Uscita u = test::esegui(GS_EXE, nome + " --bogus --help", dir.percorso());
    EXPECT_EQ(u.stato, 2) << nome;
    EXPECT_EQ(u.out, "") << nome;
    EXPECT_EQ(u.err,
              "genera_scenario: error: unknown option --bogus\n"
              "try 'genera_scenario --help'\n")
        << nome;
  }
  const test::Uscita u = test::esegui(GS_EXE, "--help", dir.percorso());
  EXPECT_EQ(u.stato, 0);
  EXPECT_EQ(u.out, uso_programma());
}

TEST(Comandi, TheManualsSynopsisIsTheTables) {
  std::ifstream f(std::string(GS_SORGENTI) + "/docs/genera_scenario.1", std::ios::binary);
  ASSERT_TRUE(f) << "docs/genera_scenario.1";
  std::stringstream ss;
  ss << f.rdbuf();
  const std::string pagina = ss.str();
  const std::string inizio = ".SH SYNOPSIS\n", fine = ".SH DESCRIPTION\n";
  const std::size_t a = pagina.find(inizio), b = pagina.find(fine);
  ASSERT_NE(a, std::string::npos);
  ASSERT_NE(b, std::string::npos);
  EXPECT_EQ(pagina.substr(a + inizio.size(), b - a - inizio.size()), sinossi_man())
      << "regenerate the synopsis: scripts/aggiorna_man.sh";
  // Options in bold within brackets, names to fill in in italics.
  const std::string s = sinossi_man();
  EXPECT_NE(
      s.find(".B genera_scenario compile\n.I LINE_SOURCE TRAIN_SOURCE\n.RB [ \\-o\n.IR DIR ]\n"),
      std::string::npos)
      << s;
  EXPECT_NE(s.find(".RB [ \\-\\-diagnostics\\-format=\\fIFORMAT\\fR ]\n"), std::string::npos);
  EXPECT_NE(s.find("\\fIN\\fR | \\fINAME\\fR | \\fB\\-\\-all\\fR | \\fB\\-\\-list\\fR\n"
                   ".RB [ \\-\\-markdown ]\n"),
            std::string::npos);
  EXPECT_NE(s.find(".IR FILE ...\\&\n"), std::string::npos);
}

// One command line read by a command's row: the reason it is refused, or what was read.
struct Caso {
  const char* comando;
  std::vector<std::string> parole;
  std::string errore;  // empty: read
};

std::string leggi(const Caso& k, Argomenti& letti) {
  const Comando* c = comando(k.comando);
  try {
    const auto a = leggi_argomenti(c->nome, k.parole, c->opzioni, c->posizionale);
    if (!a) return "(help)";
    letti = *a;
    return "";
  } catch (const ErroreUso& e) {
    return e.what();
  }
}

TEST(LeggiArgomenti, TheFirstWrongWordIsTheReason) {
  const Caso casi[] = {
      // A value is the next word, whatever it looks like; without one the option is refused.
      {"compile", {"a", "--line-name"}, "--line-name needs a value"},
      {"serve", {"-o"}, "-o needs a value"},
      {"compile", {"-o", "-q"}, ""},
      // Options of another command are unknown here.
      {"check", {"-o", "out"}, "unknown option -o"},
      {"check", {"--no-geometry"}, "unknown option --no-geometry"},
      {"compile", {"--port", "1"}, "unknown option --port"},
      // The format comes in the same word, text or json only.
      {"compile", {"--diagnostics-format", "json"}, "unknown option --diagnostics-format"},
      {"compile", {"--diagnostics-format=xml"}, "unknown option --diagnostics-format=xml"},
      {"serve", {"--diagnostics-format=json"}, "unknown option --diagnostics-format=json"},
      // A port is a whole number from 0 to 65535.
      {"serve", {"--port", "65536"}, "--port needs a port number from 0 to 65535, not 65536"},
      {"serve", {"--port", "+80"}, "--port needs a port number from 0 to 65535, not +80"},
      {"serve", {"--port", "80x"}, "--port needs a port number from 0 to 65535, not 80x"},
      {"serve", {"--port", "-1"}, "--port needs a port number from 0 to 65535, not -1"},
      // In the order given: the first wrong word, and --help only before it.
      {"plot", {"a", "b", "--bogus"}, "plot expects one folder, got a and b"},
      {"plot", {"a", "--bogus", "b"}, "unknown option --bogus"},
      {"new", {"a", "b", "--help"}, "new expects one folder, got a and b"},
      {"new", {"a", "--help", "b"}, "(help)"},
      {"inspect",
       {"a.sim", "b.txt", "--bogus"},
       "b.txt: not a compiled scenario file (the name must end in \"_linea.dat\", \".sim\" or "
       "\".dat\")"},
      {"explain", {"-h", "--bogus"}, "(help)"},
      // A name that Windows-1252 cannot hold is refused where it stands.
      {"plot",
       {"--line-name", "\xe2\x82\xac\xe2\x86\x92", "--help"},
       "the name \"\xe2\x82\xac\xe2\x86\x92\" holds a character that Windows-1252 has not, so the "
       "simulator could not show it"},
  };
  for (const Caso& k : casi) {
    Argomenti letti;
    std::string parole;
    for (const std::string& p : k.parole) parole += " " + p;
    EXPECT_EQ(leggi(k, letti), k.errore) << k.comando << parole;
  }
}

TEST(LeggiArgomenti, ValuesFlagsAndWords) {
  Argomenti a;
  ASSERT_EQ(
      leggi({"compile",
             {"-", "--line-name", "x", "--line-name", "VAL\xc3\x88", "--diagnostics-format=json",
              "-q", "--diagnostics-format=text", "-o", "-q", "b"},
             ""},
            a),
      "");
  EXPECT_EQ(a.posizionali, (std::vector<std::string>{"-", "b"}));  // "-" alone is a file name
  EXPECT_EQ(a.nome_linea, "VAL\xc8");                              // the last one, in Windows-1252
  EXPECT_FALSE(a.nome_treno);
  EXPECT_FALSE(a.json);  // the last format given
  EXPECT_TRUE(a.ha(Bandiera::kQuiet));
  EXPECT_FALSE(a.ha(Bandiera::kWerror));
  EXPECT_EQ(a.uscita, std::filesystem::path("-q"));

  ASSERT_EQ(leggi({"serve", {"l", "t", "--port", "0", "--open"}, ""}, a), "");
  EXPECT_EQ(a.porta, 0);
  EXPECT_TRUE(a.ha(Bandiera::kOpen));
  ASSERT_EQ(leggi({"serve", {"--port", "65535"}, ""}, a), "");
  EXPECT_EQ(a.porta, 65535);
}

// Every flag has its id, one spelling for each id, whatever the command: a flag read without
// an id would never be seen as given.
TEST(LeggiArgomenti, EveryFlagHasItsOwnId) {
  std::map<Bandiera, std::string_view> scritte;
  for (const Comando& c : comandi()) {
    for (const Opzione& o : c.opzioni) {
      if (o.genere != Genere::kBandiera) {
        EXPECT_EQ(o.bandiera, Bandiera::kNessuna) << c.nome << " " << o.nome;
        continue;
      }
      EXPECT_NE(o.bandiera, Bandiera::kNessuna) << c.nome << " " << o.nome;
      const auto [it, nuova] = scritte.emplace(o.bandiera, o.nome);
      EXPECT_EQ(it->second, o.nome) << c.nome;
    }
  }
}

}  // namespace
}  // namespace gs

// genera_scenario: writes and compiles the built-in scenario, or compiles a route author's
// sources (see --help). The system's entry point is the platform's (main, or wmain on
// Windows, in src/piattaforma/avvio_*.cc): it sets up the console and hands the arguments
// over as UTF-8; here they find their command.
#include <iostream>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "common/errori.h"
#include "lsp/lsp.h"
#include "piattaforma/piattaforma.h"
#include "run/esecuzione.h"
#include "run/riga_comando.h"
#include "run/spiegazioni.h"
#include "run/strumenti.h"
#include "serve/serve.h"

namespace gs {
namespace {

using Argomenti = std::vector<std::string>;

// The commands: each one's word, its synopsis, what it does (lines of at most 71 columns) and
// the function that carries it out. The usage and the dispatcher are made from this table.
struct Comando {
  std::string_view nome;
  std::string_view sinossi;
  std::string_view sommario;
  int (*esegui)(const Argomenti&);
};

constexpr Comando kComandi[] = {
    {"compile", "LINE_SOURCE TRAIN_SOURCE [options]",
     "compiles a line source and a train source into the three files the simulator\n"
     "loads (NAME_linea.dat, NAME_TRAIN.sim, NAME_TRAIN.dat) in DIR (default: the\n"
     "current folder). The sources are only read, never changed.",
     [](const Argomenti& a) { return comando_compila(a, true); }},
    {"check", "LINE_SOURCE TRAIN_SOURCE [options]",
     "the same compile, writing no file; prints a summary when no error was found.",
     [](const Argomenti& a) { return comando_compila(a, false); }},
    {"new", "DIR --line-name NAME --train-name NAME | new DIR --built-in",
     "writes a starting pair of sources: the authors' guide's small scenario, or the\n"
     "built-in one.",
     comando_new},
    {"explain", "N | NAME | --all | --list",
     "says what an error number or a warning means, its causes and the fix.", comando_explain},
    {"inspect", "FILE... [--json] [--all]",
     "decodes compiled files (_linea.dat, .sim, .dat) and prints what they hold;\n"
     "--json for one JSON document, --all for every entry, cell and metre.",
     comando_inspect},
    {"plot", "DIR [--line-name NAME] [--train-name NAME] [-o FILE.svg]",
     "draws the route sheet of the compiled scenario in DIR as one SVG file; without\n"
     "both names it finds the scenario in DIR (the .sim its own table names, narrowed\n"
     "by the name given) and lists the choices when there are several.",
     comando_plot},
    {"serve", "LINE_SOURCE TRAIN_SOURCE [--port N] [-o DIR] [--open]",
     "shows the route sheet and diagnostics in the browser, on this machine only,\n"
     "compiled again every time a source is saved.",
     comando_serve},
    {"lsp", "[--stdio]",
     "a language server for editors: checks the sources as they are typed and\n"
     "shows each diagnostic at its field. An editor starts it; it writes no file.",
     comando_lsp},
};

std::string uso() {
  std::string s =
      "usage: genera_scenario                 write and compile the built-in scenario in the\n"
      "                                       program's folder\n";
  for (const Comando& c : kComandi) {
    s += "       genera_scenario ";
    s += c.nome;
    s += ' ';
    s += c.sinossi;
    s += '\n';
  }
  s += "       genera_scenario COMMAND --help | --help | --version\n\n";
  for (const Comando& c : kComandi) {
    std::string margine(c.nome);
    margine.resize(9, ' ');
    for (std::size_t i = 0; i <= c.sommario.size();) {
      const std::size_t fine = std::min(c.sommario.find('\n', i), c.sommario.size());
      s += margine;
      s += c.sommario.substr(i, fine - i);
      s += '\n';
      margine.assign(9, ' ');
      i = fine + 1;
    }
  }
  s += "\n"
       "Diagnostics are printed as FILE:LINE:COL: error: MESSAGE [EN at P m], as compilers print\n"
       "them. Exit status: 0 no error, 1 a compile error, 2 a bad command line or a file that\n"
       "cannot be read or written.\n";
  return s;
}

}  // namespace

int programma(int argc, char** argv) {
  const std::vector<std::string> argomenti(argv + std::min(argc, 1), argv + argc);
  try {
    if (argomenti.empty()) return esegui_scenario();
    const std::string& comando = argomenti[0];
    const std::vector<std::string> resto(argomenti.begin() + 1, argomenti.end());
    if (comando == "--help" || comando == "-h" || comando == "help") {
      std::cout << uso();
      return 0;
    }
    if (comando == "--version") {
      std::cout << "genera_scenario " << GS_VERSION << "\n";
      return 0;
    }
    for (const Comando& c : kComandi)
      if (comando == c.nome) return c.esegui(resto);
    return uso_errato("unknown command " + comando);
  } catch (const ErroreFile& e) {
    std::cerr << "genera_scenario: error: " << e.what() << "\n";
    return kEsitoUso;
  } catch (const ErroreUso& e) {
    return uso_errato(e.what());
  } catch (const std::bad_alloc&) {
    // Every input is held to kMassimoFileLetto, so this is a machine short of memory.
    std::cerr << "genera_scenario: error: out of memory\n";
    return kEsitoUso;
  }
}

}  // namespace gs

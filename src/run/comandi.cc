// The command line: the built-in run without arguments, and the table of the commands for
// route authors, from which the dispatcher, the usage, each command's --help and the manual
// page's synopsis are made.
#include "run/comandi.h"

#include <algorithm>
#include <iostream>
#include <new>
#include <vector>

#include "common/file_system.h"
#include "run/esecuzione.h"
#include "run/uscita_controllata.h"

namespace gs {
namespace {

// Every line of the usage and of --help fits a terminal of this width.
constexpr std::size_t kColonne = 80;

constexpr std::string_view kUsoCompile[] = {"compile LINE_SOURCE TRAIN_SOURCE [options]"};
constexpr std::string_view kUsoCheck[] = {"check LINE_SOURCE TRAIN_SOURCE [options]"};
constexpr std::string_view kUsoNew[] = {"new DIR --line-name NAME --train-name NAME",
                                        "new DIR --built-in"};
constexpr std::string_view kUsoExplain[] = {"explain N | NAME | --all | --list [--markdown]"};
constexpr std::string_view kUsoInspect[] = {"inspect FILE... [--json] [--all]"};
constexpr std::string_view kUsoPlot[] = {"plot DIR [options]"};
constexpr std::string_view kUsoServe[] = {"serve LINE_SOURCE TRAIN_SOURCE [options]"};
constexpr std::string_view kUsoLsp[] = {"lsp [--stdio]"};

constexpr Opzione kOpzioniCompile[] = {
    {"-o", "DIR", Genere::kUscita,
     "write into DIR, made if missing (default: the current folder; compile only)"},
    {"--line-name", "NAME", Genere::kNomeDellaLinea,
     "the line's name (an empty one only when given so)"},
    {"--train-name", "NAME", Genere::kNomeDelTreno, "the train's name"},
    {"--no-geometry", "", Genere::kBandiera,
     "build no plan view and write no LINE_linea.dat (compile only)", Bandiera::kNoGeometry},
    {"-Werror", "", Genere::kBandiera, "count warnings as errors: exit 1, no file written",
     Bandiera::kWerror},
    {"--no-caret", "", Genere::kBandiera,
     "do not echo the source line and a caret under a diagnostic", Bandiera::kNoCaret},
    {"--diagnostics-format", "FORMAT", Genere::kFormato,
     "text (default) or json: one JSON document on standard output with every diagnostic, the "
     "names and the files written"},
    {"-q", "", Genere::kBandiera, "do not list the files written", Bandiera::kQuiet},
};
// check writes no file: neither DIR nor the plan view.
constexpr Opzione kOpzioniCheck[] = {per_nome(kOpzioniCompile, "--line-name"),
                                     per_nome(kOpzioniCompile, "--train-name"),
                                     per_nome(kOpzioniCompile, "-Werror"),
                                     per_nome(kOpzioniCompile, "--no-caret"),
                                     per_nome(kOpzioniCompile, "--diagnostics-format"),
                                     per_nome(kOpzioniCompile, "-q")};

constexpr Opzione kOpzioniNew[] = {
    {"--line-name", "NAME", Genere::kNomeDellaLinea, "the line's name"},
    {"--train-name", "NAME", Genere::kNomeDelTreno, "the train's name"},
    {"--built-in", "", Genere::kBandiera,
     "the built-in line and train under their own names, in place of both names",
     Bandiera::kBuiltIn},
};

constexpr Opzione kOpzioniExplain[] = {
    {"--all", "", Genere::kBandiera, "every entry", Bandiera::kAll},
    {"--list", "", Genere::kBandiera, "each entry's code and title on one line", Bandiera::kList},
    {"--markdown", "", Genere::kBandiera,
     "the entries as the authors' guide and the README list them", Bandiera::kMarkdown},
};

constexpr Opzione kOpzioniInspect[] = {
    {"--json", "", Genere::kBandiera, "one JSON document (UTF-8) instead of text", Bandiera::kJson},
    {"--all", "", Genere::kBandiera,
     "every table entry, every grid cell and every metre, not only those that hold something",
     Bandiera::kAll},
};

constexpr Opzione kOpzioniPlot[] = {
    {"--line-name", "NAME", Genere::kNomeDellaLinea, "the line of the scenario to draw"},
    {"--train-name", "NAME", Genere::kNomeDelTreno, "the train of the scenario to draw"},
    {"-o", "FILE.svg", Genere::kUscita, "where to write the sheet (default: DIR/LINE_TRAIN.svg)"},
};

constexpr Opzione kOpzioniServe[] = {
    {"--port", "N", Genere::kPorta,
     "the port (default 8237; 0 picks a free one, printed at start)"},
    {"--line-name", "NAME", Genere::kNomeDellaLinea,
     "the line's name (default: from LINE_linea.txt)"},
    {"--train-name", "NAME", Genere::kNomeDelTreno,
     "the train's name (default: from LINE_TRAIN-.txt)"},
    {"-o", "DIR", Genere::kUscita,
     "also write the compiled files into DIR after every compile without errors"},
    {"--open", "", Genere::kBandiera, "open the page in the system's browser", Bandiera::kOpen},
};

constexpr Opzione kOpzioniLsp[] = {
    {"--stdio", "", Genere::kBandiera,
     "speak on standard input and output, as the server always does (accepted for editors that "
     "pass it)",
     Bandiera::kStdio},
};

constexpr Comando kComandi[] = {
    {
        .nome = "compile",
        .uso = kUsoCompile,
        .riassunto = "compiles a line source and a train source into the three files the "
                     "simulator loads (LINE_linea.dat, LINE_TRAIN.sim, LINE_TRAIN.dat) in DIR "
                     "(default: the current folder). The sources are only read, never changed.",
        .descrizione =
            "compile reads the two sources, reports what it found, and writes the three files "
            "the simulator loads into DIR: LINE_linea.dat (plan-view geometry), LINE_TRAIN.sim "
            "(scenario table) and LINE_TRAIN.dat (track grid); one line per file written. check "
            "does the same compile, writes nothing, and prints a summary when no error was "
            "found. The sources are only read, never changed.\n"
            "The names LINE and TRAIN name the outputs and decide the race codes. They come from "
            "the file names LINE_linea.txt and LINE_TRAIN-.txt, or from the options; compile "
            "refuses to guess them.",
        .opzioni = kOpzioniCompile,
        .chiusura =
            "Diagnostics go to standard error as FILE:LINE:COL: error: MESSAGE [EN at P m]; the "
            "bracket holds the error number and the position in metres the run has recorded. "
            "Colour on a terminal unless NO_COLOR is set. Exit status: 0 no error, 1 a compile "
            "error, 2 a bad command line or a file that cannot be read or written.",
        .esegui = comando_compile,
    },
    {
        .nome = "check",
        .uso = kUsoCheck,
        .riassunto = "the same compile, writing no file; prints a summary when no error was found.",
        .aiuto_di = "compile",
        .opzioni = kOpzioniCheck,
        .esegui = comando_check,
    },
    {
        .nome = "new",
        .uso = kUsoNew,
        .riassunto = "writes a starting pair of sources: the authors' guide's small scenario, or "
                     "the built-in one.",
        .descrizione =
            "Writes a line source LINE_linea.txt and a train source LINE_TRAIN-.txt into DIR "
            "(made if missing): the small scenario of the authors' guide (docs/authoring.md) "
            "under the names given, or with --built-in the built-in line and train under their "
            "own names. Both compile with no error and no warning. An existing file is never "
            "replaced: new then writes nothing and exits with status 2.",
        .opzioni = kOpzioniNew,
        .posizionale = una_cartella,
        .esegui = comando_new,
    },
    {
        .nome = "explain",
        .uso = kUsoExplain,
        .riassunto = "says what an error number or a warning means, its causes and the fix.",
        .descrizione =
            "Prints what error N (16 or E16) or the warning NAME (unknown-record) means: what "
            "the compile does when it finds it, each cause with the form of its message, a "
            "source that gives it and the fix.",
        .opzioni = kOpzioniExplain,
        .esegui = comando_explain,
    },
    {
        .nome = "inspect",
        .uso = kUsoInspect,
        .riassunto = "decodes compiled files (_linea.dat, .sim, .dat) and prints what they hold; "
                     "--json for one JSON document, --all for every entry, cell and metre.",
        .descrizione =
            "Decodes compiled files and prints what they hold. The kind of each file comes from "
            "its name: LINE_linea.dat is the plan-view geometry, LINE_TRAIN.sim the scenario "
            "table, LINE_TRAIN.dat the track grid (its stations are named from the .sim given "
            "with it or lying beside it).",
        .opzioni = kOpzioniInspect,
        .chiusura = "Exit status: 0, 1 when a file does not fit its layout, 2 for a bad command "
                    "line or a file that cannot be read.",
        .posizionale = file_compilato,
        .esegui = comando_inspect,
    },
    {
        .nome = "plot",
        .uso = kUsoPlot,
        .riassunto = "draws the route sheet of the compiled scenario in DIR as one SVG file; "
                     "without both names it finds the scenario in DIR (the .sim its own table "
                     "names, narrowed by the name given) and lists the choices when there are "
                     "several.",
        .descrizione =
            "Draws the route sheet of the scenario compiled into DIR as one SVG file: the plan "
            "view, and along the line the chainage, stations, signals, slowdowns, boards, code "
            "points, elevation, speed limit, adhesion and mountain sides.\n"
            "Without both names, plot finds the scenario in DIR by the names its own table "
            "holds, and lists the choices when there are several.",
        .opzioni = kOpzioniPlot,
        .posizionale = una_cartella,
        .esegui = comando_plot,
    },
    {
        .nome = "serve",
        .uso = kUsoServe,
        .riassunto = "shows the route sheet and diagnostics in the browser, on this machine only, "
                     "compiled again every time a source is saved.",
        .descrizione =
            "Compiles the two sources in memory and serves their route sheet on "
            "http://127.0.0.1:PORT/, for this machine only. Every time a source is saved the "
            "sheet is compiled again and every open page shows the new sheet and diagnostics at "
            "once, keeping its zoom. The sources are only read, never changed. Each compile is "
            "also one line on standard output, with its first error. Ctrl-C stops it within a "
            "second; a second Ctrl-C at once.",
        .opzioni = kOpzioniServe,
        .chiusura = "Exit status: 0 when stopped, 2 a bad command line, a source that cannot be "
                    "read at start, or a port that cannot be had.",
        .esegui = comando_serve,
        .server = true,
    },
    {
        .nome = "lsp",
        .uso = kUsoLsp,
        .riassunto = "a language server for editors: checks the sources as they are typed and "
                     "shows each diagnostic at its field. An editor starts it; it writes no file.",
        .descrizione =
            "A language server for the line and train sources, which an editor starts: it speaks "
            "the Language Server Protocol on standard input and output. As the sources are typed "
            "it compiles them in memory, a train source LINE_TRAIN-.txt with the line source "
            "LINE_linea.txt beside it (open in the editor or on disk), and shows every "
            "diagnostic of check at the field it points at. It never writes a file.",
        .opzioni = kOpzioniLsp,
        .chiusura = "Exit status: 0 when the editor asked it to shut down before it exits, 1 "
                    "otherwise, 2 a bad command line.",
        .esegui = comando_lsp,
        .server = true,
    },
};

// The program run without a command, and with a command's help; the paragraph after the
// commands.
constexpr std::string_view kSenzaComando =
    "write and compile the built-in scenario in the program's folder";
constexpr std::string_view kFormaAiuto = "COMMAND --help | --help | --version";
constexpr std::string_view kChiusuraProgramma =
    "Diagnostics are printed as FILE:LINE:COL: error: MESSAGE [EN at P m], as compilers print "
    "them. Exit status: 0 no error, 1 a compile error, 2 a bad command line or a file that cannot "
    "be read or written.";

// `testo` broken at blanks into lines of at most kColonne columns: the first after `primo`, the
// others after as many blanks.
std::string a_capo(std::string_view testo, std::string_view primo = "") {
  std::string s, riga(primo);
  const std::string margine(primo.size(), ' ');
  bool vuota = true;
  for (std::size_t i = 0; i <= testo.size();) {
    const std::size_t fine = std::min(testo.find(' ', i), testo.size());
    const std::string_view parola = testo.substr(i, fine - i);
    if (!vuota && riga.size() + 1 + parola.size() > kColonne) {
      s += riga + "\n";
      riga = margine;
      vuota = true;
    }
    if (!vuota) riga += ' ';
    riga += parola;
    vuota = false;
    i = fine + 1;
  }
  return s + riga + "\n";
}

// Paragraphs, one line of `testo` each, broken into lines with a blank line between them.
std::string paragrafi(std::string_view testo) {
  std::string s;
  for (std::size_t i = 0; i < testo.size();) {
    const std::size_t fine = std::min(testo.find('\n', i), testo.size());
    if (!s.empty()) s += '\n';
    s += a_capo(testo.substr(i, fine - i));
    i = fine + 1;
  }
  return s;
}

// "-o DIR", "--open", "--diagnostics-format=FORMAT".
std::string etichetta(const Opzione& o) {
  std::string s(o.nome);
  if (o.valore.empty()) return s;
  s += o.genere == Genere::kFormato ? '=' : ' ';
  return s += o.valore;
}

std::string elenco_opzioni(std::span<const Opzione> opzioni) {
  std::size_t larga = 0;
  for (const Opzione& o : opzioni) larga = std::max(larga, etichetta(o).size());
  std::string s = "options:\n";
  for (const Opzione& o : opzioni) {
    std::string primo = "  ";
    primo += etichetta(o);
    primo.resize(2 + larga + 2, ' ');
    s += a_capo(o.aiuto, primo);
  }
  return s;
}

// The manual's markup: a hyphen as a minus, as options are typed.
std::string roff(std::string_view testo) {
  std::string s;
  for (const char c : testo) s += c == '-' ? std::string("\\-") : std::string(1, c);
  return s;
}

bool metavariabile(std::string_view parola) {
  return !parola.empty() && parola[0] >= 'A' && parola[0] <= 'Z';
}

// An option in brackets, one request line or two: ".RB [ \-o" and ".IR DIR ]".
std::string opzione_roff(std::string_view nome, std::string_view valore, bool uguale) {
  std::string s = ".RB [ ";
  s += roff(nome);
  if (valore.empty()) return s += " ]\n";
  s += uguale ? "=\\fI" : "\n.IR ";
  s += valore;
  return s += uguale ? "\\fR ]\n" : " ]\n";
}

std::vector<std::string_view> parole(std::string_view testo) {
  std::vector<std::string_view> v;
  for (std::size_t i = 0; i < testo.size();) {
    const std::size_t fine = std::min(testo.find(' ', i), testo.size());
    if (fine > i) v.push_back(testo.substr(i, fine - i));
    i = fine + 1;
  }
  return v;
}

// Words up to the next bracket, with alternatives: one line of text in the words' fonts,
// "\fIN\fR | \fINAME\fR | \fB\-\-all\fR".
std::string alternative_roff(std::span<const std::string_view> p) {
  std::string s;
  for (const std::string_view w : p) {
    if (!s.empty()) s += ' ';
    if (w == "|") {
      s += w;
      continue;
    }
    s += metavariabile(w) ? "\\fI" : "\\fB";
    s += roff(w);
    s += "\\fR";
  }
  return s + "\n";
}

// One form of a command as the manual's SYNOPSIS writes it: the command in bold, what the user
// fills in in italics, options in bold within brackets.
std::string forma_roff(std::string_view forma, std::span<const Opzione> opzioni) {
  const std::vector<std::string_view> p = parole(forma);
  std::string s = ".B genera_scenario";
  std::size_t i = 0;
  for (; i < p.size() && !metavariabile(p[i]) && p[i][0] != '-' && p[i][0] != '['; ++i)
    (s += ' ') += p[i];
  s += '\n';
  while (i < p.size()) {
    if (p[i] == "[options]") {
      for (const Opzione& o : opzioni)
        s += opzione_roff(o.nome, o.valore, o.genere == Genere::kFormato);
      ++i;
    } else if (p[i][0] == '[') {
      std::string_view nome = p[i].substr(1), valore;
      if (!nome.ends_with(']')) valore = p[++i];
      if (valore.ends_with(']')) valore.remove_suffix(1);
      if (nome.ends_with(']')) nome.remove_suffix(1);
      const std::size_t uguale = nome.find('=');
      if (uguale != std::string_view::npos) {
        valore = nome.substr(uguale + 1);
        nome = nome.substr(0, uguale);
      }
      s += opzione_roff(nome, valore, uguale != std::string_view::npos);
      ++i;
    } else {
      std::size_t fine = i;
      bool scelta = false;
      for (; fine < p.size() && p[fine][0] != '['; ++fine) scelta = scelta || p[fine] == "|";
      if (scelta) {
        s += alternative_roff(std::span(p).subspan(i, fine - i));
        i = fine;
        continue;
      }
      for (; i < fine; ++i) {
        if (!metavariabile(p[i])) {
          (s += ".B ") += roff(p[i]);
          s += '\n';
        } else if (p[i].ends_with("...")) {
          (s += ".IR ") += p[i].substr(0, p[i].size() - 3);
          s += " ...\\&\n";  // not the end of a sentence
        } else {
          // Names to fill in side by side, in one request.
          (s += ".I ") += p[i];
          while (i + 1 < fine && metavariabile(p[i + 1]) && !p[i + 1].ends_with("..."))
            (s += ' ') += p[++i];
          s += '\n';
        }
      }
    }
  }
  return s;
}

}  // namespace

std::span<const Comando> comandi() { return kComandi; }

const Comando* comando(std::string_view nome) {
  for (const Comando& c : kComandi) {
    if (c.nome == nome) return &c;
  }
  return nullptr;
}

std::string uso_programma() {
  std::string primo = "usage: genera_scenario";
  primo.resize(39, ' ');
  std::string s = a_capo(kSenzaComando, primo);
  for (const Comando& c : kComandi) {
    for (const std::string_view forma : c.uso) ((s += "       genera_scenario ") += forma) += '\n';
  }
  ((s += "       genera_scenario ") += kFormaAiuto) += "\n\n";
  std::size_t larga = 0;
  for (const Comando& c : kComandi) larga = std::max(larga, c.nome.size());
  for (const Comando& c : kComandi) {
    std::string nome(c.nome);
    nome.resize(larga + 2, ' ');
    s += a_capo(c.riassunto, nome);
  }
  return (s += '\n') += a_capo(kChiusuraProgramma);
}

std::string aiuto(const Comando& c) {
  const Comando& a = c.aiuto_di.empty() ? c : *comando(c.aiuto_di);
  std::string s;
  for (const Comando& d : kComandi) {
    if (&d != &a && d.aiuto_di != a.nome) continue;
    for (const std::string_view forma : d.uso) {
      s += s.empty() ? "usage: genera_scenario " : "       genera_scenario ";
      (s += forma) += '\n';
    }
  }
  (s += '\n') += paragrafi(a.descrizione);
  if (!a.opzioni.empty()) (s += '\n') += elenco_opzioni(a.opzioni);
  if (!a.chiusura.empty()) (s += '\n') += paragrafi(a.chiusura);
  return s;
}

std::string sinossi_man() {
  std::string s = ".B genera_scenario\n";
  for (const Comando& c : kComandi) {
    for (const std::string_view forma : c.uso) (s += ".br\n") += forma_roff(forma, c.opzioni);
  }
  return (s += ".br\n") += forma_roff(kFormaAiuto, {});
}

namespace {

// `server` is set when the command that ran is a server (Comando::server).
int esegui_comando(const std::vector<std::string>& argomenti, bool& server) {
  try {
    const std::string& nome = argomenti[0];
    if (nome == "--help" || nome == "-h" || nome == "help") {
      std::cout << uso_programma();
      return 0;
    }
    if (nome == "--version") {
      std::cout << "genera_scenario " << GS_VERSION << "\n";
      return 0;
    }
    const Comando* c = comando(nome);
    if (c == nullptr) return uso_errato("unknown command " + nome);
    const std::optional<Argomenti> letti = leggi_argomenti(
        c->nome, {argomenti.begin() + 1, argomenti.end()}, c->opzioni, c->posizionale);
    if (!letti) {
      std::cout << aiuto(*c);
      return 0;
    }
    server = c->server;
    return c->esegui(*letti);
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

}  // namespace

int principale(int argc, char** argv) {
  const std::vector<std::string> argomenti(argv + std::min(argc, 1), argv + argc);
  if (argomenti.empty()) return esegui_scenario();
  UscitaControllata uscita;
  bool server = false;
  const int esito = esegui_comando(argomenti, server);
  return server ? esito : uscita.concludi(esito);
}

}  // namespace gs

// The command line: the built-in run without arguments, and the commands for route authors.
#include <charconv>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "compiler/compilatore.h"
#include "output/uscita.h"
#include "piattaforma/piattaforma.h"
#include "run/esecuzione.h"
#include "run/opzioni_compila.h"
#include "run/rapporto.h"
#include "run/riga_comando.h"
#include "run/spiegazioni.h"
#include "run/strumenti.h"
#include "serve/serve.h"

namespace gs {
namespace {

constexpr std::string_view kUso =
    "usage: genera_scenario                 write and compile the built-in scenario in the\n"
    "                                       program's folder\n"
    "       genera_scenario compile LINE_SOURCE TRAIN_SOURCE [options]\n"
    "       genera_scenario check LINE_SOURCE TRAIN_SOURCE [options]\n"
    "       genera_scenario new DIR --line-name NAME --train-name NAME | new DIR --built-in\n"
    "       genera_scenario explain N | NAME | --all\n"
    "       genera_scenario inspect FILE... [--json] [--all]\n"
    "       genera_scenario plot DIR [--line-name NAME] [--train-name NAME] [-o FILE.svg]\n"
    "       genera_scenario serve LINE_SOURCE TRAIN_SOURCE [--port N] [-o DIR] [--open]\n"
    "       genera_scenario COMMAND --help | --help | --version\n"
    "\n"
    "compile  compiles a line source and a train source into the three files the simulator\n"
    "         loads (NAME_linea.dat, NAME_TRAIN.sim, NAME_TRAIN.dat) in DIR (default: the\n"
    "         current folder). The sources are only read, never changed.\n"
    "check    the same compile, writing no file; prints a summary when no error was found.\n"
    "new      writes a starting pair of sources: the authors' guide's small scenario, or the\n"
    "         built-in one.\n"
    "explain  says what an error number or a warning means, its causes and the fix.\n"
    "inspect  decodes compiled files (_linea.dat, .sim, .dat) and prints what they hold;\n"
    "         --json for one JSON document, --all for every entry, cell and metre.\n"
    "plot     draws the route sheet of the compiled scenario in DIR as one SVG file; without\n"
    "         both names it finds the scenario in DIR (the .sim its own table names, narrowed\n"
    "         by the name given) and lists the choices when there are several.\n"
    "serve    shows the route sheet and diagnostics in the browser, on this machine only,\n"
    "         compiled again every time a source is saved.\n"
    "\n"
    "Diagnostics are printed as FILE:LINE:COL: error: MESSAGE [EN at P m], as compilers print\n"
    "them. Exit status: 0 no error, 1 a compile error, 2 a bad command line or a file that\n"
    "cannot be read or written.\n";

constexpr std::string_view kUsoCompila =
    "usage: genera_scenario compile LINE_SOURCE TRAIN_SOURCE [options]\n"
    "       genera_scenario check LINE_SOURCE TRAIN_SOURCE [options]\n"
    "\n"
    "compile reads the two sources, reports what it found, and writes the three files the\n"
    "simulator loads into DIR: LINE_linea.dat (plan-view geometry), LINE_TRAIN.sim (scenario\n"
    "table) and LINE_TRAIN.dat (track grid); one line per file written. check does the same\n"
    "compile, writes nothing, and prints a summary when no error was found. The sources are\n"
    "only read, never changed.\n"
    "\n"
    "The names LINE and TRAIN name the outputs and decide the race codes. They come from the\n"
    "file names LINE_linea.txt and LINE_TRAIN-.txt, or from the options; compile refuses to\n"
    "guess them.\n"
    "\n"
    "options:\n"
    "  -o DIR                       write into DIR, made if missing (default: the current\n"
    "                               folder; compile only)\n"
    "  --line-name NAME             the line's name (an empty one only when given so)\n"
    "  --train-name NAME            the train's name\n"
    "  --no-geometry                build no plan view and write no LINE_linea.dat (compile only)\n"
    "  -Werror                      count warnings as errors: exit 1, no file written\n"
    "  --no-caret                   do not echo the source line and a caret under a diagnostic\n"
    "  --diagnostics-format=FORMAT  text (default) or json: one JSON document on standard\n"
    "                               output with every diagnostic, the names and the files written\n"
    "  -q                           do not list the files written\n"
    "\n"
    "Diagnostics go to standard error as FILE:LINE:COL: error: MESSAGE [EN at P m]; the\n"
    "bracket holds the error number and the position in metres the run has recorded. Colour\n"
    "on a terminal unless NO_COLOR is set. Exit status: 0 no error, 1 a compile error, 2 a bad\n"
    "command line or a file that cannot be read or written.\n";

constexpr std::string_view kUsoServe =
    "usage: genera_scenario serve LINE_SOURCE TRAIN_SOURCE [options]\n"
    "\n"
    "Compiles the two sources in memory and serves their route sheet on\n"
    "http://127.0.0.1:PORT/, for this machine only. Every time a source is saved the sheet\n"
    "is compiled again and every open page shows the new sheet and diagnostics at once,\n"
    "keeping its zoom. The sources are only read, never changed. Each compile is also one\n"
    "line on standard output, with its first error. Ctrl-C stops it within a second; a\n"
    "second Ctrl-C at once.\n"
    "\n"
    "options:\n"
    "  --port N             the port (default 8237; 0 picks a free one, printed at start)\n"
    "  --line-name NAME     the line's name (default: from LINE_linea.txt)\n"
    "  --train-name NAME    the train's name (default: from LINE_TRAIN-.txt)\n"
    "  -o DIR               also write the compiled files into DIR after every compile\n"
    "                       without errors\n"
    "  --open               open the page in the system's browser\n"
    "\n"
    "Exit status: 0 when stopped, 2 a bad command line, a source that cannot be read at\n"
    "start, or a port that cannot be had.\n";

// "LINE_linea.txt" and "LINE_TRAIN-.txt" give the names; a name that comes out empty counts as
// none. Returns the reason when a name needed for the outputs can be found nowhere.
std::optional<std::string> nomi_dai_file(Opzioni& o) {
  const std::string file_linea = piattaforma::percorso(o.sorgenti[0]).filename().string();
  const std::string file_treno = piattaforma::percorso(o.sorgenti[1]).filename().string();
  constexpr std::string_view kLinea = "_linea.txt", kTreno = "-.txt";
  // The train file starts with the line's name as the line file writes it, whatever the
  // encoding of the file names; a line name given as an option is matched in UTF-8.
  std::optional<std::string> radice;
  if (!o.nome_linea && file_linea.ends_with(kLinea) && file_linea.size() > kLinea.size()) {
    radice = file_linea.substr(0, file_linea.size() - kLinea.size());
    o.nome_linea = in_1252(*radice);
  }
  if (!o.nome_linea) {
    if (!o.scrivi) return std::nullopt;
    return "cannot tell the line name from the line source's file name " + file_linea +
           " (it is not LINE_linea.txt): give it with --line-name NAME";
  }
  const std::string prefisso = radice.value_or(utf8_da_1252(*o.nome_linea)) + "_";
  if (!o.nome_treno && file_treno.starts_with(prefisso) && file_treno.ends_with(kTreno) &&
      file_treno.size() > prefisso.size() + kTreno.size()) {
    o.nome_treno = in_1252(
        file_treno.substr(prefisso.size(), file_treno.size() - prefisso.size() - kTreno.size()));
  }
  if (!o.nome_treno && o.scrivi)
    return "cannot tell the train name from the train source's file name " + file_treno +
           " (it is not " + prefisso + "TRAIN-.txt): give it with --train-name NAME";
  return std::nullopt;
}

bool stesso_file(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  if (std::filesystem::equivalent(a, b, ec)) return true;
  return std::filesystem::weakly_canonical(a, ec) == std::filesystem::weakly_canonical(b, ec);
}

// The reason the outputs cannot be written where the names put them, if any.
std::optional<std::string> uscite_non_valide(const Opzioni& o, const NomiFile& nomi) {
  std::vector<std::filesystem::path> uscite = {nomi.tabella, nomi.griglia};
  if (o.geometria) uscite.insert(uscite.begin(), nomi.geometria);
  for (std::size_t a = 0; a < uscite.size(); ++a) {
    for (std::size_t b = a + 1; b < uscite.size(); ++b) {
      if (uscite[a] == uscite[b])
        return "these names would write two outputs to one file, " + uscite[a].string();
    }
    for (const std::string& sorgente : o.sorgenti) {
      if (stesso_file(uscite[a], piattaforma::percorso(sorgente)))
        return "the output " + uscite[a].string() + " would replace the source " + sorgente;
    }
  }
  std::error_code ec;
  if (!o.cartella.empty() && std::filesystem::exists(o.cartella, ec) &&
      !std::filesystem::is_directory(o.cartella, ec))
    return "the output folder " + o.cartella.string() + " is a file, not a folder";
  return std::nullopt;
}

std::string riepilogo(const Compilazione& c) {
  const Conteggio n = conta(c);
  return std::to_string(n.stazioni) + " stations, " + std::to_string(n.segnali) + " signals, " +
         std::to_string(n.rallentamenti) + " slowdowns, " + std::to_string(n.indicatori) +
         " speed boards, " + std::to_string(n.cartelli) + " indication boards, " +
         std::to_string(n.celle) + " grid cells\n";
}

int compila_sorgenti(Opzioni& o) {
  if (const auto motivo = prepara_nomi(o)) return uso_errato(*motivo);
  std::string testi[2];
  for (int i = 0; i < 2; ++i)
    testi[i] = leggi_file(piattaforma::percorso(o.sorgenti[static_cast<std::size_t>(i)]));

  Compilazione c;
  const int32_t fermata = compila_testi(c, o, std::move(testi[0]), std::move(testi[1]));
  const bool avvisi_fatali = o.rapporto.werror && c.registro.ha_avvisi();
  const bool errori = fermata != 0 || c.registro.ha_errori() || avvisi_fatali;
  int esito = errori ? kEsitoErrore : 0;
  std::vector<FileScritto> scritti;
  std::string guasto;
  // A compile error still writes what the run compiled, as the simulator's own run does;
  // -Werror stops before writing, and so does an error that left no grid.
  if (o.scrivi && c.celle.dimensionata() && fermata == 0 && !avvisi_fatali) {
    try {
      scritti = scrivi_in_cartella(o, c);
    } catch (const ErroreFile& e) {
      guasto = e.what();
      esito = kEsitoUso;
    }
  }

  if (o.json) {
    std::cout << rapporto_json(c.registro, c.nome_linea, c.nome_treno, scritti, o.rapporto.werror,
                               esito);
  } else {
    riporta(c.registro, o.rapporto, std::cerr);
    if (!o.silenzioso)
      for (const FileScritto& f : scritti) std::cout << riga_scritto(f) << "\n";
    if (!o.scrivi && !errori) std::cout << riepilogo(c);
  }
  if (!guasto.empty()) std::cerr << "genera_scenario: error: " << guasto << "\n";
  return esito;
}

int comando_compila(const std::vector<std::string>& argomenti, bool scrivi) {
  Opzioni o;
  o.scrivi = scrivi;
  o.rapporto.colore = colore_per(2);
  for (std::size_t i = 0; i < argomenti.size(); ++i) {
    const std::string& a = argomenti[i];
    const bool ha_valore = i + 1 < argomenti.size();
    if (a == "--help" || a == "-h") {
      std::cout << kUsoCompila;
      return 0;
    }
    if (a == "--line-name" || a == "--train-name" || (scrivi && a == "-o")) {
      if (!ha_valore) return uso_errato(a + " needs a value");
      const std::string& v = argomenti[++i];
      if (a == "-o")
        o.cartella = piattaforma::percorso(v);
      else if (a == "--line-name")
        o.nome_linea = in_1252(v);
      else
        o.nome_treno = in_1252(v);
    } else if (scrivi && a == "--no-geometry") {
      o.geometria = false;
    } else if (a == "-q") {
      o.silenzioso = true;
    } else if (a == "--no-caret") {
      o.rapporto.caret = false;
    } else if (a == "-Werror") {
      o.rapporto.werror = true;
    } else if (a == "--diagnostics-format=json" || a == "--diagnostics-format=text") {
      o.json = a.ends_with("json");
    } else if (a.size() > 1 && a[0] == '-') {
      return uso_errato("unknown option " + a);
    } else {
      o.sorgenti.push_back(a);
    }
  }
  if (o.sorgenti.size() != 2) return uso_errato("expected a line source and a train source");
  return compila_sorgenti(o);
}

// serve, once its command line is read: the names checked, then the sources compiled and
// written as compile does.
int servi_sorgenti(Opzioni& o, Servizio& s) {
  if (const auto motivo = prepara_nomi(o)) return uso_errato(*motivo);
  s.sorgenti = o.sorgenti;
  s.compila = [&o](Compilazione& c, std::string linea, std::string treno) {
    return compila_testi(c, o, std::move(linea), std::move(treno));
  };
  if (o.scrivi) s.scrivi = [&o](const Compilazione& c) { return scrivi_in_cartella(o, c); };
  s.riga_diagnostica = [](const Diagnostica& d) { return riga_diagnostica(d); };
  s.riga_scritto = riga_scritto;
  if (const auto motivo = servi(s)) {
    std::cerr << "genera_scenario: error: " << *motivo << "\n";
    return kEsitoUso;
  }
  return 0;
}

}  // namespace

int comando_serve(const std::vector<std::string>& argomenti) {
  Opzioni o;
  o.scrivi = false;
  Servizio s;
  for (std::size_t i = 0; i < argomenti.size(); ++i) {
    const std::string& a = argomenti[i];
    const bool ha_valore = i + 1 < argomenti.size();
    if (a == "--help" || a == "-h") {
      std::cout << kUsoServe;
      return 0;
    }
    if (a == "--line-name" || a == "--train-name" || a == "-o" || a == "--port") {
      if (!ha_valore) return uso_errato(a + " needs a value");
      const std::string& v = argomenti[++i];
      if (a == "-o") {
        o.cartella = piattaforma::percorso(v);
        o.scrivi = true;
      } else if (a == "--port") {
        unsigned porta = 0;
        const auto [fine, ec] = std::from_chars(v.data(), v.data() + v.size(), porta);
        if (ec != std::errc() || fine != v.data() + v.size() || porta > 65535)
          return uso_errato("--port needs a port number from 0 to 65535, not " + v);
        s.porta = static_cast<uint16_t>(porta);
      } else if (a == "--line-name") {
        o.nome_linea = in_1252(v);
      } else {
        o.nome_treno = in_1252(v);
      }
    } else if (a == "--open") {
      s.apri = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return uso_errato("unknown option " + a);
    } else {
      o.sorgenti.push_back(a);
    }
  }
  if (o.sorgenti.size() != 2) return uso_errato("expected a line source and a train source");
  return servi_sorgenti(o, s);
}

std::optional<std::string> prepara_nomi(Opzioni& o) {
  for (const auto& [nome, quale] :
       {std::pair{&o.nome_linea, "the line name"}, std::pair{&o.nome_treno, "the train name"}}) {
    if (!*nome) continue;
    if (const auto motivo = nome_non_valido(**nome, quale)) return motivo;
  }
  if (const auto motivo = nomi_dai_file(o)) return motivo;
  for (const auto& [nome, quale] :
       {std::pair{&o.nome_linea, "the line name"}, std::pair{&o.nome_treno, "the train name"}}) {
    if (!*nome) *nome = std::string();
    if (const auto motivo = nome_non_valido(**nome, quale)) return motivo;
  }
  if (const auto motivo = nomi_riservati(*o.nome_linea, *o.nome_treno)) return motivo;
  if (o.scrivi) return uscite_non_valide(o, nomi_file(o.cartella, *o.nome_linea, *o.nome_treno));
  return std::nullopt;
}

int32_t compila_testi(Compilazione& c, const Opzioni& o, std::string linea, std::string treno) {
  c.nome_linea = o.nome_linea.value_or("");
  c.nome_treno = o.nome_treno.value_or("");
  SorgentiInMemoria sorgenti(std::move(linea), std::move(treno), o.sorgenti[0], o.sorgenti[1]);
  return memorizza_percorso(c, o.geometria ? 1 : 0, sorgenti, nullptr);
}

std::vector<FileScritto> scrivi_in_cartella(const Opzioni& o, const Compilazione& c) {
  std::error_code ec;
  if (!o.cartella.empty() && !std::filesystem::is_directory(o.cartella, ec) &&
      !std::filesystem::create_directories(o.cartella, ec))
    throw ErroreFile("cannot make the output folder " + o.cartella.string() + ": " + ec.message());
  // The three files of one run, never mixed with another's writing the same scenario.
  const BloccoScrittura blocco(o.cartella.empty() ? "." : o.cartella, annuncia_attesa);
  // Checked again at every write, by what the names lead to now: serve writes for hours, and
  // an output folder that is a link may have been turned to the sources' folder since.
  const NomiFile nomi = nomi_file(o.cartella, c.nome_linea, c.nome_treno);
  if (const auto motivo = uscite_non_valide(o, nomi)) throw ErroreFile(*motivo);
  return scrivi_compilati(c, nomi);
}

int uso_errato(const std::string& motivo) {
  std::cerr << "genera_scenario: error: " << motivo << "\n"
            << "try 'genera_scenario --help'\n";
  return kEsitoUso;
}

void annuncia_attesa(const std::filesystem::path& cartella) {
  std::cerr << "genera_scenario: note: waiting for another run to finish writing into "
            << cartella.string() << "\n"
            << std::flush;
}

std::string in_1252(const std::string& testo) {
  std::string convertito;
  if (utf8_a_1252(testo, convertito)) return convertito;
  for (std::size_t i = 0; i < testo.size();) {
    const auto car = leggi_utf8(testo, i);
    if (!car) return testo;  // not UTF-8: Windows-1252 bytes already
    i += car->lunghezza;
  }
  throw ErroreUso("the name \"" + testo +
                  "\" holds a character that Windows-1252 has not, so the "
                  "simulator could not show it");
}

int principale(int argc, char** argv) {
  const std::vector<std::string> argomenti(argv + std::min(argc, 1), argv + argc);
  try {
    if (argomenti.empty()) return esegui_scenario();
    const std::string& comando = argomenti[0];
    const std::vector<std::string> resto(argomenti.begin() + 1, argomenti.end());
    if (comando == "--help" || comando == "-h" || comando == "help") {
      std::cout << kUso;
      return 0;
    }
    if (comando == "--version") {
      std::cout << "genera_scenario " << GS_VERSION << "\n";
      return 0;
    }
    if (comando == "compile") return comando_compila(resto, true);
    if (comando == "check") return comando_compila(resto, false);
    if (comando == "inspect") return comando_inspect(resto);
    if (comando == "plot") return comando_plot(resto);
    if (comando == "new") return comando_new(resto);
    if (comando == "explain") return comando_explain(resto);
    if (comando == "serve") return comando_serve(resto);
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

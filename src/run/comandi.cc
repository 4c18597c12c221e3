// The command line: the built-in run without arguments, and the commands for route authors.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "grid/griglia.h"
#include "run/esecuzione.h"
#include "run/riga_comando.h"
#include "run/rapporto.h"
#include "run/strumenti.h"

namespace gs {
namespace {


constexpr std::string_view kUso =
    "usage: genera_scenario                 write and compile the built-in scenario in the\n"
    "                                       program's folder\n"
    "       genera_scenario compile LINE_SOURCE TRAIN_SOURCE [-o DIR] [--line-name NAME]\n"
    "                               [--train-name NAME] [--no-geometry]\n"
    "       genera_scenario check LINE_SOURCE TRAIN_SOURCE [--line-name NAME] [--train-name NAME]\n"
    "       genera_scenario inspect FILE... [--json] [--all]\n"
    "       genera_scenario plot DIR [--line-name NAME] [--train-name NAME] [-o FILE.svg]\n"
    "       genera_scenario --help | --version\n"
    "\n"
    "compile  compiles a line source and a train source into the three files the simulator\n"
    "         loads (NAME_linea.dat, NAME_TRAIN.sim, NAME_TRAIN.dat) in DIR (default: the\n"
    "         current folder). The sources are only read, never changed.\n"
    "check    the same compile, writing no file; prints a summary when nothing was found.\n"
    "inspect  decodes compiled files (_linea.dat, .sim, .dat) and prints what they hold;\n"
    "         --json for one JSON document, --all for every entry, cell and metre.\n"
    "plot     draws the route sheet of the compiled scenario in DIR as one SVG file.\n"
    "\n"
    "The names default to what the file names give (LINE_linea.txt, LINE_TRAIN-.txt), else to\n"
    "the built-in names; they name the outputs and decide the race codes.\n"
    "Errors are printed as FILE:LINE: error N at P m: MESSAGE. Exit status: 0 no error,\n"
    "1 a compile error, 2 a bad command line or a file that cannot be read or written.\n";

struct Opzioni {
  bool scrivi = true;
  std::vector<std::string> sorgenti;
  std::filesystem::path cartella = ".";
  std::optional<std::string> nome_linea;
  std::optional<std::string> nome_treno;
  bool geometria = true;
};

bool termina_con(const std::string& s, std::string_view fine) {
  return s.size() >= fine.size() && s.compare(s.size() - fine.size(), fine.size(), fine) == 0;
}

// "<line>_linea.txt" and "<line>_<train>-.txt" give the names; otherwise the built-in ones.
void nomi_predefiniti(Opzioni& o) {
  const std::string file_linea = std::filesystem::path(o.sorgenti[0]).filename().string();
  const std::string file_treno = std::filesystem::path(o.sorgenti[1]).filename().string();
  if (!o.nome_linea) {
    o.nome_linea = termina_con(file_linea, "_linea.txt")
                       ? in_1252(file_linea.substr(0, file_linea.size() - 10))
                       : std::string(kNomeLinea);
  }
  if (!o.nome_treno) {
    const std::string prefisso = utf8_da_1252(*o.nome_linea) + "_";
    if (file_treno.size() > prefisso.size() + 5 && file_treno.starts_with(prefisso) &&
        termina_con(file_treno, "-.txt")) {
      o.nome_treno = in_1252(
          file_treno.substr(prefisso.size(), file_treno.size() - prefisso.size() - 5));
    } else {
      o.nome_treno = std::string(kNomeTreno);
    }
  }
}

std::optional<std::string> nome_non_valido(const std::string& nome, const char* quale) {
  if (nome.find('/') != std::string::npos || nome.find('\0') != std::string::npos)
    return std::string(quale) + " must not contain '/' or NUL";
  if (nome.size() > kTestoMassimo) return std::string(quale) + " is longer than 65535 bytes";
  return std::nullopt;
}

bool stesso_file(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  if (std::filesystem::equivalent(a, b, ec)) return true;
  return std::filesystem::weakly_canonical(a, ec) == std::filesystem::weakly_canonical(b, ec);
}

int compila_sorgenti(Opzioni& o) {
  nomi_predefiniti(o);
  for (const auto& [nome, quale] : {std::pair{*o.nome_linea, "the line name"},
                                    std::pair{*o.nome_treno, "the train name"}}) {
    if (const auto motivo = nome_non_valido(nome, quale)) return uso_errato(*motivo);
  }
  const NomiFile nomi = nomi_file(o.cartella, *o.nome_linea, *o.nome_treno);
  if (o.scrivi) {
    std::vector<std::filesystem::path> uscite = {nomi.tabella, nomi.griglia};
    if (o.geometria) uscite.insert(uscite.begin(), nomi.geometria);
    for (std::size_t a = 0; a < uscite.size(); ++a) {
      for (std::size_t b = a + 1; b < uscite.size(); ++b) {
        if (uscite[a] == uscite[b])
          return uso_errato("these names would write two outputs to one file, " +
                            uscite[a].string());
      }
      for (const std::string& sorgente : o.sorgenti) {
        if (stesso_file(uscite[a], sorgente))
          return uso_errato("the output " + uscite[a].string() + " would replace the source " +
                            sorgente);
      }
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(o.cartella, ec))
      return uso_errato("the output folder " + o.cartella.string() + " is not a folder");
  }

  std::string testi[2];
  for (int i = 0; i < 2; ++i) {
    try {
      testi[i] = leggi_file(o.sorgenti[static_cast<std::size_t>(i)]);
    } catch (const ErroreFile& e) {
      std::cerr << "genera_scenario: " << e.what() << "\n";
      return kEsitoUso;
    }
  }

  Compilazione c;
  c.nome_linea = *o.nome_linea;
  c.nome_treno = *o.nome_treno;
  SorgentiInMemoria sorgenti(std::move(testi[0]), std::move(testi[1]), o.sorgenti[0], o.sorgenti[1]);
  int32_t fermata = 0;
  try {
    fermata = memorizza_percorso(c, o.geometria ? 1 : 0, sorgenti, o.scrivi ? &nomi : nullptr);
  } catch (const ErroreFile& e) {
    riporta(c.registro, std::cerr);
    std::cerr << "genera_scenario: " << e.what() << "\n";
    return kEsitoUso;
  }
  riporta(c.registro, std::cerr);
  if (fermata == kMarcatori || fermata == kCodiciGara) {
    Diagnostica d;
    d.numero = fermata;
    d.dettaglio = std::string(messaggio(fermata)) + ": a point in cell 1 (0 m) holds them";
    std::cerr << formatta(d) << "\n";
  }
  if (fermata != 0 || !c.registro.elenco().empty()) return kEsitoErrore;

  if (!o.scrivi) {
    int segnali = 0, rallentamenti = 0, indicatori = 0, cartelli = 0;
    for (const Cella& cella : c.celle.tutte()) {
      segnali += cella.tipo == kSegnale;
      rallentamenti += cella.tipo == kInizioRallentamento;
      indicatori += cella.tipo == kIndicatoreVelocita;
      cartelli += cella.tipo == kCartelloIndicatore;
    }
    std::cout << c.stazioni_lette << " stations, " << segnali << " signals, " << rallentamenti
              << " slowdowns, " << indicatori << " speed boards, " << cartelli
              << " indication boards, " << c.celle.tutte().size() << " grid cells\n";
  }
  return 0;
}

int comando_compila(const std::vector<std::string>& argomenti, bool scrivi) {
  Opzioni o;
  o.scrivi = scrivi;
  for (std::size_t i = 0; i < argomenti.size(); ++i) {
    const std::string& a = argomenti[i];
    const bool ha_valore = i + 1 < argomenti.size();
    if (a == "--line-name" || a == "--train-name" || (scrivi && a == "-o")) {
      if (!ha_valore) return uso_errato(a + " needs a value");
      const std::string& v = argomenti[++i];
      if (a == "-o") o.cartella = v;
      else if (a == "--line-name") o.nome_linea = in_1252(v);
      else o.nome_treno = in_1252(v);
    } else if (scrivi && a == "--no-geometry") {
      o.geometria = false;
    } else if (a.size() > 1 && a[0] == '-') {
      return uso_errato("unknown option " + a);
    } else {
      o.sorgenti.push_back(a);
    }
  }
  if (o.sorgenti.size() != 2) return uso_errato("expected a line source and a train source");
  return compila_sorgenti(o);
}

}  // namespace

int uso_errato(const std::string& motivo) {
  std::cerr << "genera_scenario: " << motivo << "\n" << "try 'genera_scenario --help'\n";
  return kEsitoUso;
}

// Command-line text as Windows-1252: UTF-8 is converted where it maps, else kept as given.
std::string in_1252(const std::string& testo) {
  std::string convertito;
  return utf8_a_1252(testo, convertito) ? convertito : testo;
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
    return uso_errato("unknown command " + comando);
  } catch (const ErroreFile& e) {
    std::cerr << "genera_scenario: " << e.what() << "\n";
    return kEsitoUso;
  }
}

}  // namespace gs

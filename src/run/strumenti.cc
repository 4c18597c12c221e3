// The commands for route authors: they only read compiled files, decode them with the output
// subsystem's decoders and print or draw the result.

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <variant>
#include <vector>

#include "common/errori.h"
#include "common/file_system.h"
#include "common/nomi_file.h"
#include "format/formato.h"
#include "format/griglia.h"
#include "format/tabella.h"
#include "platform/piattaforma.h"
#include "run/comandi.h"
#include "run/riga_comando.h"
#include "views/disegna.h"
#include "views/ispeziona.h"

namespace gs {
namespace {

// What went wrong with one file, and the exit status it calls for.
struct Guasto {
  int esito = 0;
  std::string messaggio;
};

// Reads and decodes one compiled file of a known kind.
std::variant<FileIspezionato, Guasto> apri(const std::filesystem::path& percorso, Compilato tipo) {
  FileIspezionato f;
  f.nome = percorso.string();
  std::string byte;
  try {
    byte = leggi_file(percorso);
  } catch (const ErroreFile& e) {
    return Guasto{kEsitoUso, e.what()};
  }
  f.byte = byte.size();
  try {
    switch (tipo) {
      case Compilato::kTabella:
        f.contenuto = decodifica_tabella(byte);
        break;
      case Compilato::kGriglia:
        f.contenuto = decodifica_griglia(byte);
        break;
      case Compilato::kGeometria:
        f.contenuto = decodifica_geometria(byte);
        break;
    }
  } catch (const ErroreFormato& e) {
    static constexpr const char* kCosa[] = {"line geometry", "scenario table", "track grid"};
    return Guasto{kEsitoErrore,
                  f.nome + ": not a valid " + kCosa[static_cast<int>(tipo)] + " file: " + e.what()};
  }
  return f;
}

// The table that names a grid's stations: the .sim of the same name among those given, else
// the only .sim given, else the .sim of the same name beside the grid on disk.
std::optional<Stazioni> tabella_della_griglia(const std::filesystem::path& griglia,
                                              const std::vector<FileIspezionato>& letti) {
  std::filesystem::path accanto = griglia;
  accanto.replace_extension(".sim");
  const Stazioni* unica = nullptr;
  int tabelle = 0;
  for (const FileIspezionato& f : letti) {
    const auto* t = std::get_if<Stazioni>(&f.contenuto);
    if (t == nullptr) continue;
    if (piattaforma::percorso(f.nome) == accanto) return *t;
    unica = t;
    ++tabelle;
  }
  if (tabelle == 1) return *unica;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(accanto, ec)) return std::nullopt;
  auto letto = apri(accanto, Compilato::kTabella);
  if (auto* f = std::get_if<FileIspezionato>(&letto)) return std::get<Stazioni>(f->contenuto);
  return std::nullopt;
}

// A scenario compiled into a folder, by the names its table gives (Windows-1252).
struct ScenarioTrovato {
  std::filesystem::path tabella;
  std::string linea;
  std::string treno;
};

// The scenarios whose .sim in `cartella` is the file a compile with the names in its own
// table would have written. A .sim that does not decode, or was renamed after the compile,
// names no scenario plot could open whole, so it is left out rather than reported.
std::vector<ScenarioTrovato> scenari_in(const std::filesystem::path& cartella,
                                        std::error_code& ec) {
  std::vector<ScenarioTrovato> trovati;
  for (std::filesystem::directory_iterator it(cartella, ec), fine; !ec && it != fine;
       it.increment(ec)) {
    std::error_code ec_voce;
    if (it->path().extension() != ".sim" || !it->is_regular_file(ec_voce)) continue;
    auto letto = apri(it->path(), Compilato::kTabella);
    const auto* f = std::get_if<FileIspezionato>(&letto);
    if (f == nullptr) continue;
    const Stazioni& t = std::get<Stazioni>(f->contenuto);
    ScenarioTrovato s{it->path(), t[kVoceLinea].nome, t[kVoceTreno].nome};
    if (nomi_file(cartella, s.linea, s.treno).tabella == s.tabella) trovati.push_back(std::move(s));
  }
  // The folder's order is the file system's; the list of choices should not change with it.
  std::sort(trovati.begin(), trovati.end(), [](const ScenarioTrovato& a, const ScenarioTrovato& b) {
    return a.tabella < b.tabella;
  });
  return trovati;
}

// A name as a shell word, so that a listed choice can be pasted back as it is.
std::string tra_apici(const std::string& testo) {
  std::string s = "'";
  for (const char c : testo) s += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return s + "'";
}

}  // namespace

std::optional<std::string> file_compilato(std::string_view, const std::vector<std::string>&,
                                          const std::string& parola) {
  if (compilato_da_nome(parola)) return std::nullopt;
  return parola +
         ": not a compiled scenario file (the name must end in "
         "\"_linea.dat\", \".sim\" or \".dat\")";
}

int comando_inspect(const Argomenti& a) {
  const bool json = a.ha(Bandiera::kJson);
  const bool tutto = a.ha(Bandiera::kAll);
  std::vector<std::pair<std::filesystem::path, Compilato>> file;
  for (const std::string& p : a.posizionali) {
    const auto tipo = compilato_da_nome(p);
    if (!tipo) return uso_errato(*file_compilato("inspect", {}, p));
    file.emplace_back(piattaforma::percorso(p), *tipo);
  }
  if (file.empty()) return uso_errato("inspect expects at least one compiled file");

  std::vector<FileIspezionato> letti;
  int esito = 0;
  for (const auto& [percorso, tipo] : file) {
    auto letto = apri(percorso, tipo);
    if (auto* g = std::get_if<Guasto>(&letto)) {
      std::cerr << "genera_scenario: error: " << g->messaggio << "\n";
      esito = std::max(esito, g->esito);
    } else {
      letti.push_back(std::move(std::get<FileIspezionato>(letto)));
    }
  }
  if (esito != 0) return esito;
  for (FileIspezionato& f : letti) {
    if (std::holds_alternative<std::vector<Cella>>(f.contenuto))
      f.tabella = tabella_della_griglia(piattaforma::percorso(f.nome), letti);
  }
  std::cout << (json ? ispezione_json(letti, tutto) : ispezione_testo(letti, tutto));
  return 0;  // the output itself is checked once the command is done
}

namespace {

struct OpzioniPlot {
  std::optional<std::filesystem::path> cartella;
  std::optional<std::filesystem::path> uscita;
  std::optional<std::string> nome_linea;
  std::optional<std::string> nome_treno;
};

// The names of the one scenario in the folder that fits the names given; an exit status when
// there is none or more than one.
std::optional<int> trova_scenario(OpzioniPlot& o) {
  std::error_code ec;
  std::vector<ScenarioTrovato> scenari = scenari_in(*o.cartella, ec);
  if (ec) return uso_errato("cannot list " + o.cartella->string() + ": " + ec.message());
  std::erase_if(scenari, [&](const ScenarioTrovato& s) {
    return (o.nome_linea && s.linea != *o.nome_linea) || (o.nome_treno && s.treno != *o.nome_treno);
  });
  if (scenari.empty()) {
    std::string filtro;
    if (o.nome_linea) filtro = " of line \"" + utf8_da_1252(*o.nome_linea) + "\"";
    if (o.nome_treno) filtro = " of train \"" + utf8_da_1252(*o.nome_treno) + "\"";
    return uso_errato("no compiled scenario (.sim)" + filtro + " in " + o.cartella->string() +
                      "; compile one there (genera_scenario compile LINE_SOURCE TRAIN_SOURCE -o " +
                      o.cartella->string() + ") or give both --line-name and --train-name");
  }
  if (scenari.size() > 1) {
    std::cerr << "genera_scenario: error: " << o.cartella->string() << " holds " << scenari.size()
              << " compiled scenarios; choose one with its names:\n";
    for (const ScenarioTrovato& s : scenari) {
      std::cerr << "  " << s.tabella.filename().string() << ": --line-name "
                << tra_apici(utf8_da_1252(s.linea)) << " --train-name "
                << tra_apici(utf8_da_1252(s.treno)) << "\n";
    }
    return kEsitoUso;
  }
  o.nome_linea = std::move(scenari.front().linea);
  o.nome_treno = std::move(scenari.front().treno);
  return std::nullopt;
}

// The three compiled files of a scenario; the geometry may be missing (compiled without it).
struct Scenario {
  std::optional<Stazioni> tabella;
  std::optional<std::vector<Cella>> celle;
  std::optional<Geometria> geometria;
};

std::variant<Scenario, Guasto> leggi_scenario(const NomiFile& nomi) {
  Scenario sc;
  const std::pair<const std::filesystem::path*, Compilato> da_leggere[] = {
      {&nomi.tabella, Compilato::kTabella},
      {&nomi.griglia, Compilato::kGriglia},
      {&nomi.geometria, Compilato::kGeometria}};
  std::error_code ec;
  for (const auto& [percorso, tipo] : da_leggere) {
    if (tipo == Compilato::kGeometria && !std::filesystem::exists(*percorso, ec)) continue;
    auto letto = apri(*percorso, tipo);
    if (auto* g = std::get_if<Guasto>(&letto)) return *g;
    auto& f = std::get<FileIspezionato>(letto);
    if (tipo == Compilato::kTabella)
      sc.tabella = std::move(std::get<Stazioni>(f.contenuto));
    else if (tipo == Compilato::kGriglia)
      sc.celle = std::move(std::get<std::vector<Cella>>(f.contenuto));
    else
      sc.geometria = std::move(std::get<Geometria>(f.contenuto));
  }
  return sc;
}

// The options of plot; an exit status when the command line is wrong.
std::optional<int> opzioni_plot(const Argomenti& a, OpzioniPlot& o) {
  o.uscita = a.uscita;
  o.nome_linea = a.nome_linea;
  o.nome_treno = a.nome_treno;
  if (!a.posizionali.empty()) o.cartella = piattaforma::percorso(a.posizionali.front());
  if (!o.cartella) return uso_errato("plot expects the folder that holds the compiled files");
  std::error_code ec;
  if (!std::filesystem::is_directory(*o.cartella, ec))
    return uso_errato(o.cartella->string() + " is not a folder");
  return std::nullopt;
}

}  // namespace

int comando_plot(const Argomenti& a) {
  OpzioniPlot o;
  if (const auto esito = opzioni_plot(a, o)) return *esito;
  if (!o.nome_linea || !o.nome_treno) {
    if (const auto esito = trova_scenario(o)) return *esito;
  }
  const NomiFile nomi = nomi_file(*o.cartella, *o.nome_linea, *o.nome_treno);
  const auto letto = leggi_scenario(nomi);
  if (const auto* g = std::get_if<Guasto>(&letto)) {
    std::cerr << "genera_scenario: error: " << g->messaggio << "\n";
    return g->esito;
  }
  const Scenario& sc = std::get<Scenario>(letto);
  const std::filesystem::path uscita =
      o.uscita.value_or(*o.cartella / piattaforma::percorso(utf8_da_1252(*o.nome_linea) + "_" +
                                                            utf8_da_1252(*o.nome_treno) + ".svg"));
  for (const std::filesystem::path* ingresso : {&nomi.tabella, &nomi.griglia, &nomi.geometria}) {
    if (ingresso == &nomi.geometria && !sc.geometria) continue;  // no geometry was read
    if (stesso_file(uscita, *ingresso))
      return uso_errato("the output " + uscita.string() + " would replace the input " +
                        ingresso->string());
  }
  try {
    scrivi_file(uscita,
                disegna_tavola(*sc.tabella, *sc.celle, sc.geometria ? &*sc.geometria : nullptr));
  } catch (const ErroreFile& e) {
    std::cerr << "genera_scenario: error: " << e.what() << "\n";
    return kEsitoUso;
  }
  std::cout << "wrote " << uscita.string()
            << (sc.geometria ? "" : " (no line geometry: no plan view)") << "\n";
  return 0;
}

}  // namespace gs

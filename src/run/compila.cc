// The commands that compile a pair of sources: compile, check and serve; and what they share,
// the names the outputs take and the compile of two source texts.
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "compiler/compilatore.h"
#include "output/uscita.h"
#include "platform/piattaforma.h"
#include "run/comandi.h"
#include "run/esecuzione.h"
#include "run/opzioni_compila.h"
#include "run/rapporto.h"
#include "run/riga_comando.h"
#include "serve/serve.h"

namespace gs {
namespace {

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
      // Without a way to give up, the wait ends only once the folder is this run's.
      scritti = scrivi_in_cartella(o, c, annuncia_attesa).value_or(std::vector<FileScritto>{});
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

// compile and check: the names, and the options of the compile and of its report.
Opzioni opzioni_compila(const Argomenti& a, bool scrivi) {
  Opzioni o;
  o.scrivi = scrivi;
  o.sorgenti = a.posizionali;
  o.cartella = a.uscita.value_or(std::filesystem::path());
  o.nome_linea = a.nome_linea;
  o.nome_treno = a.nome_treno;
  o.geometria = !a.ha(Bandiera::kNoGeometry);
  o.silenzioso = a.ha(Bandiera::kQuiet);
  o.json = a.json;
  o.rapporto.colore = colore_per(2);
  o.rapporto.caret = !a.ha(Bandiera::kNoCaret);
  o.rapporto.werror = a.ha(Bandiera::kWerror);
  return o;
}

}  // namespace

int comando_compile(const Argomenti& a) {
  Opzioni o = opzioni_compila(a, true);
  if (o.sorgenti.size() != 2) return uso_errato("expected a line source and a train source");
  return compila_sorgenti(o);
}

int comando_check(const Argomenti& a) {
  Opzioni o = opzioni_compila(a, false);
  if (o.sorgenti.size() != 2) return uso_errato("expected a line source and a train source");
  return compila_sorgenti(o);
}

// serve: the names checked, then the sources compiled and written as compile does.
int comando_serve(const Argomenti& a) {
  Opzioni o;
  o.sorgenti = a.posizionali;
  o.scrivi = a.uscita.has_value();
  o.cartella = a.uscita.value_or(std::filesystem::path());
  o.nome_linea = a.nome_linea;
  o.nome_treno = a.nome_treno;
  if (o.sorgenti.size() != 2) return uso_errato("expected a line source and a train source");
  if (const auto motivo = prepara_nomi(o)) return uso_errato(*motivo);
  Servizio s;
  s.sorgenti = o.sorgenti;
  s.porta = a.porta.value_or(kPortaPredefinita);
  s.apri = a.ha(Bandiera::kOpen);
  s.compila = [&o](Compilazione& c, std::string linea, std::string treno) {
    return compila_testi(c, o, std::move(linea), std::move(treno));
  };
  if (o.scrivi) {
    s.scrivi = [&o](const Compilazione& c, const std::function<void()>& in_attesa,
                    const std::function<bool()>& rinuncia) {
      // serve says which compile waits, then the note says for what.
      const auto annuncia = [&](const std::filesystem::path& cartella) {
        in_attesa();
        annuncia_attesa(cartella);
      };
      return scrivi_in_cartella(o, c, annuncia, rinuncia);
    };
  }
  s.riga_diagnostica = [](const Diagnostica& d) { return riga_diagnostica(d); };
  s.riga_scritto = riga_scritto;
  if (const auto motivo = servi(s)) {
    std::cerr << "genera_scenario: error: " << *motivo << "\n";
    return kEsitoUso;
  }
  return 0;
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

std::optional<std::vector<FileScritto>> scrivi_in_cartella(
    const Opzioni& o, const Compilazione& c,
    const std::function<void(const std::filesystem::path&)>& in_attesa,
    const std::function<bool()>& rinuncia) {
  std::error_code ec;
  if (!o.cartella.empty() && !std::filesystem::is_directory(o.cartella, ec) &&
      !std::filesystem::create_directories(o.cartella, ec))
    throw ErroreFile("cannot make the output folder " + o.cartella.string() + ": " + ec.message());
  // The three files of one run, never mixed with another's writing the same scenario.
  const BloccoScrittura blocco(o.cartella.empty() ? "." : o.cartella, in_attesa, rinuncia);
  if (!blocco.preso()) return std::nullopt;
  // Checked again at every write, by what the names lead to now: serve writes for hours, and
  // an output folder that is a link may have been turned to the sources' folder since.
  const NomiFile nomi = nomi_file(o.cartella, c.nome_linea, c.nome_treno);
  if (const auto motivo = uscite_non_valide(o, nomi)) throw ErroreFile(*motivo);
  return scrivi_compilati(c, nomi);
}

}  // namespace gs

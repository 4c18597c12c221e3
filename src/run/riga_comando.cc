// The command line's shared parts: the usage error, the names' encoding, and the one reader of
// the options of every command.
#include "run/riga_comando.h"

#include <algorithm>
#include <charconv>
#include <iostream>

#include "common/nomi_file.h"
#include "platform/piattaforma.h"

namespace gs {
namespace {

// The option `parola` is, if any. FORMAT comes in the same word, and only as text or json.
const Opzione* opzione_di(std::span<const Opzione> opzioni, std::string_view parola) {
  for (const Opzione& o : opzioni) {
    if (o.genere != Genere::kFormato) {
      if (parola == o.nome) return &o;
    } else if (parola.starts_with(o.nome) && parola.substr(o.nome.size()).starts_with('=')) {
      const std::string_view formato = parola.substr(o.nome.size() + 1);
      if (formato == "text" || formato == "json") return &o;
    }
  }
  return nullptr;
}

uint16_t porta(std::string_view opzione, const std::string& v) {
  unsigned n = 0;
  const auto [fine, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
  if (ec != std::errc() || fine != v.data() + v.size() || n > 65535)
    throw ErroreUso(std::string(opzione) + " needs a port number from 0 to 65535, not " + v);
  return static_cast<uint16_t>(n);
}

}  // namespace

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

bool Argomenti::ha(Bandiera bandiera) const {
  return std::find(bandiere.begin(), bandiere.end(), bandiera) != bandiere.end();
}

std::optional<std::string> una_cartella(std::string_view comando,
                                        const std::vector<std::string>& prima,
                                        const std::string& parola) {
  if (prima.empty()) return std::nullopt;
  return std::string(comando) + " expects one folder, got " +
         piattaforma::percorso(prima.front()).string() + " and " + parola;
}

std::optional<Argomenti> leggi_argomenti(std::string_view comando,
                                         const std::vector<std::string>& parole,
                                         std::span<const Opzione> opzioni, Verifica verifica) {
  Argomenti letti;
  for (std::size_t i = 0; i < parole.size(); ++i) {
    const std::string& a = parole[i];
    if (a == "--help" || a == "-h") return std::nullopt;
    const Opzione* o = opzione_di(opzioni, a);
    if (o == nullptr) {
      // "-" alone is a word: a file of that name.
      if (a.size() > 1 && a[0] == '-') throw ErroreUso("unknown option " + a);
      if (verifica != nullptr) {
        if (auto motivo = verifica(comando, letti.posizionali, a)) throw ErroreUso(*motivo);
      }
      letti.posizionali.push_back(a);
      continue;
    }
    if (o->genere == Genere::kBandiera) {
      letti.bandiere.push_back(o->bandiera);
      continue;
    }
    if (o->genere == Genere::kFormato) {
      letti.json = a.ends_with("=json");
      continue;
    }
    if (i + 1 >= parole.size()) throw ErroreUso(a + " needs a value");
    const std::string& v = parole[++i];
    switch (o->genere) {
      case Genere::kNomeDellaLinea:
        letti.nome_linea = in_1252(v);
        break;
      case Genere::kNomeDelTreno:
        letti.nome_treno = in_1252(v);
        break;
      case Genere::kUscita:
        letti.uscita = piattaforma::percorso(v);
        break;
      case Genere::kPorta:
        letti.porta = porta(o->nome, v);
        break;
      case Genere::kBandiera:
      case Genere::kFormato:
        break;
    }
  }
  return letti;
}

}  // namespace gs

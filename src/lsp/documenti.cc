#include "lsp/documenti.h"

#include <algorithm>
#include <utility>

#include "common/errori.h"
#include "common/file_system.h"
#include "compiler/parole.h"
#include "lsp/uri.h"
#include "platform/piattaforma.h"

namespace gs::lsp {
namespace {

void giudica(Documento& d) {
  d.utf8_su_disco.reset();
  if (d.percorso.empty()) return;
  try {
    d.utf8_su_disco = primo_utf8(leggi_file(piattaforma::percorso(d.percorso)));
  } catch (const ErroreFile&) {
    // Not saved yet, or not readable: nothing to judge.
  }
}

// Whether the text has a line `riga` (from 0): only the lines before it are looked at.
bool ha_riga(std::string_view testo, int64_t riga) {
  std::size_t i = 0;
  for (int64_t r = 0; r < riga; ++r) {
    i = testo.find_first_of("\r\n", i);
    if (i == std::string_view::npos) return false;
    i += testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n' ? std::size_t{2}
                                                                          : std::size_t{1};
  }
  return true;
}

}  // namespace

std::optional<Intervallo> primo_utf8(std::string_view byte) {
  std::size_t primo = 0;
  if (!sembra_utf8(byte, primo)) return std::nullopt;
  const IndiceRighe indice(byte);
  const std::size_t riga = indice.riga_di(primo);
  const int64_t colonna = utf16_dei_byte(indice.riga(riga), primo - indice.inizio(riga));
  const int64_t r = static_cast<int64_t>(riga);
  return Intervallo{{r, colonna}, {r, colonna + unita_utf16(carattere_a(byte, primo).punto)}};
}

Documento& Archivio::apri(const std::string& uri, std::string lingua, nlohmann::json versione,
                          std::string testo) {
  Documento& d = documenti_[uri];
  d.uri = uri;
  d.percorso = percorso_da_uri(uri);
  d.lingua = std::move(lingua);
  d.versione = std::move(versione);
  d.testo = std::move(testo);
  d.generazione = ++generazione_;
  giudica(d);
  return d;
}

void Archivio::chiudi(const std::string& uri) { documenti_.erase(uri); }

std::optional<std::string> Archivio::modifica(Documento& d,
                                              const std::vector<Modifica>& modifiche) {
  std::string testo = d.testo;
  for (const auto& [intervallo, nuovo] : modifiche) {
    if (!intervallo) {
      testo = nuovo;
      continue;
    }
    const Posizione& da = intervallo->inizio;
    const Posizione& a = intervallo->fine;
    if (a.riga < da.riga || (a.riga == da.riga && a.colonna < da.colonna))
      return "a change's range runs backwards, from " + std::to_string(da.riga) + ":" +
             std::to_string(da.colonna) + " to " + std::to_string(a.riga) + ":" +
             std::to_string(a.colonna);
    if (da.riga < 0 || !ha_riga(testo, a.riga))
      return "a change's range reaches line " + std::to_string(da.riga < 0 ? da.riga : a.riga) +
             ", which the document does not have";
    const std::size_t inizio = offset_di(testo, da);
    testo.replace(inizio, std::max(offset_di(testo, a), inizio) - inizio, nuovo);
  }
  d.testo = std::move(testo);
  d.generazione = ++generazione_;
  return std::nullopt;
}

void Archivio::salvato(Documento& d) {
  d.generazione = ++generazione_;
  giudica(d);
}

Documento* Archivio::trova(const std::string& uri) {
  const auto it = documenti_.find(uri);
  return it == documenti_.end() ? nullptr : &it->second;
}

const Documento* Archivio::del_file(const std::string& percorso) const {
  if (percorso.empty()) return nullptr;
  for (const auto& [uri, d] : documenti_)
    if (d.percorso == percorso) return &d;
  return nullptr;
}

}  // namespace gs::lsp

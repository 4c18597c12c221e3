#include "lsp/documenti.h"

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

void Archivio::modifica(Documento& d, const std::optional<Intervallo>& intervallo,
                        std::string_view testo) {
  d.generazione = ++generazione_;
  if (!intervallo) {
    d.testo.assign(testo);
    return;
  }
  std::size_t da = offset_di(d.testo, intervallo->inizio);
  std::size_t a = offset_di(d.testo, intervallo->fine);
  if (a < da) std::swap(da, a);
  d.testo.replace(da, a - da, testo);
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

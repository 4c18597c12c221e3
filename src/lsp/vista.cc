#include "lsp/vista.h"

#include <algorithm>
#include <vector>

#include "lsp/unita.h"

namespace gs::lsp {
namespace {

std::string converti(const std::string& editore) {
  std::vector<Mancante> mancanti;
  return testo_1252(editore, mancanti);
}

}  // namespace

Vista::Vista(std::string editore, bool linea)
    : editore_(std::move(editore)),
      compilato_(converti(editore_)),
      righe_editore_(editore_),
      righe_compilato_(compilato_),
      colonne_(editore_),
      analisi_(analizza(compilato_, linea)) {}

std::unique_ptr<Vista> Vista::di(const Documento& d) {
  const Ruolo r = ruolo_di(d);
  if (r == Ruolo::kNessuno) return nullptr;
  return std::make_unique<Vista>(d.testo, r == Ruolo::kLinea);
}

std::optional<std::pair<std::size_t, std::size_t>> Vista::byte_di(const Posizione& p) const {
  if (p.riga < 0 || static_cast<std::size_t>(p.riga) >= righe_editore_.righe()) return {};
  const auto n = static_cast<std::size_t>(p.riga);
  const std::string_view riga = righe_editore_.riga(n);
  const std::size_t fino = byte_della_colonna(riga, p.colonna);
  // One compiled byte for each character before it.
  std::size_t caratteri = 0;
  for (std::size_t i = 0; i < fino; i += carattere_a(riga, i).byte) ++caratteri;
  return std::pair{n, caratteri};
}

Intervallo Vista::intervallo(std::size_t riga, std::size_t da, std::size_t a) const {
  const std::size_t inizio = righe_compilato_.inizio(riga);
  const std::size_t lunga = righe_compilato_.riga(riga).size();
  const int64_t prima = colonne_.dei_caratteri(inizio);
  const auto colonna = [&](std::size_t c) {
    return colonne_.dei_caratteri(inizio + std::min(c, lunga)) - prima;
  };
  const auto r = static_cast<int64_t>(riga);
  return {{r, colonna(da)}, {r, colonna(a)}};
}

const RigaLetta* Vista::riga(std::size_t n) const {
  return n < analisi_.righe.size() ? &analisi_.righe[n] : nullptr;
}

std::string_view Vista::testo_di(const Intervallo& i) const {
  if (i.inizio.riga != i.fine.riga || i.inizio.riga < 0 ||
      static_cast<std::size_t>(i.inizio.riga) >= righe_editore_.righe())
    return {};
  const std::string_view r = righe_editore_.riga(static_cast<std::size_t>(i.inizio.riga));
  const std::size_t da = byte_della_colonna(r, i.inizio.colonna);
  const std::size_t a = byte_della_colonna(r, i.fine.colonna);
  return a > da ? r.substr(da, a - da) : std::string_view();
}

}  // namespace gs::lsp

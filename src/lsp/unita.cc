#include "lsp/unita.h"

#include <set>

#include "common/ascii.h"
#include "platform/piattaforma.h"

namespace gs::lsp {
namespace {

constexpr std::string_view kLinea = "_linea.txt";
constexpr std::string_view kTreno = "-.txt";

}  // namespace

Ruolo ruolo_di(const Documento& d) {
  const std::string_view nome = nome_file(d.percorso);
  if (nome.size() > kLinea.size() && nome.ends_with(kLinea)) return Ruolo::kLinea;
  if (nome.size() > kTreno.size() && nome.ends_with(kTreno)) return Ruolo::kTreno;
  if (d.lingua == "genera-scenario-linea") return Ruolo::kLinea;
  if (d.lingua == "genera-scenario-treno") return Ruolo::kTreno;
  return Ruolo::kNessuno;
}

LineaAccanto linea_accanto(const std::string& treno, const Archivio& archivio) {
  LineaAccanto a;
  const std::string_view nome = nome_file(treno);
  const std::string cartella = treno.substr(0, treno.size() - nome.size());
  if (cartella.empty() || !nome.ends_with(kTreno)) return a;
  const std::string_view radice = nome.substr(0, nome.size() - kTreno.size());
  for (std::size_t i = radice.find('_'); i != std::string_view::npos; i = radice.find('_', i + 1)) {
    if (i == 0) continue;
    std::string linea = cartella + std::string(radice.substr(0, i)) + std::string(kLinea);
    if (archivio.del_file(linea) != nullptr || piattaforma::esiste(piattaforma::percorso(linea)))
      a.percorso = linea;
    a.cercate.push_back(std::move(linea));
  }
  return a;
}

std::string Unita::nome() const { return treno != nullptr ? "T " + treno->uri : "L " + linea->uri; }

std::string Unita::stato(unsigned long long epoca_disco) const {
  return std::to_string(epoca_disco) + " " + std::to_string(treno ? treno->generazione : 0) + " " +
         std::to_string(linea ? linea->generazione : 0) + " " + accanto.percorso;
}

std::vector<Unita> unita_aperte(const Archivio& archivio) {
  std::vector<Unita> unita;
  std::set<const Documento*> linee_con_treno;
  for (const auto& [uri, d] : archivio.tutti()) {
    if (ruolo_di(d) != Ruolo::kTreno) continue;
    Unita u;
    u.treno = &d;
    u.accanto = linea_accanto(d.percorso, archivio);
    u.linea = archivio.del_file(u.accanto.percorso);
    if (u.linea != nullptr) linee_con_treno.insert(u.linea);
    unita.push_back(std::move(u));
  }
  for (const auto& [uri, d] : archivio.tutti()) {
    if (ruolo_di(d) != Ruolo::kLinea || linee_con_treno.count(&d) > 0) continue;
    Unita u;
    u.linea = &d;
    unita.push_back(std::move(u));
  }
  return unita;
}

}  // namespace gs::lsp

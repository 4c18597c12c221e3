// `new`: a starting pair of sources for a route author, never over an existing file.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "common/errori.h"
#include "common/file_system.h"
#include "common/nomi_file.h"
#include "platform/piattaforma.h"
#include "run/comandi.h"
#include "run/esecuzione.h"
#include "run/riga_comando.h"
#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"

namespace gs {
namespace {

// Both sources, or none when either file is there already.
int scrivi_sorgenti(const std::filesystem::path& cartella, const std::string& nome_linea,
                    const std::string& nome_treno, bool incorporato) {
  const NomiFile nomi = nomi_file(cartella, nome_linea, nome_treno);
  const std::pair<const std::filesystem::path*, std::span<const std::string_view>> file[] = {
      {&nomi.sorgente_linea, incorporato ? righe_linea() : righe_linea_esempio()},
      {&nomi.sorgente_treno, incorporato ? righe_treno() : righe_treno_esempio()}};
  std::error_code ec;
  try {
    if (!std::filesystem::is_directory(cartella, ec)) std::filesystem::create_directories(cartella);
  } catch (const std::filesystem::filesystem_error& e) {
    std::cerr << "genera_scenario: error: " << e.what() << "\n";
    return kEsitoUso;
  }
  // Checked and written while no other run writes there: two at once never both write.
  const BloccoScrittura blocco(cartella, annuncia_attesa);
  for (const auto& [percorso, righe] : file) {
    if (std::filesystem::exists(*percorso, ec) || std::filesystem::is_symlink(*percorso, ec))
      return uso_errato(percorso->string() + " already exists; new never replaces a file");
  }
  for (const auto& [percorso, righe] : file) {
    scrivi_testo(*percorso, righe);
    std::cout << "wrote " << percorso->string() << "\n";
  }
  std::cout << "next: genera_scenario compile "
            << piattaforma::per_la_shell(nomi.sorgente_linea.string()) << " "
            << piattaforma::per_la_shell(nomi.sorgente_treno.string()) << " -o "
            << piattaforma::per_la_shell(cartella.string()) << "\n";
  return 0;
}

}  // namespace

int comando_new(const Argomenti& a) {
  std::optional<std::string> nome_linea = a.nome_linea, nome_treno = a.nome_treno;
  const bool incorporato = a.ha(Bandiera::kBuiltIn);
  if (a.posizionali.empty()) return uso_errato("new expects the folder to write the sources into");
  if (incorporato && (nome_linea || nome_treno))
    return uso_errato(
        "--built-in writes the built-in names; it takes no --line-name or --train-name");
  if (!incorporato && (!nome_linea || !nome_treno))
    return uso_errato("new needs both --line-name NAME and --train-name NAME (or --built-in)");
  if (incorporato) {
    nome_linea = std::string(kNomeLinea);
    nome_treno = std::string(kNomeTreno);
  }
  for (const auto& [nome, quale] :
       {std::pair{*nome_linea, "the line name"}, std::pair{*nome_treno, "the train name"}}) {
    if (const auto motivo = nome_non_valido(nome, quale)) return uso_errato(*motivo);
  }
  if (const auto motivo = nomi_riservati(*nome_linea, *nome_treno)) return uso_errato(*motivo);
  return scrivi_sorgenti(piattaforma::percorso(a.posizionali.front()), *nome_linea, *nome_treno,
                         incorporato);
}

}  // namespace gs

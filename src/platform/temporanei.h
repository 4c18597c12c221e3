// What both systems share of FileTemporaneo: the temporary names (the destination's name,
// ".tmp-" and six random letters or digits, beside it in its folder), the register of the names
// an interrupt removes, and the order in which a name is registered and then made.
#ifndef GS_PLATFORM_TEMPORANEI_H
#define GS_PLATFORM_TEMPORANEI_H

#include <filesystem>
#include <system_error>

#include "platform/piattaforma.h"

namespace gs::piattaforma {

// A fresh candidate; whoever creates it must still make sure no file has that name already.
std::filesystem::path nome_temporaneo(const std::filesystem::path& destinazione);

// The folder a file name stands in, "." for a bare name.
std::filesystem::path cartella_di(const std::filesystem::path& file);

// The register: fixed places holding the names themselves, so that a signal handler reads only
// memory that is always there and takes no lock. registra returns the name's place, or -1 when
// every place is taken or the name is too long (then the next run that writes the same file
// removes what an interrupt leaves). dimentica frees the place and sets it to -1.
inline constexpr int kPostiRegistro = 8;  // writes at once: serve's one writer, compile's files
int registra(const std::filesystem::path& nome);
void dimentica(int& posto);
// Calls `rimuovi` with every registered name; safe in a signal handler.
void per_ogni_registrato(void (*rimuovi)(const std::filesystem::path::value_type* nome));

// Whether interrompi_scritture has been called.
bool scritture_interrotte();
// Whether a test asked for the named temporary files of file systems without unnamed ones.
bool prove_senza_file_anonimi();
// Tells the test seam, if one is set, that a write reached `passo`.
void segna_passo(PassoScrittura passo);

// How one try at making a file under a given name went.
enum class Tentativo { kFatto, kNomePreso, kFallito };

// Gives a file a fresh temporary name beside `destinazione`: `crea` makes the file under the
// name it is handed (kNomePreso when a file has it already: another name is tried). The name is
// registered before the file has it, so that there is no moment in which an interrupt would
// leave the file behind: removing a name not made yet does no harm. On success `nome` and
// `posto` hold the name and its place; on failure the error `crea` stored in `ec`, or
// operation_canceled once interrompi_scritture has been called.
template <class Crea>
std::error_code dai_nome(const std::filesystem::path& destinazione, std::filesystem::path& nome,
                         int& posto, Crea crea) {
  for (int prova = 0;; ++prova) {
    std::filesystem::path candidato = nome_temporaneo(destinazione);
    posto = registra(candidato);
    segna_passo(PassoScrittura::kRegistrato);
    if (scritture_interrotte()) {
      dimentica(posto);
      return std::make_error_code(std::errc::operation_canceled);
    }
    std::error_code ec;
    const Tentativo t = crea(candidato, ec);
    if (t == Tentativo::kFatto) {
      nome = std::move(candidato);
      segna_passo(PassoScrittura::kNominato);
      return {};
    }
    dimentica(posto);
    if (t == Tentativo::kFallito || prova == 100)
      return ec ? ec : std::make_error_code(std::errc::file_exists);
  }
}

}  // namespace gs::piattaforma

#endif  // GS_PLATFORM_TEMPORANEI_H

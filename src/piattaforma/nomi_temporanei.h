// The temporary names of FileTemporaneo, the same on every system: the destination's name,
// ".tmp-" and six random letters or digits, beside it in its folder.
#ifndef GS_PIATTAFORMA_NOMI_TEMPORANEI_H
#define GS_PIATTAFORMA_NOMI_TEMPORANEI_H

#include <filesystem>

namespace gs::piattaforma {

// A fresh candidate; whoever creates it must still make sure no file has that name already.
std::filesystem::path nome_temporaneo(const std::filesystem::path& destinazione);

// The folder a file name stands in, "." for a bare name.
std::filesystem::path cartella_di(const std::filesystem::path& file);

}  // namespace gs::piattaforma

#endif  // GS_PIATTAFORMA_NOMI_TEMPORANEI_H

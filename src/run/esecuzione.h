// Run control: the built-in run, the compile of a pair of sources, the error report and the
// command line.
#ifndef GS_RUN_ESECUZIONE_H
#define GS_RUN_ESECUZIONE_H

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "common/nomi_file.h"
#include "compiler/compilatore.h"

namespace gs {

inline constexpr std::string_view kNomeLinea = "BELMONZA VALICO - SOLMA";
inline constexpr std::string_view kNomeTreno = "D 237";

// `memorizza_percorso`: keeps `j`, clears the error and the table, reads both sources, places
// the code points, stamps markers and race codes and, when `nomi` is given, writes the three
// compiled files. Returns 0, or the error number that stopped it before any file was written:
// 1250 / 1251 (recorded in the register at the record whose point holds cell 1), or
// `n_errore` when the line reader stopped before it sized the grid.
int32_t memorizza_percorso(Compilazione& c, int32_t j, Sorgenti& sorgenti, const NomiFile* nomi);

// The error report: " Errore n. " and `a` (on standard error, or in a message box on Windows),
// then the program ends.
[[noreturn]] void errore(std::string_view a);

// The built-in run: writes both sources and the three documents into the program's folder,
// compiles the sources and writes the three compiled files. Its diagnostics, and a file that
// cannot be written, go where piattaforma::mostra_messaggio puts them.
int esegui_scenario();

// The program's entry point, command line included.
int principale(int argc, char** argv);

}  // namespace gs

#endif  // GS_RUN_ESECUZIONE_H

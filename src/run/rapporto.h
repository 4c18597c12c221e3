// Diagnostics of a compile as an author reads them: one line each in the form editors' problem
// matchers parse, "FILE:LINE:COL: error: MESSAGE [E15 at 4500 m]", with the source line and a
// caret under it; or one JSON document for tools.
#ifndef GS_RUN_RAPPORTO_H
#define GS_RUN_RAPPORTO_H

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "common/diagnostica.h"
#include "output/uscita.h"

namespace gs {

struct OpzioniRapporto {
  bool caret = true;    // echo the source line and a caret under the column
  bool colore = false;  // ANSI colours, for a terminal
  bool werror = false;  // warnings count as errors
};

// Colour when `fd` is a terminal and NO_COLOR is not set.
bool colore_per(int fd);

// The one line of a diagnostic, without colour: "FILE:LINE:COL: error: MESSAGE [E16 at 9000 m]".
std::string riga_diagnostica(const Diagnostica& d, bool werror = false);

// Every diagnostic of the register in the order it was found, each with its related places
// as notes.
void riporta(const Registro& registro, const OpzioniRapporto& opzioni, std::ostream& uscita);

// "wrote out/MIA_linea.dat (379 964 bytes)"
std::string riga_scritto(const FileScritto& f);

// The JSON report of a compile: the names used (Windows-1252), every diagnostic, the files
// written.
std::string rapporto_json(const Registro& registro, const std::string& nome_linea,
                          const std::string& nome_treno, const std::vector<FileScritto>& scritti,
                          bool werror, int esito);

}  // namespace gs

#endif  // GS_RUN_RAPPORTO_H

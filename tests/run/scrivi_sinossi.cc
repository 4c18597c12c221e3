// Prints what the manual page holds made from the program's tables, for scripts/aggiorna_man.sh:
// the SYNOPSIS section from the table of commands, or (with the argument "diagnostics") the
// list of errors and warnings from the table of diagnostics.
#include <iostream>
#include <string_view>

#include "run/comandi.h"
#include "run/spiegazioni.h"

int main(int argc, char** argv) {
  const bool diagnostiche = argc > 1 && std::string_view(argv[1]) == "diagnostics";
  std::cout << (diagnostiche ? gs::elenco_voci_man() : gs::sinossi_man());
  return std::cout.good() ? 0 : 1;
}

// Prints the manual page's SYNOPSIS section as the table of commands makes it, for
// scripts/aggiorna_man.sh.
#include <iostream>

#include "run/comandi.h"

int main() {
  std::cout << gs::sinossi_man();
  return std::cout.good() ? 0 : 1;
}

// Writes the tables of the source records into the authors' guide again, from the
// source-record table; scripts/aggiorna_guida.sh runs it, and a test compares the guide with it.
// usage: tabelle_record GUIDE
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "compiler/guida_record.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: tabelle_record GUIDE\n";
    return 2;
  }
  std::stringstream letta;
  {
    std::ifstream f(argv[1], std::ios::binary);
    if (!f) {
      std::cerr << "tabelle_record: cannot read " << argv[1] << "\n";
      return 1;
    }
    letta << f.rdbuf();
  }
  try {
    const std::string nuova = gs::rigenera_guida(letta.str());
    if (nuova == letta.str()) return 0;
    std::ofstream f(argv[1], std::ios::binary | std::ios::trunc);
    f << nuova;
    if (!f.flush()) {
      std::cerr << "tabelle_record: cannot write " << argv[1] << "\n";
      return 1;
    }
  } catch (const std::runtime_error& e) {
    std::cerr << "tabelle_record: " << argv[1] << ": " << e.what() << "\n";
    return 1;
  }
  return 0;
}

// Writes the synthetic 1000000 m line and its train as source files, for timing the command.
#include <iostream>

#include "common/file_system.h"
#include "sintetico.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: scrivi_sintetico LINE_SOURCE TRAIN_SOURCE\n";
    return 2;
  }
  gs::scrivi_file(argv[1], gs::bench::linea_sintetica());
  gs::scrivi_file(argv[2], gs::bench::treno_sintetico());
  return 0;
}

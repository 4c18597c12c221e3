#include "run/strumenti.h"

#include <iostream>

namespace gs {

int comando_inspect(const std::vector<std::string>&) {
  std::cerr << "genera_scenario: inspect is not available yet\n";
  return 2;
}

int comando_plot(const std::vector<std::string>&) {
  std::cerr << "genera_scenario: plot is not available yet\n";
  return 2;
}

}  // namespace gs

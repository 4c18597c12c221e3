#include <string>

#include "grid/griglia.h"

namespace gs {

void Celle::dimensiona(int32_t ultimo) {
  celle_.assign(static_cast<std::size_t>(ultimo) + 1, Cella{});
}

void Celle::fuori(int64_t i) const {
  throw ErroreLettura("cell " + std::to_string(i) + " lies outside the track grid (0 to " +
                      std::to_string(ultimo()) + ")");
}

Cella& Celle::operator[](int64_t i) {
  if (!contiene(i)) fuori(i);
  return celle_[static_cast<std::size_t>(i)];
}

const Cella& Celle::operator[](int64_t i) const {
  if (!contiene(i)) fuori(i);
  return celle_[static_cast<std::size_t>(i)];
}

}  // namespace gs

#include "compiler/linea.h"

#include <string>

#include "common/errori.h"

namespace gs {

void Linea::dimensiona(int32_t ultimo_metro) {
  ultimo_ = ultimo_metro < 0 ? -1 : ultimo_metro;
  origine_ = false;
  x_.clear();
  y_.clear();
  x_.shrink_to_fit();
  y_.shrink_to_fit();
}

void Linea::imposta_origine() {
  if (ultimo_ < 1) throw ErroreLettura("the plan view has no metre 1");
  origine_ = true;
  x_.clear();
  y_.clear();
  // Reserve the whole table once: growing by doubling would hold it twice for a moment.
  x_.reserve(static_cast<std::size_t>(ultimo_) - 1);
  y_.reserve(static_cast<std::size_t>(ultimo_) - 1);
}

void Linea::aggiungi(double colonna0, double colonna1) {
  if (!origine_ || cursore() > ultimo_)
    throw ErroreLettura("metre " + std::to_string(cursore()) + " lies outside the plan view (0 to " +
                        std::to_string(ultimo_) + ")");
  x_.push_back(colonna0);
  y_.push_back(colonna1);
}

double Linea::colonna0(int32_t metro) const {
  if (metro < 0 || metro >= cursore() || !origine_)
    throw ErroreLettura("metre " + std::to_string(metro) + " of the plan view is empty");
  return metro < 2 ? 0.0 : x_[static_cast<std::size_t>(metro) - 2];
}

double Linea::colonna1(int32_t metro) const {
  if (metro < 0 || metro >= cursore() || !origine_)
    throw ErroreLettura("metre " + std::to_string(metro) + " of the plan view is empty");
  return metro < 2 ? static_cast<double>(metro) : y_[static_cast<std::size_t>(metro) - 2];
}

}  // namespace gs

#include "compiler/linea.h"

#include <algorithm>
#include <string>
#include <type_traits>

#include "common/errori.h"

namespace gs {

std::size_t Linea::Cammino::prossimi(double* c0, double* c1, std::size_t n) {
  std::size_t fatti = 0;
  double a0 = a0_, a1 = a1_, d0 = d0_, d1 = d1_;
  while (fatti < n && tratto_ < tratti_.size()) {
    const Tratto& t = tratti_[tratto_];
    const int32_t quanti = static_cast<int32_t>(
        std::min<int64_t>(int64_t{t.fino_a} - m_ + 1, static_cast<int64_t>(n - fatti)));
    const double k = t.k;
    // A straight metre has no curvature terms at all: adding 0 * d would turn -0.0 into +0.0.
    const auto passi = [&](auto curva) {
      for (int32_t i = 0; i < quanti; ++i) {
        double x = a0 + d0, y = a1 + d1;
        if constexpr (decltype(curva)::value) {
          x = a0 + d0 + k * d1;
          y = a1 + d1 - k * d0;
        }
        c0[fatti + static_cast<std::size_t>(i)] = x;
        c1[fatti + static_cast<std::size_t>(i)] = y;
        d0 = x - a0;
        d1 = y - a1;
        a0 = x;
        a1 = y;
      }
    };
    if (k == 0.0)
      passi(std::false_type{});
    else
      passi(std::true_type{});
    fatti += static_cast<std::size_t>(quanti);
    m_ += quanti;
    if (m_ > t.fino_a) ++tratto_;
  }
  a0_ = a0;
  a1_ = a1;
  d0_ = d0;
  d1_ = d1;
  return fatti;
}

void Linea::dimensiona(int32_t ultimo_metro) {
  ultimo_ = ultimo_metro < 0 ? -1 : ultimo_metro;
  origine_ = false;
  cursore_ = 2;
  tratti_.clear();
}

void Linea::imposta_origine() {
  if (ultimo_ < 1) throw ErroreLettura(detto(IdCausa::kPiantaVuota));
  origine_ = true;
  cursore_ = 2;
  tratti_.clear();
}

void Linea::prolunga(int64_t fino_a, double k) {
  if (fino_a < cursore_) return;
  if (!origine_) throw ErroreLettura(detto(IdCausa::kPiantaSenzaOrigine));
  const int32_t ultimo = static_cast<int32_t>(std::min<int64_t>(fino_a, ultimo_));
  if (ultimo >= cursore_) {
    if (!tratti_.empty() && tratti_.back().k == k)
      tratti_.back().fino_a = ultimo;
    else
      tratti_.push_back({ultimo, k});
    cursore_ = ultimo + 1;
  }
  if (fino_a > ultimo_)
    throw ErroreLettura(
        detto(IdCausa::kFuoriPianta, {{"M", int64_t{ultimo_} + 1}, {"U", ultimo_}}));
}

}  // namespace gs

// Encoding the line geometry file (format/geometria.h) from the line as the compiler keeps it:
// the integers of the origin, the computed metres walked again a batch at a time, then the
// empty metres, column 0 then column 1. A template over the line, so that the layout stays
// here while the walk that computes the metres stays with the compiler.
#ifndef GS_FORMAT_IMMAGINE_GEOMETRIA_H
#define GS_FORMAT_IMMAGINE_GEOMETRIA_H

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "format/geometria.h"

namespace gs {

// What the encoder asks of a line: its last metre, whether it has the origin, the metre the
// next computed value would go to, and a walk that hands out the computed metres from metre 2
// on, both columns at once, up to `n` at a time (0 at the end).
template <typename L>
concept LineaDaCodificare = requires(const L& l, typename L::Cammino c, double* v, std::size_t n) {
  { l.ultimo_metro() } -> std::convertible_to<int64_t>;
  { l.ha_origine() } -> std::convertible_to<bool>;
  { l.cursore() } -> std::convertible_to<int64_t>;
  requires std::constructible_from<typename L::Cammino, const L&>;
  { c.prossimi(v, v, n) } -> std::convertible_to<std::size_t>;
};

// What a column holds: integers at metres 0 and 1, computed doubles, then empty metres.
struct FormaGeometria {
  int64_t interi = 0;
  int64_t reali = 0;
  int64_t vuoti = 0;
  // The bytes of one column; the file holds two.
  uint64_t byte() const {
    return static_cast<uint64_t>(interi) * kByteIntero + static_cast<uint64_t>(reali) * kByteReale +
           static_cast<uint64_t>(vuoti) * kByteVuoto;
  }
};

template <LineaDaCodificare L>
FormaGeometria forma_geometria(const L& linea) {
  const int64_t metri = int64_t{linea.ultimo_metro()} + 1;
  FormaGeometria f;
  if (linea.ha_origine()) {
    f.interi = std::min<int64_t>(kMetriOrigine, metri);
    f.reali = linea.cursore() - kMetriOrigine;
  }
  f.vuoti = metri - f.interi - f.reali;
  return f;
}

// The bytes `scarica(blocco)` is handed at a time: the image of a long line is about 20 MB and
// is never held whole.
inline constexpr std::size_t kBloccoGeometria = 1 << 18;

// The image, column 0 then column 1, one walk of the line each, handed to `scarica(dati)` a
// block at a time.
template <LineaDaCodificare L, typename Scarica>
void codifica_geometria(const L& linea, Scarica&& scarica) {
  constexpr std::size_t kElementoMassimo = kByteReale;  // the largest value
  const FormaGeometria f = forma_geometria(linea);
  std::string blocco;
  constexpr std::size_t kLotto = 4096;
  blocco.reserve(kBloccoGeometria + kLotto * kElementoMassimo);
  const auto spazio = [&] {
    if (blocco.size() + kElementoMassimo > kBloccoGeometria) {
      scarica(blocco);
      blocco.clear();
    }
  };
  auto v0 = std::make_unique<double[]>(kLotto);
  auto v1 = std::make_unique<double[]>(kLotto);
  for (const int colonna : {0, 1}) {
    // Metres 0 and 1 are the integers (0, 0) and (0, 1).
    for (int64_t m = 0; m < f.interi; ++m) put_intero(blocco, intero_origine(colonna, m));
    typename L::Cammino cammino(linea);
    while (const std::size_t n = cammino.prossimi(v0.get(), v1.get(), kLotto)) {
      // A batch of computed metres, each its kind word and its double, encoded in place.
      const double* v = colonna == 0 ? v0.get() : v1.get();
      const std::size_t inizio = blocco.size();
      blocco.resize(inizio + n * kByteReale);
      for (std::size_t i = 0; i < n; ++i)
        metti_reale(blocco.data() + inizio + i * kByteReale, v[i]);
      spazio();
    }
    for (int64_t m = 0; m < f.vuoti; ++m) {
      spazio();
      put_vuoto(blocco);
    }
  }
  scarica(blocco);
}

// The whole image in memory: for small lines (the tests, the served views).
template <LineaDaCodificare L>
std::string immagine_geometria(const L& linea) {
  std::string tutto;
  tutto.reserve(2 * forma_geometria(linea).byte());
  codifica_geometria(linea, [&](const std::string& blocco) { tutto += blocco; });
  return tutto;
}

}  // namespace gs

#endif  // GS_FORMAT_IMMAGINE_GEOMETRIA_H

// `linea`: the plan-view geometry, two plan coordinates per metre from metre 0 to N = line
// length + kMetriOltreLinea (format/formato.h). Metres 0 and 1 hold the integers (0, 0) and
// (0, 1), the metres the reader computes hold doubles and lie back to back from metre 2, the
// rest stay empty.
//
// Every computed metre follows from the two before it, so the table is kept as the runs that
// produced it (up to which metre, with which curvature) and walked again when it is written:
// the 16 MB of doubles of the longest line never need to be held in memory.
#ifndef GS_COMPILER_LINEA_H
#define GS_COMPILER_LINEA_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gs {

class Linea {
  struct Tratto {
    int32_t fino_a;  // last metre of the run
    double k;        // curvature, 0 for straight
  };

 public:
  // Metres 0 to `ultimo_metro`, all empty.
  void dimensiona(int32_t ultimo_metro);
  bool dimensionata() const { return ultimo_ >= 0; }
  int32_t ultimo_metro() const { return ultimo_; }

  // Metre 0 = (0, 0), metre 1 = (0, 1), as integers: the track starts at the origin heading
  // along column 1.
  void imposta_origine();
  bool ha_origine() const { return origine_; }

  // The metre the next computed value goes to (2 after the origin).
  int32_t cursore() const { return cursore_; }

  // Computes metres cursore() to `fino_a`, each from the two before it: the last step, turned
  // by k radians per metre toward column 0 (k > 0, a right-hand curve) or away from it
  // (k < 0); k = 0 goes straight on. The step is not renormalised. Metres past N are a
  // reading failure, raised once the metres up to N are computed.
  void prolunga(int64_t fino_a, double k);

  // Walks the computed metres from metre 2 on, in order, a batch at a time: the walk is a
  // chain of dependent additions and runs fastest with nothing else inside its loop.
  class Cammino {
   public:
    explicit Cammino(const Linea& linea) : tratti_(linea.tratti_) {}
    // Fills `c0` and `c1` with up to `n` next metres; returns how many (0 at the end).
    std::size_t prossimi(double* c0, double* c1, std::size_t n);

   private:
    const std::vector<Tratto>& tratti_;
    std::size_t tratto_ = 0;
    int32_t m_ = 2;
    // From metres 0 (0, 0) and 1 (0, 1): the last point and the last step.
    double a0_ = 0.0, a1_ = 1.0, d0_ = 0.0, d1_ = 1.0;
  };

  // Calls `f(colonna0, colonna1)` for each computed metre from metre 2 on, in order.
  template <typename F>
  void percorri(F&& f) const;

 private:
  int32_t ultimo_ = -1;
  bool origine_ = false;
  int32_t cursore_ = 2;
  std::vector<Tratto> tratti_;
};

template <typename F>
void Linea::percorri(F&& f) const {
  Cammino cammino(*this);
  double c0[256], c1[256];
  while (const std::size_t n = cammino.prossimi(c0, c1, 256))
    for (std::size_t i = 0; i < n; ++i) f(c0[i], c1[i]);
}

}  // namespace gs

#endif  // GS_COMPILER_LINEA_H

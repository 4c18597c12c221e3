// `linea`: the plan-view geometry, two plan coordinates per metre from metre 0 to N = line
// length + 7000. Metres 0 and 1 hold 16-bit integers, the metres the reader computes hold
// doubles and lie back to back from metre 2, the rest stay empty; so only the doubles are kept.
#ifndef GS_COMPILER_LINEA_H
#define GS_COMPILER_LINEA_H

#include <cstdint>
#include <vector>

namespace gs {

class Linea {
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
  int32_t cursore() const { return static_cast<int32_t>(x_.size()) + 2; }
  // Appends the computed coordinates of metre cursore(); a reading failure past metre N.
  void aggiungi(double colonna0, double colonna1);

  // The coordinates of a metre below cursore() (metres 0 and 1 as their integer values).
  double colonna0(int32_t metro) const;
  double colonna1(int32_t metro) const;

  // The computed metres from metre 2 on.
  const std::vector<double>& calcolati0() const { return x_; }
  const std::vector<double>& calcolati1() const { return y_; }

 private:
  int32_t ultimo_ = -1;
  bool origine_ = false;
  std::vector<double> x_;
  std::vector<double> y_;
};

}  // namespace gs

#endif  // GS_COMPILER_LINEA_H

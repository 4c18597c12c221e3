// The track grid: one cell per 50 m of line, the placers that mark points in it, and the pass
// that adds code-change points around slowdowns.
#ifndef GS_GRID_GRIGLIA_H
#define GS_GRID_GRIGLIA_H

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "common/errori.h"

namespace gs {

// Kinds of point a cell can hold (`tipo`). Stored in the compiled grid: never renumber.
enum TipoCella : uint8_t {
  kLibera = 0,
  kSegnale = 1,
  kFineRallentamento = 2,
  kInizioRallentamento = 3,
  kAvvisoRallentamento = 4,
  kPreavvisoRallentamento = 5,
  kIndicatoreVelocita = 6,
  kStazione = 10,
  kMarcaMontagna = 11,
  kCodice = 12,
  kAbbattimento = 13,
  kCartelloIndicatore = 14,
};

struct Cella {
  uint8_t tipo = 0;
  int16_t dato1 = 0;
  int16_t dato2 = 0;
  int16_t dato3 = 0;
  int16_t dato4 = 0;
  uint8_t tempo = 0;
  uint8_t preavviso = 0;
  uint8_t montagna = 0;
  uint8_t velocita = 0;   // km/h divided by 5
  uint8_t pendenza = 0;   // per mille plus 100
  uint8_t aderenza = 0;
};

// A mountain marker is only a hint: any point may take its cell.
inline bool libera(const Cella& c) { return c.tipo == kLibera || c.tipo == kMarcaMontagna; }

// `celle`: indices 0 to U. Every access is checked; one outside the grid is a reading failure.
class Celle {
 public:
  // Sizes the grid to indices 0 to `ultimo`, every field zero.
  void dimensiona(int32_t ultimo);
  bool dimensionata() const { return !celle_.empty(); }
  // U, the upper index (-1 while the grid is not sized).
  int32_t ultimo() const { return static_cast<int32_t>(celle_.size()) - 1; }
  bool contiene(int64_t i) const { return i >= 0 && i < static_cast<int64_t>(celle_.size()); }

  Cella& operator[](int64_t i);
  const Cella& operator[](int64_t i) const;

  std::span<const Cella> tutte() const { return celle_; }

 private:
  [[noreturn]] void fuori(int64_t i) const;
  std::vector<Cella> celle_;
};

// Span starts and ends of `memo_montagna`, entries 1 to 80.
struct Montagne {
  static constexpr int32_t kMassimo = 80;
  std::array<int32_t, kMassimo + 1> inizi{};
  std::array<int32_t, kMassimo + 1> fini{};
  int32_t conta = 0;
};

// The placers record their conflict errors (16 to 21) in the register without a position;
// the caller attaches the record's position.
void memo_montagna(Celle& celle, Montagne& montagne, int32_t inizio, int32_t fine, int32_t& tipo);
void memo_rallentamento(Celle& celle, Registro& registro, int32_t x, int32_t v, int32_t l,
                        int32_t f_tt, int32_t f_ta, int32_t d_v);
void memo_segnale(Celle& celle, Registro& registro, int32_t posizione, int32_t sx, int32_t s1,
                  int32_t s2, int32_t s3, int32_t rapp, int32_t dx, int32_t d1, int32_t d2,
                  int32_t d3, int32_t& tempo);
void memo_indicatori_v_max(Celle& celle, Registro& registro, int32_t posizione, int32_t vas,
                           int32_t vbs, int32_t vcs, int32_t strisces, int32_t vad, int32_t vbd,
                           int32_t vcd, int32_t strisced);

// The smaller code: y when x > y, else x.
inline int32_t minimo(int32_t x, int32_t y) { return x > y ? y : x; }

// Places code points (kind 12, code 180) ahead of signals and slowdowns; errors 11 to 13.
// Never touches a cell outside the grid: such a cell counts as taken.
void passa_codici(Celle& celle, Registro& registro);

}  // namespace gs

#endif  // GS_GRID_GRIGLIA_H

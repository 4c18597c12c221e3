// The track grid: one cell per 50 m of line, the placers that mark points in it, and the pass
// that adds code-change points around slowdowns.
#ifndef GS_GRID_GRIGLIA_H
#define GS_GRID_GRIGLIA_H

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/diagnostica.h"
#include "common/errori.h"
#include "format/formato.h"
#include "format/punti.h"

namespace gs {

// The source record that put a point into cells, for diagnostics: where it stands and what it
// is ("the slowdown at 9000 m", "station ALFA"). A code point the compiler placed has the
// origin of the point it was placed for, marked as placed.
struct Origine {
  Luogo luogo;
  std::string cosa;
  bool posto = false;  // a code point placed for the point `cosa` names

  // "the slowdown at 9000 m", or "the code point placed for the slowdown at 9000 m".
  std::string detto() const { return posto ? "the code point placed for " + cosa : cosa; }
};

// `celle`: indices 0 to U. Every access is checked; one outside the grid is a reading failure.
// Beside each cell the grid keeps the origin of its point, which the compiled files do not hold.
class Celle {
 public:
  // Sizes the grid to indices 0 to `ultimo`, every field zero, no origins.
  void dimensiona(int32_t ultimo);
  bool dimensionata() const { return !celle_.empty(); }
  // U, the upper index (-1 while the grid is not sized).
  int32_t ultimo() const { return static_cast<int32_t>(celle_.size()) - 1; }
  bool contiene(int64_t i) const { return i >= 0 && i < static_cast<int64_t>(celle_.size()); }

  Cella& operator[](int64_t i);
  const Cella& operator[](int64_t i) const;

  std::span<const Cella> tutte() const { return celle_; }

  // A new origin, and its number for segna(); 0 means none.
  uint32_t nuova_origine(Origine o);
  // Cell `i` now holds a point of origin `o`.
  void segna(int64_t i, uint32_t o) { origini_[static_cast<std::size_t>(indice(i))] = o; }
  uint32_t numero_origine(int64_t i) const {
    return contiene(i) ? origini_[static_cast<std::size_t>(i)] : 0;
  }
  // The origin of cell `i`'s point, or nullptr.
  const Origine* origine(int64_t i) const;
  const Origine* origine_numero(uint32_t o) const;
  // What holds cell `i`, for a message: "the start of the slowdown at 9000 m from t.txt:16".
  std::string descrivi(int64_t i) const;
  // The same as a related place of a diagnostic; nothing when the cell has no origin.
  std::vector<Correlato> correlati(int64_t i) const;

 private:
  std::string cosa(int64_t i) const;
  int64_t indice(int64_t i) const;
  [[noreturn]] void fuori(int64_t i) const;
  std::vector<Cella> celle_;
  std::vector<uint32_t> origini_;
  std::vector<Origine> elenco_origini_;
};

// Span starts and ends of `memo_montagna`, entries 1 to 80.
struct Montagne {
  static constexpr int32_t kMassimo = 80;
  std::array<int32_t, kMassimo + 1> inizi{};
  std::array<int32_t, kMassimo + 1> fini{};
  int32_t conta = 0;
};

// What a placer did with its record. The placers record nothing themselves: the reader that
// called them records the refusal at its record, with the record's position.
struct Posa {
  int32_t errore = 0;  // 0 placed; 16 to 21 a taken cell; 25 a cell or value that does not fit
  int64_t cella = 0;   // the taken cell, or the one outside the grid
  Detto motivo;        // what went wrong, in words an author can act on
  int argomento = 0;   // the placer's argument (from 0) whose value is the cause
  bool riuscita() const { return errore == 0; }
};

// Each placer marks the cells it claims with origin `da`.
Posa memo_montagna(Celle& celle, Montagne& montagne, int32_t inizio, int32_t fine, int32_t& tipo,
                   uint32_t da = 0);
Posa memo_rallentamento(Celle& celle, int32_t x, int32_t v, int32_t l, int32_t f_tt, int32_t f_ta,
                        int32_t d_v, uint32_t da = 0);
Posa memo_segnale(Celle& celle, int32_t posizione, const Segnale& s, int32_t& tempo,
                  uint32_t da = 0);
Posa memo_indicatori_v_max(Celle& celle, int32_t posizione, const IndicatoreVelocita& v,
                           uint32_t da = 0);

// The smaller code: y when x > y, else x.
inline int32_t minimo(int32_t x, int32_t y) { return x > y ? y : x; }

// Places code points (kind 12, code 180) ahead of signals and slowdowns; errors 11 to 13,
// each recorded at the signal or slowdown it concerns. Never touches a cell outside the grid:
// such a cell counts as taken.
void passa_codici(Celle& celle, Registro& registro);

}  // namespace gs

#endif  // GS_GRID_GRIGLIA_H

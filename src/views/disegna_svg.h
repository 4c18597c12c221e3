// Drawing helpers the route sheet shares between its plan view and its profiles.
#ifndef GS_VIEWS_DISEGNA_SVG_H
#define GS_VIEWS_DISEGNA_SVG_H

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "format/formato.h"
#include "format/percorrenza.h"
#include "views/disegna.h"
#include "views/ispeziona.h"

namespace gs::svg {

// Generic families only: the sheet must render anywhere without a font file beside it.
inline constexpr const char* kCarattere = "DejaVu Sans, Arial, Helvetica, sans-serif";

// A coordinate with one decimal, trailing zeros dropped; non-finite values as 0.
std::string num(double v);

// An estimate of a text's width in pixels at a font size, enough to keep labels apart.
double larghezza_testo(std::string_view utf8, double corpo);

struct Punto {
  double x = 0, y = 0;
};

struct Rettangolo {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool interseca(const Rettangolo& r, double margine = 0) const {
    return x0 - margine < r.x1 && r.x0 < x1 + margine && y0 - margine < r.y1 && r.y0 < y1 + margine;
  }
};

// The SVG body being built, element by element.
class Foglio {
 public:
  void linea(double x1, double y1, double x2, double y2, std::string_view stile);
  void rettangolo(double x, double y, double l, double a, std::string_view stile);
  void cerchio(double x, double y, double r, std::string_view stile);
  // `testo` is UTF-8; it is escaped here.
  void testo(double x, double y, std::string_view testo, std::string_view stile,
             std::string_view ancora = "start", double rotazione = 0);
  void grezzo(std::string_view elementi) { corpo_ += elementi; }
  const std::string& corpo() const { return corpo_; }

 private:
  std::string corpo_;
};

// The plan view of the line, drawn into `foglio` in the box from (x, y) of width `larghezza`.
// Returns the height it took, at most `altezza_massima`. With a window, only the metres in it
// are drawn, fitted to the box and turned by their own chord.
double disegna_pianta(Foglio& foglio, const Geometria& geometria, const Stazioni& tabella,
                      int64_t lunghezza, const std::optional<Finestra>& finestra, double x,
                      double y, double larghezza, double altezza_massima);

// Where the strips put the metres of the line: from `sinistra`, `larghezza` pixels wide, for
// the metres `da` to `a`.
struct AsseLinea {
  double sinistra = 0, larghezza = 0;
  int64_t da = 0, a = 1;
  double x(double metri) const {
    return sinistra + (metri - static_cast<double>(da)) / static_cast<double>(a - da) * larghezza;
  }
};

// The timetable lane in the box from y, `altezza` high: the scheduled times of the stations that
// have one (0:00:00 is none) against the fastest run the speed limits and `rallentati` allow from
// the first of them, time rising upward; a stretch the timetable makes faster than possible is
// marked, its warning's words in its tooltip. `fonte(cella)` gives the data-fonte attribute of
// a cell's mark, or "".
void disegna_orario(Foglio& foglio, const Stazioni& tabella, std::span<const Cella> celle,
                    std::span<const Rallentato> rallentati, const AsseLinea& asse, double y,
                    double altezza, const std::function<std::string(int64_t)>& fonte);

}  // namespace gs::svg

#endif  // GS_VIEWS_DISEGNA_SVG_H

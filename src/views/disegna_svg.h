// Drawing helpers the route sheet shares between its plan view and its profiles.
#ifndef GS_VIEWS_DISEGNA_SVG_H
#define GS_VIEWS_DISEGNA_SVG_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "format/formato.h"
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

}  // namespace gs::svg

#endif  // GS_VIEWS_DISEGNA_SVG_H

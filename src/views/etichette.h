// Where the route sheet's labels go without overlapping: in a row along a lane of the points
// strip, where only their spacing along the line can clash, and in the plan view, where a
// label may move above or below its point and must also keep off the drawn line.
#ifndef GS_VIEWS_ETICHETTE_H
#define GS_VIEWS_ETICHETTE_H

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "views/disegna_svg.h"

namespace gs::svg {

// A label of a lane: its text, centred at x.
struct Etichetta {
  double x = 0;
  std::string testo;
};

// Writes at height y, centred on their points, the labels of a lane that fit side by side, in
// the order of the line: where two would overlap, the later one is left out. Their tooltips
// keep what is left out.
void scrivi_in_fila(Foglio& foglio, const std::vector<Etichetta>& etichette, double y, double corpo,
                    std::string_view stile);

// The labels of the plan view, placed one after the other: each takes the nearest place above
// or below its point that is clear of the labels placed before it, and of the line if it can.
class PostiPianta {
 public:
  // `riquadro`: the box labels stay inside; `tracciato`: the points of the drawn line.
  PostiPianta(const Rettangolo& riquadro, std::vector<Punto> tracciato)
      : riquadro_(riquadro), tracciato_(std::move(tracciato)) {}

  // Keeps an area free of labels, such as a mark drawn there.
  void occupa(const Rettangolo& r) { occupati_.push_back(r); }

  // Writes the label and returns true, or returns false when every place is taken by another
  // label. With `con_riga`, a label pushed far from its point gets a leader line to it.
  bool scrivi(Foglio& foglio, Punto p, const std::string& testo, double corpo,
              std::string_view stile, bool con_riga);

 private:
  struct Posto {
    Rettangolo r;
    double scarto = 0;  // from the point, negative above it
  };
  std::optional<Posto> cerca_posto(Punto p, double larghezza, double corpo) const;
  bool libero(const Rettangolo& r) const;
  bool sul_tracciato(const Rettangolo& r) const;

  Rettangolo riquadro_;
  std::vector<Punto> tracciato_;
  std::vector<Rettangolo> occupati_;
};

}  // namespace gs::svg

#endif  // GS_VIEWS_ETICHETTE_H

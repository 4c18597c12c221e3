// The route sheet: one self-contained SVG drawing of a compiled scenario, with the plan view
// of the line above and, along the line in km, the chainage, the points, the elevation, the
// speed limit, the adhesion and the mountain sides below it.
#ifndef GS_VIEWS_DISEGNA_H
#define GS_VIEWS_DISEGNA_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format/formato.h"
#include "format/percorrenza.h"
#include "views/fonti.h"
#include "views/ispeziona.h"

namespace gs {

// The part of the line to draw, in metres from the line's start.
struct Finestra {
  int64_t da = 0;
  int64_t a = 0;
};

struct OpzioniTavola {
  // None: the whole line, as `plot` draws it. A window is clamped to the sheet's extent and
  // widened to at least 100 m; an inverted one is turned round.
  std::optional<Finestra> finestra;
  // None: no source places. With them, each mark of a cell that has one carries
  // data-fonte="N" (its index in `voci`) and says in its tooltip where it came from.
  const Fonti* fonti = nullptr;
  // The slowdowns as their records give them, for the timetable lane. None: as the grid holds
  // them, each from the point of its start cell to that of its end cell.
  const std::vector<Rallentato>* rallentati = nullptr;
};

// `geometria` is null when the scenario was compiled without one: the sheet then says so in
// place of the plan view. With a window or sources, the root element also carries the window
// drawn and the whole extent as data-da, data-a and data-estensione, for a page that pans.
std::string disegna_tavola(const Stazioni& tabella, const std::vector<Cella>& celle,
                           const Geometria* geometria, const OpzioniTavola& opzioni);
// The whole line, with no source places: what `plot` writes.
std::string disegna_tavola(const Stazioni& tabella, const std::vector<Cella>& celle,
                           const Geometria* geometria);

// The metres the whole sheet spans, from 0: the line and what stands past its end, with a
// little run-out.
int64_t estensione_tavola(const Stazioni& tabella, const std::vector<Cella>& celle);

// UTF-8 text made safe for XML character data and attribute values.
std::string testo_xml(std::string_view utf8);

// Elevation in metres at the start of every cell (index k = 50 k m) and at the end of the
// last, integrated from the cells' gradients from 0 at the start of cell 0.
std::vector<double> quote(const std::vector<Cella>& celle);

// Labels along one axis: which of them can be drawn without overlapping the one kept before,
// given their centres and widths in pixels, in increasing order of centre. `priorita` ones
// (true) are kept first; the others fill the gaps.
std::vector<bool> dirada(const std::vector<double>& centri, const std::vector<double>& larghezze,
                         double spazio, const std::vector<bool>& priorita = {});

}  // namespace gs

#endif  // GS_VIEWS_DISEGNA_H

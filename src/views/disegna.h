// The route sheet: one self-contained SVG drawing of a compiled scenario, with the plan view
// of the line above and, along the line in km, the chainage, the points, the elevation, the
// speed limit, the adhesion and the mountain sides below it.
#ifndef GS_VIEWS_DISEGNA_H
#define GS_VIEWS_DISEGNA_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formato/formato.h"
#include "views/ispeziona.h"

namespace gs {

// `geometria` is null when the scenario was compiled without one: the sheet then says so in
// place of the plan view.
std::string disegna_tavola(const Stazioni& tabella, const std::vector<Cella>& celle,
                           const Geometria* geometria);

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

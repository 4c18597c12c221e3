// Where each grid cell's point came from in the sources. The commands build it from a compile;
// the views only read it, so that a mark on the route sheet can lead back to the line that
// put it there.
#ifndef GS_VIEWS_FONTI_H
#define GS_VIEWS_FONTI_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gs {

struct FonteCella {
  std::string file;  // as the author named it (UTF-8)
  int32_t riga = 0;  // from 1
  int32_t colonna = 0;
  // What the line made, for the reader: "the signal at 9000 m", "the code point placed for
  // the slowdown at 9000 m".
  std::string cosa;
  // For a code point the compiler placed, the point it was placed for ("the slowdown at
  // 9000 m"); empty otherwise.
  std::string posto_per;
};

struct Fonti {
  std::vector<int32_t> per_cella;  // index into `voci` for each grid cell, -1 for none
  std::vector<FonteCella> voci;

  // The source of a cell's point; null when it has none, or the cell or its index is out of
  // range, so that a list built for another compile can never read past its end.
  const FonteCella* di(std::size_t cella) const {
    if (cella >= per_cella.size()) return nullptr;
    const int32_t i = per_cella[cella];
    if (i < 0 || static_cast<std::size_t>(i) >= voci.size()) return nullptr;
    return &voci[static_cast<std::size_t>(i)];
  }
};

}  // namespace gs

#endif  // GS_VIEWS_FONTI_H

// The track grid file: every cell from index 0 up, kRecordCella bytes each in the field order
// of kCampiCella. The compiler writes it with immagine_griglia and the tools that read compiled
// files decode it with decodifica_griglia.
#ifndef GS_FORMAT_GRIGLIA_H
#define GS_FORMAT_GRIGLIA_H

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "format/formato.h"

namespace gs {

std::string immagine_griglia(std::span<const Cella> celle);

// The cells of a track grid file: 15 bytes each, at least one; ErroreFormato
// (format/lettore.h) otherwise.
std::vector<Cella> decodifica_griglia(std::string_view byte);

}  // namespace gs

#endif  // GS_FORMAT_GRIGLIA_H

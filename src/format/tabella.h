// The scenario table file: the 87 records of the station and parameter table back to back, each
// in the field order of kCampiStazione. The compiler writes it with immagine_tabella and the
// tools that read compiled files decode it with decodifica_tabella.
#ifndef GS_FORMAT_TABELLA_H
#define GS_FORMAT_TABELLA_H

#include <string>
#include <string_view>

#include "format/formato.h"

namespace gs {

std::string immagine_tabella(const Stazioni& stazioni);

// The 87 records of a scenario table file. Exactly 87, with no byte left over; ErroreFormato
// (format/lettore.h) otherwise.
Stazioni decodifica_tabella(std::string_view byte);

}  // namespace gs

#endif  // GS_FORMAT_TABELLA_H

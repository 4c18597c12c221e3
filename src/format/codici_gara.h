// The race codes stamped into a compiled scenario, from the line and train names that the
// table's entries 85 and 86 hold: the writer stamps them, the viewers check them.
#ifndef GS_FORMAT_CODICI_GARA_H
#define GS_FORMAT_CODICI_GARA_H

#include <cstdint>
#include <string>

#include "format/formato.h"

namespace gs {

// The 25 characters of the race key: train name, line name, lower case, padded.
std::string chiave_gara(const Stazioni& stazioni);
int16_t codice_gara_og(const Stazioni& stazioni);
int32_t codice_gara_st(const Stazioni& stazioni);

}  // namespace gs

#endif  // GS_FORMAT_CODICI_GARA_H

// The compiled scenario on its way to disk: markers and race codes stamped, then the three files
// the simulator loads (line geometry, scenario table, track grid) written. Their byte layouts
// and encoders are format/'s.
#ifndef GS_OUTPUT_USCITA_H
#define GS_OUTPUT_USCITA_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/nomi_file.h"
#include "compiler/compilatore.h"
#include "format/codici_gara.h"

namespace gs {

// Stamps the markers and the race codes. Returns 0, or 1250 / 1251 when a slot was taken
// (then nothing more is stamped).
int32_t timbra(Compilazione& c);

// The geometry image is large: it is streamed to `destinazione` in blocks.
void scrivi_geometria(const std::filesystem::path& destinazione, const Linea& linea);

// A compiled file written, and its size.
struct FileScritto {
  std::filesystem::path percorso;
  uint64_t byte = 0;
};

// Writes the geometry (when `j` is not 0), the table and the grid, in that order, each
// replacing an earlier file whole.
std::vector<FileScritto> scrivi_compilati(const Compilazione& c, const NomiFile& nomi);

}  // namespace gs

#endif  // GS_OUTPUT_USCITA_H

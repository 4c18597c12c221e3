// Where something stands in a source file.
#ifndef GS_COMMON_LUOGO_H
#define GS_COMMON_LUOGO_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace gs {

struct Luogo {
  std::string file;             // as the author named it; empty while not known
  int32_t riga = 0;             // from 1; 0 = the file as a whole
  int32_t colonna = 0;          // byte column from 1; 0 = the line as a whole
  std::size_t inizio_riga = 0;  // byte offset of the line in the file, to quote it
};

}  // namespace gs

#endif  // GS_COMMON_LUOGO_H

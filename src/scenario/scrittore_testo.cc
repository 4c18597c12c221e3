#include "scenario/scrittore_testo.h"

#include "common/file_system.h"

namespace gs {

std::string componi_testo(std::span<const std::string_view> slot) {
  std::string testo;
  for (std::size_t i = 0; i < slot.size() && i < kSlotTesto; ++i) {
    if (slot[i] == kFineFile) break;
    testo += slot[i];
    testo += "\r\n";
  }
  return testo;
}

void scrivi_testo(const std::filesystem::path& file, std::span<const std::string_view> slot) {
  scrivi_file(file, componi_testo(slot));
}

}  // namespace gs

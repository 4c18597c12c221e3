// The one writer of every text file the run produces: a table of line slots ended by the
// end-marker slot, written as Windows-1252 lines each ended by CR LF.
#ifndef GS_SCENARIO_SCRITTORE_TESTO_H
#define GS_SCENARIO_SCRITTORE_TESTO_H

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace gs {

// The slot that ends a table; never written itself.
inline constexpr std::string_view kFineFile = "riferimento fine del file";
// A table has slots 0 to 1000; the writer never looks past them.
inline constexpr std::size_t kSlotTesto = 1001;

// The bytes of the file: every slot before the end marker (or before slot 1001) plus CR LF.
std::string componi_testo(std::span<const std::string_view> slot);

// Replaces `file` whole with the composed text.
void scrivi_testo(const std::filesystem::path& file, std::span<const std::string_view> slot);

}  // namespace gs

#endif  // GS_SCENARIO_SCRITTORE_TESTO_H

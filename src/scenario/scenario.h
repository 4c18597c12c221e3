// The one line and the one train run the program carries, as the two source files it writes
// and then compiles. Each table holds the file's lines in order followed by the end-marker slot.
#ifndef GS_SCENARIO_SCENARIO_H
#define GS_SCENARIO_SCENARIO_H

#include <filesystem>
#include <span>
#include <string_view>

namespace gs {

// The 454 lines of the line source, then the end marker.
std::span<const std::string_view> righe_linea();
// Writes the line source as `file`, replacing any earlier one whole.
void dati_linea(const std::filesystem::path& file);

// The 104 lines of the train source, then the end marker.
std::span<const std::string_view> righe_treno();
// Writes the train source as `file`, replacing any earlier one whole.
void dati_treno(const std::filesystem::path& file);

// The small scenario of the authors' guide, which `new` writes under the author's names: its
// line source and its train source, each followed by the end marker.
std::span<const std::string_view> righe_linea_esempio();
std::span<const std::string_view> righe_treno_esempio();

}  // namespace gs

#endif  // GS_SCENARIO_SCENARIO_H

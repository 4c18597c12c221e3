// The three crew documents that go with the scenario: fixed texts for the driver, written
// beside the compiled files and never read back by the program.
#ifndef GS_DOCUMENTS_DOCUMENTI_H
#define GS_DOCUMENTS_DOCUMENTI_H

#include <filesystem>
#include <span>
#include <string_view>

namespace gs {

// Train card: 56 lines, then the end marker.
std::span<const std::string_view> righe_scheda();
void dati_scheda(const std::filesystem::path& file);

// Slowdown order: 47 lines, then the end marker.
std::span<const std::string_view> righe_rallentamenti();
void dati_rallentamenti(const std::filesystem::path& file);

// Route notes: 80 lines, then the end marker.
std::span<const std::string_view> righe_note();
void dati_note(const std::filesystem::path& file);

}  // namespace gs

#endif  // GS_DOCUMENTS_DOCUMENTI_H

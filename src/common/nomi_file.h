// Every file name of a run, built from the folder and the line and train names.
#ifndef GS_COMMON_NOMI_FILE_H
#define GS_COMMON_NOMI_FILE_H

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace gs {

struct NomiFile {
  std::filesystem::path sorgente_linea;  // L "_linea.txt"
  std::filesystem::path sorgente_treno;  // L "_" T "-.txt"
  std::filesystem::path note;            // L "_" T "_note.txt"
  std::filesystem::path rallentamenti;   // L "_" T "_rallentamenti.txt"
  std::filesystem::path scheda_treno;    // L "_" T "_scheda_treno.txt"
  std::filesystem::path geometria;       // L "_linea.dat"
  std::filesystem::path tabella;         // L "_" T ".sim"
  std::filesystem::path griglia;         // L "_" T ".dat"
};

// Why a line or train name (Windows-1252) cannot name files on every platform the simulator
// runs on, if it cannot: a character Windows forbids in file names (\ / : * ? " < > |), a
// control character (0x00 to 0x1F, or DEL), more than 65535 bytes (the table's limit), or
// files whose stem (the part before the first dot) would be a device name (CON, PRN, AUX, NUL,
// COM1 to COM9, LPT1 to LPT9, in any case). `quale` names the name in the message.
std::optional<std::string> nome_non_valido(std::string_view nome, std::string_view quale);
std::optional<std::string> nomi_riservati(std::string_view nome_linea, std::string_view nome_treno);

// `nome_linea` and `nome_treno` are Windows-1252 text; on disk the names are UTF-8.
NomiFile nomi_file(const std::filesystem::path& cartella, std::string_view nome_linea,
                   std::string_view nome_treno);

// The character of the UTF-8 sequence that starts at byte `i`, and its length in bytes; nothing
// when the bytes there are not a well-formed sequence (overlong two-byte forms included).
struct CarattereUtf8 {
  char32_t punto = 0;
  std::size_t lunghezza = 0;
};
std::optional<CarattereUtf8> leggi_utf8(std::string_view testo, std::size_t i);

// Windows-1252 bytes as UTF-8 (undefined code points map to U+FFFD).
std::string utf8_da_1252(std::string_view testo);
// UTF-8 as Windows-1252; false when a character has no Windows-1252 byte or the input is not
// UTF-8 at all.
bool utf8_a_1252(std::string_view testo, std::string& uscita);

}  // namespace gs

#endif  // GS_COMMON_NOMI_FILE_H

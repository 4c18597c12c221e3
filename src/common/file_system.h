// The few file operations the run needs. Outputs are written under a temporary name in the
// same folder and renamed into place, so a failure never leaves a truncated file behind.
#ifndef GS_COMMON_FILE_SYSTEM_H
#define GS_COMMON_FILE_SYSTEM_H

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "piattaforma/piattaforma.h"

namespace gs {

bool esiste(const std::filesystem::path& file);

// The whole content of a file; ErroreFile naming the file and the system's reason.
std::string leggi_file(const std::filesystem::path& file);

// Removes a file if it is there; ErroreFile when it is there and cannot be removed.
void cancella(const std::filesystem::path& file);

// A file being written. Nothing is visible under the final name until conferma().
// Destroyed without conferma(), it removes its temporary file and leaves the old one as it was.
class FileNuovo {
 public:
  explicit FileNuovo(std::filesystem::path destinazione);
  ~FileNuovo();
  FileNuovo(const FileNuovo&) = delete;
  FileNuovo& operator=(const FileNuovo&) = delete;

  void scrivi(const void* dati, std::size_t n);
  void scrivi(std::string_view dati) { scrivi(dati.data(), dati.size()); }
  // Flushes, closes and renames the file into place, replacing any file of that name whole.
  void conferma();

 private:
  void svuota();
  void scrivi_tutto(const char* dati, std::size_t n);
  [[noreturn]] void fallisci(const char* azione, std::error_code ec);

  std::filesystem::path destinazione_;
  piattaforma::FileTemporaneo file_;
  std::string buffer_;
};

// Writes `dati` as the whole new content of `file`.
void scrivi_file(const std::filesystem::path& file, std::string_view dati);

}  // namespace gs

#endif  // GS_COMMON_FILE_SYSTEM_H

// The few file operations the run needs. Outputs are written under a temporary name in the
// same folder and renamed into place, so a failure never leaves a truncated file behind.
#ifndef GS_COMMON_FILE_SYSTEM_H
#define GS_COMMON_FILE_SYSTEM_H

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/piattaforma.h"

namespace gs {

bool esiste(const std::filesystem::path& file);

// Whether two names are one file: the same file now, or the same name once links are followed
// (for a file not made yet).
bool stesso_file(const std::filesystem::path& a, const std::filesystem::path& b);

// The largest file any command reads: a source or a compiled file. A line of 1,000,000 m with
// a record every 50 m is under 2 MB; a larger file is a mistake (a wrong file, an archive, an
// endless device), refused before it is read rather than read until memory runs out.
inline constexpr std::uint64_t kMassimoFileLetto = 64u << 20;

// The whole content of a regular file of at most kMassimoFileLetto bytes; ErroreFile naming
// the file and the reason (the system's, or that it is not a regular file or too large). It
// never waits: a FIFO is refused, not read.
std::string leggi_file(const std::filesystem::path& file);

// Removes a file if it is there; ErroreFile when it is there and cannot be removed.
void cancella(const std::filesystem::path& file);

// The folder held for this process's writing: another run that writes into the same folder
// waits until this one lets go, so the files of two runs never mix. Within the process the
// lock is shared (one run, one writer): a FileNuovo in a folder a caller already holds does not
// wait for itself. `in_attesa` is called once, with the folder, before a wait.
class BloccoScrittura {
 public:
  explicit BloccoScrittura(const std::filesystem::path& cartella,
                           const std::function<void(const std::filesystem::path&)>& in_attesa = {});
  ~BloccoScrittura();
  BloccoScrittura(const BloccoScrittura&) = delete;
  BloccoScrittura& operator=(const BloccoScrittura&) = delete;

 private:
  std::filesystem::path chiave_;
};

// Removes what a run that died while writing `destinazione` left of it: its temporary files
// ("NAME.tmp-XXXXXX" beside it). Only under the folder's BloccoScrittura, where no live run
// is writing them.
void rimuovi_temporanei_rimasti(const std::filesystem::path& destinazione);

// Where a write to `percorso` lands: a symbolic link is followed, through a chain of them, to
// the file it names, so that the link stays a link and its target is what gets replaced.
std::filesystem::path destinazione_reale(const std::filesystem::path& percorso);

// A file being written. Nothing is visible under the final name until conferma().
// Destroyed without conferma(), it removes its temporary file and leaves the old one as it was.
// It holds its folder's BloccoScrittura while it lives, and first removes the temporary files
// a dead run left of the same file. A symbolic link is followed (destinazione_reale): the
// temporary file, the lock and the rename are all at its target. What is there and is neither a
// regular file nor a folder (a device such as /dev/null, a FIFO) is never replaced: it is
// written straight through, as compilers write to it.
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

  std::filesystem::path nome_;          // as given, for the messages
  std::filesystem::path destinazione_;  // where it lands
  std::optional<BloccoScrittura> blocco_;
  piattaforma::FileTemporaneo file_;
  std::string buffer_;
};

// Writes `dati` as the whole new content of `file`.
void scrivi_file(const std::filesystem::path& file, std::string_view dati);

}  // namespace gs

#endif  // GS_COMMON_FILE_SYSTEM_H

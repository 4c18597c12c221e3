// The platform on POSIX systems: file names are bytes, files are descriptors, and the built-in
// run speaks through the console.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>

#include "piattaforma/piattaforma.h"

namespace gs::piattaforma {
namespace {

std::error_code dall_errno(int err) { return {err, std::generic_category()}; }

mode_t permessi_nuovi() {
  const mode_t m = umask(0);
  umask(m);
  return 0666 & ~m;
}

}  // namespace

std::filesystem::path percorso(std::string_view utf8) { return std::string(utf8); }

std::filesystem::path cartella_programma() {
  std::error_code ec;
  const std::filesystem::path programma = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path();
  return programma.parent_path();
}

bool esiste(const std::filesystem::path& file) {
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0;
}

std::error_code leggi_tutto(const std::filesystem::path& file, std::string& dati) {
  dati.clear();
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return dall_errno(errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    return dall_errno(err);
  }
  if (st.st_size > 0) dati.reserve(static_cast<std::size_t>(st.st_size));
  char blocco[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, blocco, sizeof blocco);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      return dall_errno(err);
    }
    if (n == 0) break;
    dati.append(blocco, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return {};
}

std::error_code rimuovi(const std::filesystem::path& file) {
  if (::unlink(file.c_str()) != 0 && errno != ENOENT) return dall_errno(errno);
  return {};
}

std::error_code FileTemporaneo::crea(const std::filesystem::path& destinazione) {
  scarta();
  std::string nome = destinazione.string() + ".tmp-XXXXXX";
  const int fd = ::mkstemp(nome.data());
  if (fd < 0) return dall_errno(errno);
  ::fchmod(fd, permessi_nuovi());
  maniglia_ = fd;
  percorso_ = std::move(nome);
  return {};
}

std::error_code FileTemporaneo::scrivi(const char* dati, std::size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(static_cast<int>(maniglia_), dati, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return dall_errno(errno);
    }
    dati += w;
    n -= static_cast<std::size_t>(w);
  }
  return {};
}

std::error_code FileTemporaneo::chiudi() {
  const int fd = static_cast<int>(maniglia_);
  maniglia_ = kNessuna;
  if (::close(fd) != 0) return dall_errno(errno);
  return {};
}

std::error_code FileTemporaneo::sposta_su(const std::filesystem::path& destinazione) {
  if (::rename(percorso_.c_str(), destinazione.c_str()) != 0) return dall_errno(errno);
  percorso_.clear();
  return {};
}

void FileTemporaneo::scarta() {
  if (aperto()) ::close(static_cast<int>(maniglia_));
  maniglia_ = kNessuna;
  if (!percorso_.empty()) ::unlink(percorso_.c_str());
  percorso_.clear();
}

void mostra_attesa() { std::cout << "Attendere" << std::endl; }

void mostra_messaggio(std::string_view testo) { std::cerr << testo << std::flush; }

bool messaggi_in_finestra() { return false; }

}  // namespace gs::piattaforma

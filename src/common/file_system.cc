#include "common/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/errori.h"

namespace gs {
namespace {

constexpr std::size_t kBufferScrittura = 1 << 16;

std::string motivo(const char* azione, const std::filesystem::path& file, int err) {
  return std::string("cannot ") + azione + " " + file.string() + ": " + std::strerror(err);
}

mode_t permessi_nuovi() {
  const mode_t m = umask(0);
  umask(m);
  return 0666 & ~m;
}

}  // namespace

bool esiste(const std::filesystem::path& file) {
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0;
}

std::string leggi_file(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw ErroreFile(motivo("read", file, errno));
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    throw ErroreFile(motivo("read", file, err));
  }
  std::string dati;
  if (st.st_size > 0) dati.reserve(static_cast<std::size_t>(st.st_size));
  char blocco[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, blocco, sizeof blocco);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      throw ErroreFile(motivo("read", file, err));
    }
    if (n == 0) break;
    dati.append(blocco, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return dati;
}

void cancella(const std::filesystem::path& file) {
  if (::unlink(file.c_str()) != 0 && errno != ENOENT)
    throw ErroreFile(motivo("delete", file, errno));
}

FileNuovo::FileNuovo(std::filesystem::path destinazione) : destinazione_(std::move(destinazione)) {
  temporaneo_ = destinazione_.string() + ".tmp-XXXXXX";
  fd_ = ::mkstemp(temporaneo_.data());
  if (fd_ < 0) throw ErroreFile(motivo("write", destinazione_, errno));
  ::fchmod(fd_, permessi_nuovi());
  buffer_.reserve(kBufferScrittura);
}

FileNuovo::~FileNuovo() {
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(temporaneo_.c_str());
  }
}

void FileNuovo::fallisci(const char* azione) {
  const int err = errno;
  ::close(fd_);
  ::unlink(temporaneo_.c_str());
  fd_ = -1;
  throw ErroreFile(motivo(azione, destinazione_, err));
}

void FileNuovo::scrivi_tutto(const char* q, std::size_t resto) {
  while (resto > 0) {
    const ssize_t w = ::write(fd_, q, resto);
    if (w < 0) {
      if (errno == EINTR) continue;
      fallisci("write");
    }
    q += w;
    resto -= static_cast<std::size_t>(w);
  }
}

void FileNuovo::svuota() {
  scrivi_tutto(buffer_.data(), buffer_.size());
  buffer_.clear();
}

void FileNuovo::scrivi(const void* dati, std::size_t n) {
  if (fd_ < 0) throw ErroreFile("cannot write " + destinazione_.string() + ": file already closed");
  if (buffer_.size() + n > kBufferScrittura) svuota();
  // Large blocks go straight to the file instead of through the buffer.
  if (n >= kBufferScrittura / 2) return scrivi_tutto(static_cast<const char*>(dati), n);
  buffer_.append(static_cast<const char*>(dati), n);
}

void FileNuovo::conferma() {
  if (fd_ < 0) throw ErroreFile("cannot write " + destinazione_.string() + ": file already closed");
  svuota();
  if (::close(fd_) != 0) {
    const int err = errno;
    ::unlink(temporaneo_.c_str());
    fd_ = -1;
    throw ErroreFile(motivo("write", destinazione_, err));
  }
  fd_ = -1;
  if (::rename(temporaneo_.c_str(), destinazione_.c_str()) != 0) {
    const int err = errno;
    ::unlink(temporaneo_.c_str());
    throw ErroreFile(motivo("replace", destinazione_, err));
  }
}

void scrivi_file(const std::filesystem::path& file, std::string_view dati) {
  FileNuovo f(file);
  f.scrivi(dati);
  f.conferma();
}

}  // namespace gs

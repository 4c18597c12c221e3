#include "common/file_system.h"

#include "common/errori.h"

namespace gs {
namespace {

constexpr std::size_t kBufferScrittura = 1 << 16;

std::string motivo(const char* azione, const std::filesystem::path& file, std::error_code ec) {
  return std::string("cannot ") + azione + " " + file.string() + ": " + ec.message();
}

}  // namespace

bool esiste(const std::filesystem::path& file) { return piattaforma::esiste(file); }

std::string leggi_file(const std::filesystem::path& file) {
  std::string dati;
  if (const std::error_code ec = piattaforma::leggi_tutto(file, dati))
    throw ErroreFile(motivo("read", file, ec));
  return dati;
}

void cancella(const std::filesystem::path& file) {
  if (const std::error_code ec = piattaforma::rimuovi(file))
    throw ErroreFile(motivo("delete", file, ec));
}

FileNuovo::FileNuovo(std::filesystem::path destinazione) : destinazione_(std::move(destinazione)) {
  if (const std::error_code ec = file_.crea(destinazione_))
    throw ErroreFile(motivo("write", destinazione_, ec));
  buffer_.reserve(kBufferScrittura);
}

FileNuovo::~FileNuovo() = default;

void FileNuovo::fallisci(const char* azione, std::error_code ec) {
  file_.scarta();
  throw ErroreFile(motivo(azione, destinazione_, ec));
}

void FileNuovo::scrivi_tutto(const char* q, std::size_t n) {
  if (const std::error_code ec = file_.scrivi(q, n)) fallisci("write", ec);
}

void FileNuovo::svuota() {
  scrivi_tutto(buffer_.data(), buffer_.size());
  buffer_.clear();
}

void FileNuovo::scrivi(const void* dati, std::size_t n) {
  if (!file_.aperto())
    throw ErroreFile("cannot write " + destinazione_.string() + ": file already closed");
  if (buffer_.size() + n > kBufferScrittura) svuota();
  // Large blocks go straight to the file instead of through the buffer.
  if (n >= kBufferScrittura / 2) return scrivi_tutto(static_cast<const char*>(dati), n);
  buffer_.append(static_cast<const char*>(dati), n);
}

void FileNuovo::conferma() {
  if (!file_.aperto())
    throw ErroreFile("cannot write " + destinazione_.string() + ": file already closed");
  svuota();
  if (const std::error_code ec = file_.chiudi()) fallisci("write", ec);
  if (const std::error_code ec = file_.sposta_su(destinazione_)) fallisci("replace", ec);
}

void scrivi_file(const std::filesystem::path& file, std::string_view dati) {
  FileNuovo f(file);
  f.scrivi(dati);
  f.conferma();
}

}  // namespace gs

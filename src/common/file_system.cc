#include "common/file_system.h"

#include <map>
#include <memory>
#include <mutex>

#include "common/errori.h"
#include "platform/temporanei.h"

namespace gs {
namespace {

constexpr std::size_t kBufferScrittura = 1 << 16;

std::string motivo(const char* azione, const std::filesystem::path& file, std::error_code ec) {
  return std::string("cannot ") + azione + " " + file.string() + ": " + ec.message();
}

// The folders this process holds, by their full name, and how many holders each has.
struct Tenuta {
  piattaforma::BloccoCartella blocco;
  int titolari = 0;
};
std::mutex tenute_mutex;
std::map<std::filesystem::path, std::unique_ptr<Tenuta>> tenute;

// One name per folder however it is written ("out", "out/", "./out", a link to it): the
// system's lock would make the process wait for itself on a second name.
std::filesystem::path chiave_di(const std::filesystem::path& cartella) {
  std::error_code ec;
  std::filesystem::path chiave = std::filesystem::weakly_canonical(cartella, ec);
  if (ec) chiave = std::filesystem::absolute(cartella, ec).lexically_normal();
  if (!chiave.has_filename() && chiave.has_relative_path()) chiave = chiave.parent_path();
  return chiave;
}

}  // namespace

BloccoScrittura::BloccoScrittura(const std::filesystem::path& cartella,
                                 const std::function<void(const std::filesystem::path&)>& in_attesa)
    : chiave_(chiave_di(cartella)) {
  const std::lock_guard<std::mutex> lock(tenute_mutex);
  std::unique_ptr<Tenuta>& t = tenute[chiave_];
  if (t == nullptr) t = std::make_unique<Tenuta>();
  if (t->titolari++ > 0) return;
  if (t->blocco.prova(chiave_)) return;
  if (in_attesa) in_attesa(cartella);
  t->blocco.aspetta(chiave_);
}

BloccoScrittura::~BloccoScrittura() {
  const std::lock_guard<std::mutex> lock(tenute_mutex);
  const auto t = tenute.find(chiave_);
  if (t != tenute.end() && --t->second->titolari == 0) tenute.erase(t);
}

void rimuovi_temporanei_rimasti(const std::filesystem::path& destinazione) {
  using Nome = std::filesystem::path::string_type;
  Nome prefisso = destinazione.filename().native();
  prefisso += std::filesystem::path(piattaforma::kSuffissoTemporaneo).native();
  std::error_code ec;
  for (std::filesystem::directory_iterator voce(piattaforma::cartella_di(destinazione), ec), fine;
       !ec && voce != fine; voce.increment(ec)) {
    const Nome nome = voce->path().filename().native();
    if (nome.size() == prefisso.size() + piattaforma::kLettereTemporaneo &&
        nome.compare(0, prefisso.size(), prefisso) == 0 && !voce->is_directory(ec))
      piattaforma::rimuovi(voce->path());  // one it cannot remove stays for a later run
  }
}

bool esiste(const std::filesystem::path& file) { return piattaforma::esiste(file); }

bool stesso_file(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  if (std::filesystem::equivalent(a, b, ec)) return true;
  return std::filesystem::weakly_canonical(a, ec) == std::filesystem::weakly_canonical(b, ec);
}

std::string leggi_file(const std::filesystem::path& file) {
  std::string dati;
  const std::error_code ec = piattaforma::leggi_tutto(file, dati, kMassimoFileLetto);
  if (ec == piattaforma::Rifiuto::kTroppoGrande)
    throw ErroreFile("cannot read " + file.string() + ": it is larger than " +
                     std::to_string(kMassimoFileLetto >> 20) +
                     " MiB, the most genera_scenario reads from one file");
  if (ec) throw ErroreFile(motivo("read", file, ec));
  return dati;
}

void cancella(const std::filesystem::path& file) {
  if (const std::error_code ec = piattaforma::rimuovi(file))
    throw ErroreFile(motivo("delete", file, ec));
}

std::filesystem::path destinazione_reale(const std::filesystem::path& percorso) {
  // As many links as the system follows in one name; past them the write fails with its reason.
  constexpr int kMassimoCollegamenti = 40;
  std::filesystem::path p = percorso;
  for (int i = 0; i < kMassimoCollegamenti; ++i) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(p, ec)) || ec) return p;
    const std::filesystem::path bersaglio = std::filesystem::read_symlink(p, ec);
    if (ec) return p;
    p = bersaglio.is_absolute() ? bersaglio : piattaforma::cartella_di(p) / bersaglio;
  }
  return p;
}

namespace {

// Neither a regular file nor a folder, and there: a device, a FIFO, a socket. A name that cannot
// be looked at is none: the writing says what is wrong with it.
bool da_scrivere_attraverso(const std::filesystem::path& file) {
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::status(file, ec);
  return !ec && std::filesystem::exists(st) && !std::filesystem::is_regular_file(st) &&
         !std::filesystem::is_directory(st);
}

}  // namespace

FileNuovo::FileNuovo(std::filesystem::path destinazione)
    : nome_(std::move(destinazione)), destinazione_(destinazione_reale(nome_)) {
  if (da_scrivere_attraverso(destinazione_)) {
    if (const std::error_code ec = file_.apri_diretto(destinazione_)) {
      std::error_code e;
      if (ec == std::errc::no_such_device_or_address &&
          std::filesystem::is_fifo(std::filesystem::status(destinazione_, e)))
        throw ErroreFile("cannot write " + nome_.string() +
                         ": it is a FIFO that no process is reading");
      throw ErroreFile(motivo("write", nome_, ec));
    }
  } else {
    blocco_.emplace(piattaforma::cartella_di(destinazione_));
    rimuovi_temporanei_rimasti(destinazione_);
    if (const std::error_code ec = file_.crea(destinazione_))
      throw ErroreFile(motivo("write", nome_, ec));
  }
  buffer_.reserve(kBufferScrittura);
}

FileNuovo::~FileNuovo() = default;

void FileNuovo::fallisci(const char* azione, std::error_code ec) {
  file_.scarta();
  throw ErroreFile(motivo(azione, nome_, ec));
}

void FileNuovo::scrivi_tutto(const char* q, std::size_t n) {
  if (const std::error_code ec = file_.scrivi(q, n)) fallisci("write", ec);
}

void FileNuovo::svuota() {
  scrivi_tutto(buffer_.data(), buffer_.size());
  buffer_.clear();
}

void FileNuovo::scrivi(const void* dati, std::size_t n) {
  if (!file_.aperto()) throw ErroreFile("cannot write " + nome_.string() + ": file already closed");
  if (buffer_.size() + n > kBufferScrittura) svuota();
  // Large blocks go straight to the file instead of through the buffer.
  if (n >= kBufferScrittura / 2) return scrivi_tutto(static_cast<const char*>(dati), n);
  buffer_.append(static_cast<const char*>(dati), n);
}

void FileNuovo::conferma() {
  if (!file_.aperto()) throw ErroreFile("cannot write " + nome_.string() + ": file already closed");
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

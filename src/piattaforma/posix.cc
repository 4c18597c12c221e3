// The platform on POSIX systems: file names are bytes, files are descriptors, and the built-in
// run speaks through the console.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/inotify.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <thread>

#include "piattaforma/impronte.h"
#include "piattaforma/piattaforma.h"
#include "piattaforma/temporanei.h"

namespace gs::piattaforma {
namespace {

std::error_code dall_errno(int err) { return {err, std::generic_category()}; }

constexpr int kInterruzioni[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void all_interruzione(int segnale) {
  const int err = errno;
  per_ogni_registrato([](const char* nome) { ::unlink(nome); });
  errno = err;
  // The handler is gone (SA_RESETHAND): the signal, delivered once this returns, ends the
  // program as it would have without one.
  ::raise(segnale);
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

std::error_code leggi_tutto(const std::filesystem::path& file, std::string& dati,
                            std::uint64_t massimo) {
  dati.clear();
  // O_NONBLOCK: a FIFO opens at once, writer or not, and is then refused as what it is.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return dall_errno(errno);
  struct stat st {};
  std::error_code ec;
  if (::fstat(fd, &st) != 0) {
    ec = dall_errno(errno);
  } else if (S_ISDIR(st.st_mode)) {
    ec = std::make_error_code(std::errc::is_a_directory);
  } else if (!S_ISREG(st.st_mode)) {
    ec = Rifiuto::kNonRegolare;
  } else if (static_cast<std::uint64_t>(st.st_size) > massimo) {
    ec = Rifiuto::kTroppoGrande;
  }
  if (ec) {
    ::close(fd);
    return ec;
  }
  dati.reserve(static_cast<std::size_t>(st.st_size));
  char blocco[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, blocco, sizeof blocco);
    if (n < 0) {
      if (errno == EINTR) continue;
      ec = dall_errno(errno);
      break;
    }
    if (n == 0) break;
    // A file that grows while it is read is held to the same limit.
    if (dati.size() + static_cast<std::size_t>(n) > massimo) {
      ec = Rifiuto::kTroppoGrande;
      break;
    }
    dati.append(blocco, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (ec) dati.clear();
  return ec;
}

std::error_code rimuovi(const std::filesystem::path& file) {
  if (::unlink(file.c_str()) != 0 && errno != ENOENT) return dall_errno(errno);
  return {};
}

std::error_code FileTemporaneo::crea(const std::filesystem::path& destinazione) {
  scarta();
  destinazione_ = destinazione;
  if (scritture_interrotte()) return std::make_error_code(std::errc::operation_canceled);
#ifdef O_TMPFILE
  // A file with no name: whatever becomes of the run, the system removes it unless chiudi()
  // gave it one. (It is named through /proc, so only where /proc is there to name it by.)
  if (!prove_senza_file_anonimi() && ::access("/proc/self/fd", X_OK) == 0) {
    const int fd =
        ::open(cartella_di(destinazione).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) {
      maniglia_ = fd;
      return {};
    }
    // A file system, or a kernel, without unnamed files: a named one as everywhere else.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return dall_errno(errno);
  }
#endif
  // As mkstemp, but with a name chosen, and registered, before the file is made. The mode
  // goes through the umask, as any new file's does.
  return dai_nome(destinazione, percorso_, registro_,
                  [&](const std::filesystem::path& nome, std::error_code& ec) {
                    const int fd =
                        ::open(nome.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
                    if (fd >= 0) {
                      maniglia_ = fd;
                      return Tentativo::kFatto;
                    }
                    ec = dall_errno(errno);
                    return errno == EEXIST ? Tentativo::kNomePreso : Tentativo::kFallito;
                  });
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
  std::error_code ec;
  if (percorso_.empty()) {
    // The unnamed file gets its temporary name now that it is whole: rename() needs one.
    const std::string da = "/proc/self/fd/" + std::to_string(fd);
    ec = dai_nome(destinazione_, percorso_, registro_,
                  [&](const std::filesystem::path& nome, std::error_code& errore) {
                    if (::linkat(AT_FDCWD, da.c_str(), AT_FDCWD, nome.c_str(),
                                 AT_SYMLINK_FOLLOW) == 0)
                      return Tentativo::kFatto;
                    errore = dall_errno(errno);
                    return errno == EEXIST ? Tentativo::kNomePreso : Tentativo::kFallito;
                  });
  }
  maniglia_ = kNessuna;
  if (::close(fd) != 0 && !ec) ec = dall_errno(errno);
  return ec;
}

std::error_code FileTemporaneo::sposta_su(const std::filesystem::path& destinazione) {
  if (percorso_.empty()) return std::make_error_code(std::errc::bad_file_descriptor);
  if (scritture_interrotte()) {
    scarta();
    return std::make_error_code(std::errc::operation_canceled);
  }
  if (::rename(percorso_.c_str(), destinazione.c_str()) != 0) return dall_errno(errno);
  segna_passo(PassoScrittura::kSpostato);
  percorso_.clear();
  dimentica(registro_);
  return {};
}

void FileTemporaneo::scarta() {
  if (aperto()) ::close(static_cast<int>(maniglia_));
  maniglia_ = kNessuna;
  if (!percorso_.empty()) ::unlink(percorso_.c_str());
  percorso_.clear();
  dimentica(registro_);
}

void pulisci_alle_interruzioni() {
  struct sigaction azione {};
  azione.sa_handler = all_interruzione;
  azione.sa_flags = SA_RESETHAND;  // the handler runs once; the signal then does what it does
  sigemptyset(&azione.sa_mask);
  for (const int segnale : kInterruzioni) sigaddset(&azione.sa_mask, segnale);
  for (const int segnale : kInterruzioni) {
    struct sigaction prima {};
    if (::sigaction(segnale, nullptr, &prima) != 0 || prima.sa_handler == SIG_IGN) continue;
    ::sigaction(segnale, &azione, nullptr);
  }
}

// flock with `modo` on the folder: 0 when it is held (its descriptor in `maniglia`), else errno.
// A folder that cannot be opened gives ENOENT or the like, never EWOULDBLOCK.
static int blocca(const std::filesystem::path& cartella, int modo, std::intptr_t& maniglia) {
  const int fd = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  int esito;
  while ((esito = ::flock(fd, modo)) != 0 && errno == EINTR) {
  }
  if (esito == 0) {
    maniglia = fd;
    return 0;
  }
  const int err = errno;
  ::close(fd);
  return err;
}

bool BloccoCartella::prova(const std::filesystem::path& cartella) {
  rilascia();
  // Held by someone else, or free; a folder without locks has nothing to wait for.
  return blocca(cartella, LOCK_EX | LOCK_NB, maniglia_) != EWOULDBLOCK;
}

void BloccoCartella::aspetta(const std::filesystem::path& cartella) {
  rilascia();
  blocca(cartella, LOCK_EX, maniglia_);
}

void BloccoCartella::rilascia() {
  if (maniglia_ != kNessuna) ::close(static_cast<int>(maniglia_));  // and with it the lock
  maniglia_ = kNessuna;
}

// The folders are watched, not the files: an editor that saves by writing a new file and
// renaming it over the old one replaces the file a watch on it would follow.
struct Osservatore::Stato {
  std::vector<std::filesystem::path> file;
  int fd = -1;  // inotify, or -1: then the files are looked at
  Impronte impronte;
  explicit Stato(std::vector<std::filesystem::path> f) : file(f), impronte(std::move(f)) {}
};

Osservatore::Osservatore(std::vector<std::filesystem::path> file)
    : s_(std::make_unique<Stato>(std::move(file))) {
#ifdef __linux__
  s_->fd = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  for (const auto& f : s_->file) {
    if (s_->fd < 0) break;
    if (::inotify_add_watch(s_->fd, cartella_di(f).c_str(),
                            IN_CLOSE_WRITE | IN_MODIFY | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                                IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF) < 0) {
      ::close(s_->fd);
      s_->fd = -1;
    }
  }
#endif
}

Osservatore::~Osservatore() {
  if (s_->fd >= 0) ::close(s_->fd);
}

bool Osservatore::aspetta(int millisecondi) {
#ifdef __linux__
  if (s_->fd >= 0) {
    const auto fine = std::chrono::steady_clock::now() + std::chrono::milliseconds(millisecondi);
    for (;;) {
      const auto resta = std::chrono::duration_cast<std::chrono::milliseconds>(
          fine - std::chrono::steady_clock::now());
      pollfd p{s_->fd, POLLIN, 0};
      const int n = ::poll(&p, 1, static_cast<int>(std::max<int64_t>(resta.count(), 0)));
      if (n <= 0) return false;
      alignas(inotify_event) char eventi[8192];
      bool nostro = false;
      ssize_t letti;
      while ((letti = ::read(s_->fd, eventi, sizeof eventi)) > 0) {
        for (char* q = eventi; q < eventi + letti;) {
          const auto* e = reinterpret_cast<const inotify_event*>(q);
          // The folder itself gone or moved counts as a change of the files in it.
          if (e->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_Q_OVERFLOW)) nostro = true;
          if (e->len > 0) {
            const std::string_view nome(e->name);
            for (const auto& f : s_->file) nostro = nostro || f.filename().native() == nome;
          }
          q += sizeof(inotify_event) + e->len;
        }
      }
      if (nostro) return true;
    }
  }
#endif
  return s_->impronte.aspetta(millisecondi);
}

void apri_indirizzo(const std::string& url) {
  // The desktop's own opener, quietly: a machine without one just shows no browser.
  posix_spawn_file_actions_t azioni;
  posix_spawn_file_actions_init(&azioni);
  posix_spawn_file_actions_addopen(&azioni, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&azioni, 2, "/dev/null", O_WRONLY, 0);
  std::string programma = "xdg-open";
  char* argv[] = {programma.data(), const_cast<char*>(url.c_str()), nullptr};
  pid_t figlio = 0;
  // Some openers stay until the browser is closed: the program does not wait for it.
  if (posix_spawnp(&figlio, "xdg-open", &azioni, nullptr, argv, environ) == 0)
    std::thread([figlio] { ::waitpid(figlio, nullptr, 0); }).detach();
  posix_spawn_file_actions_destroy(&azioni);
}

std::string per_la_shell(std::string_view argomento) {
  const bool semplice =
      !argomento.empty() && argomento.find_first_not_of(
                                "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                                "_-./=:,+@%") == std::string_view::npos;
  if (semplice) return std::string(argomento);
  std::string citato = "'";
  for (const char c : argomento) {
    if (c == '\'') {
      citato += "'\\''";
    } else {
      citato += c;
    }
  }
  citato += '\'';
  return citato;
}

void mostra_attesa() { std::cout << "Attendere" << std::endl; }

void mostra_messaggio(std::string_view testo) { std::cerr << testo << std::flush; }

bool messaggi_in_finestra() { return false; }

}  // namespace gs::piattaforma

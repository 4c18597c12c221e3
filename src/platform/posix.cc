// The platform on POSIX systems: file names are bytes, files are descriptors, and the built-in
// run speaks through the console.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/socket.h>
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

#include "platform/impronte.h"
#include "platform/piattaforma.h"
#include "platform/temporanei.h"

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
  // Looked at before it is opened: opening a device can have effects (a tape rewinds, a modem
  // hangs up) or wait, so only a regular file is ever opened.
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return dall_errno(errno);
  if (S_ISDIR(st.st_mode)) return std::make_error_code(std::errc::is_a_directory);
  if (!S_ISREG(st.st_mode)) return Rifiuto::kNonRegolare;
  if (static_cast<std::uint64_t>(st.st_size) > massimo) return Rifiuto::kTroppoGrande;
  // O_NONBLOCK: what was replaced by a FIFO since still opens at once, and is then refused as
  // what it is.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return dall_errno(errno);
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

std::error_code FileTemporaneo::apri_diretto(const std::filesystem::path& file) {
  scarta();
  destinazione_ = file;
  // O_NONBLOCK: a FIFO with no reader fails with ENXIO rather than waiting for one; the writes
  // then wait for a slow reader as any writer's do.
  const int fd = ::open(file.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return dall_errno(errno);
  const int stato = ::fcntl(fd, F_GETFL);
  if (stato < 0 || ::fcntl(fd, F_SETFL, stato & ~O_NONBLOCK) != 0) {
    const int err = errno;
    ::close(fd);
    return dall_errno(err);
  }
  maniglia_ = fd;
  diretto_ = true;
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
  std::error_code ec;
  if (percorso_.empty() && !diretto_) {
    // The unnamed file gets its temporary name now that it is whole: rename() needs one.
    const std::string da = "/proc/self/fd/" + std::to_string(fd);
    ec = dai_nome(
        destinazione_, percorso_, registro_,
        [&](const std::filesystem::path& nome, std::error_code& errore) {
          if (::linkat(AT_FDCWD, da.c_str(), AT_FDCWD, nome.c_str(), AT_SYMLINK_FOLLOW) == 0)
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
  if (diretto_) return {};
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
  diretto_ = false;
  if (!percorso_.empty()) ::unlink(percorso_.c_str());
  percorso_.clear();
  dimentica(registro_);
}

void pulisci_alle_interruzioni() {
  struct sigaction azione {};
  azione.sa_handler = all_interruzione;
  // The handler runs once; the signal then does what it does. (The flag is the sign bit of the
  // int that holds it.)
  azione.sa_flags = static_cast<int>(SA_RESETHAND);
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

bool BloccoCartella::aspetta(const std::filesystem::path& cartella,
                             const std::function<bool()>& rinuncia) {
  // Asked again every few milliseconds rather than waited for in the system: a stop
  // (interrompi_scritture) or a newer write must not wait for whoever holds the folder, and
  // nothing calls off a flock that waits.
  while (!prova(cartella)) {
    if (scritture_interrotte() || (rinuncia && rinuncia())) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

void BloccoCartella::rilascia() {
  if (maniglia_ != kNessuna) ::close(static_cast<int>(maniglia_));  // and with it the lock
  maniglia_ = kNessuna;
}

// The folders are watched, not the files: an editor that saves by writing a new file and
// renaming it over the old one replaces the file a watch on it would follow. A watch follows
// its folder, though: one deleted and made again (git checkout, rsync, an archive unpacked),
// or replaced by another moved to its name, is a new folder that nothing watches. So when the
// system says a watched folder went, every folder is watched anew (a folder made again may
// have the old one's inode number: its identity cannot tell it apart), and each folder's
// identity is kept beside the watches and looked at every kControllo (a folder above it moved
// away says nothing to a watch on it): when one differs, every folder is watched anew too.
// Either way a change is reported, and a missing folder is looked for at every kControllo
// until it is back.
struct Osservatore::Stato {
  struct Cartella {
    std::filesystem::path nome;
    bool c_e = false;
    dev_t dispositivo = 0;
    ino_t inode = 0;
  };
  std::vector<std::filesystem::path> file;
  std::vector<Cartella> cartelle;  // the files' folders, each once
  int fd = -1;                     // inotify, or -1: then the files are looked at
  std::chrono::steady_clock::time_point prossimo_controllo;
  Impronte impronte;
  explicit Stato(std::vector<std::filesystem::path> f) : file(f), impronte(std::move(f)) {
    for (const auto& nome : file) {
      const std::filesystem::path c = cartella_di(nome);
      if (std::none_of(cartelle.begin(), cartelle.end(),
                       [&](const Cartella& v) { return v.nome == c; }))
        cartelle.push_back({c});
    }
  }
};

#ifdef __linux__
namespace {

constexpr auto kControllo = std::chrono::milliseconds(100);

constexpr uint32_t kEventi = IN_CLOSE_WRITE | IN_MODIFY | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                             IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
// What says that a watched folder is gone or moved, or may have been (events were lost).
constexpr uint32_t kCartellaAndata =
    IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT | IN_Q_OVERFLOW;

// Whether the folder is there, and which one it is.
Osservatore::Stato::Cartella identita(const std::filesystem::path& nome) {
  Osservatore::Stato::Cartella c{nome};
  struct stat st {};
  if (::stat(nome.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    c.c_e = true;
    c.dispositivo = st.st_dev;
    c.inode = st.st_ino;
  }
  return c;
}

bool stessa(const Osservatore::Stato::Cartella& a, const Osservatore::Stato::Cartella& b) {
  return a.c_e == b.c_e && (!a.c_e || (a.dispositivo == b.dispositivo && a.inode == b.inode));
}

// Watches every folder that is there, with a new inotify instance whose watches replace the old
// one's. Each identity is taken before its watch is added: a folder replaced in between then
// differs at the next look and is watched anew. When the system refuses a watch (the limit of
// watches, a folder not the user's to read) the files are looked at instead, from now on.
void arma(Osservatore::Stato& s) {
  int fd = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  for (auto& c : s.cartelle) {
    if (fd < 0) break;
    c = identita(c.nome);
    if (!c.c_e || ::inotify_add_watch(fd, c.nome.c_str(), kEventi) >= 0) continue;
    if (errno == ENOENT || errno == ENOTDIR) {
      c.c_e = false;  // gone since: looked for as a missing one
      continue;
    }
    ::close(fd);
    fd = -1;
  }
  if (s.fd >= 0) ::close(s.fd);
  s.fd = fd;
  s.prossimo_controllo = std::chrono::steady_clock::now() + kControllo;
}

// Looks at the folders again: true, with the watches made anew, when one of them is no longer
// the one watched (gone, back, or another).
bool riarma_se_cambiate(Osservatore::Stato& s) {
  s.prossimo_controllo = std::chrono::steady_clock::now() + kControllo;
  for (const auto& c : s.cartelle) {
    if (stessa(identita(c.nome), c)) continue;
    arma(s);
    return true;
  }
  return false;
}

}  // namespace
#endif

Osservatore::Osservatore(std::vector<std::filesystem::path> file)
    : s_(std::make_unique<Stato>(std::move(file))) {
#ifdef __linux__
  arma(*s_);
#endif
}

Osservatore::~Osservatore() {
  if (s_->fd >= 0) ::close(s_->fd);
}

bool Osservatore::aspetta(int millisecondi) {
#ifdef __linux__
  using Orologio = std::chrono::steady_clock;
  const auto fine = Orologio::now() + std::chrono::milliseconds(millisecondi);
  while (s_->fd >= 0) {
    const auto ora = Orologio::now();
    if (ora >= s_->prossimo_controllo && riarma_se_cambiate(*s_)) return true;
    const auto resta =
        std::chrono::ceil<std::chrono::milliseconds>(std::min(fine, s_->prossimo_controllo) - ora);
    pollfd p{s_->fd, POLLIN, 0};
    const int n = ::poll(&p, 1, static_cast<int>(std::max<int64_t>(resta.count(), 0)));
    if (n < 0 && errno != EINTR) return false;
    bool nostro = false;
    bool cartella = false;
    if (n > 0) {
      alignas(inotify_event) char eventi[8192];
      ssize_t letti;
      while ((letti = ::read(s_->fd, eventi, sizeof eventi)) > 0) {
        for (char* q = eventi; q < eventi + letti;) {
          const auto* e = reinterpret_cast<const inotify_event*>(q);
          // The folder itself gone or moved counts as a change of the files in it.
          if (e->mask & kCartellaAndata) cartella = true;
          if (e->len > 0) {
            const std::string_view nome(e->name);
            for (const auto& f : s_->file) nostro = nostro || f.filename().native() == nome;
          }
          q += sizeof(inotify_event) + e->len;
        }
      }
    }
    if (cartella) arma(*s_);
    if (nostro || cartella) return true;
    if (Orologio::now() >= fine) return false;
  }
#endif
  return s_->impronte.aspetta(millisecondi);
}

void ignora_pipe_chiusa() { ::signal(SIGPIPE, SIG_IGN); }

void flussi_binari() {}

std::size_t leggi_ingresso(char* dati, std::size_t n) {
  for (;;) {
    const ssize_t letti = ::read(STDIN_FILENO, dati, n);
    if (letti >= 0) return static_cast<std::size_t>(letti);
    if (errno != EINTR) return 0;
  }
}

bool scrivi_uscita(std::string_view dati) {
  while (!dati.empty()) {
    const ssize_t scritti = ::write(STDOUT_FILENO, dati.data(), dati.size());
    if (scritti < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    dati.remove_prefix(static_cast<std::size_t>(scritti));
  }
  return true;
}

void prepara_ascolto(std::intptr_t socket) {
  const int si = 1;
  ::setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_REUSEADDR, &si, sizeof si);
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

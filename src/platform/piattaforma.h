// What differs between the systems the program runs on, behind one interface: file names and
// the files behind them, the program's folder, how the built-in run speaks to a person, and the
// entry point. posix.cc and win32.cc implement it (with avvio_posix.cc and avvio_win32.cc for
// the entry point), and CMake builds the pair of the target system. Nothing outside this folder
// asks which system it runs on.
#ifndef GS_PLATFORM_PIATTAFORMA_H
#define GS_PLATFORM_PIATTAFORMA_H

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace gs {

// The program itself (main.cc). The system's entry point calls it with the arguments as UTF-8,
// whatever the system hands over, once the console is set up.
int programma(int argc, char** argv);

namespace piattaforma {

// A file name from UTF-8 text: a command-line argument, or a name converted from Windows-1252.
// POSIX takes the bytes as they are; Windows turns them into UTF-16, so that a name with "à"
// is "à" on disk. (A path built from a plain std::string on Windows reads it in the C
// locale's code page, not as UTF-8.)
std::filesystem::path percorso(std::string_view utf8);

// The folder that holds the running program, wherever it was started from.
std::filesystem::path cartella_programma();

// Files by name. A failure comes back as the system's error code, whose message() is the
// system's reason in words (UTF-8).
bool esiste(const std::filesystem::path& file);
// Why leggi_tutto refused a file it could open: std::error_code values of their own category,
// whose message() says it in words.
enum class Rifiuto { kNonRegolare = 1, kTroppoGrande };
std::error_code make_error_code(Rifiuto r);

// The whole content of `file`, at most `massimo` bytes. It is opened without waiting (a FIFO
// with no writer would block for ever) and read only when it is a regular file: a folder is
// std::errc::is_a_directory, anything else (a FIFO, a device, a socket) Rifiuto::kNonRegolare,
// and one larger than `massimo` Rifiuto::kTroppoGrande, told before any of it is read.
std::error_code leggi_tutto(const std::filesystem::path& file, std::string& dati,
                            std::uint64_t massimo);
// Removes `file`; one that is not there counts as removed.
std::error_code rimuovi(const std::filesystem::path& file);

// A new file in the folder of the file it is to replace, open for writing and visible to no one
// under the final name until it is moved there. Where the system allows it (Linux) the file
// has no name at all until chiudi(), so a run that dies while writing leaves nothing; elsewhere
// it is "DESTINAZIONE.tmp-XXXXXX" from crea() on. Whatever is left of it (open or closed, not
// moved) is removed by scarta(), the destructor, or an interrupt (pulisci_alle_interruzioni).
class FileTemporaneo {
 public:
  FileTemporaneo() = default;
  ~FileTemporaneo() { scarta(); }
  FileTemporaneo(const FileTemporaneo&) = delete;
  FileTemporaneo& operator=(const FileTemporaneo&) = delete;

  // Creates the file with the permissions any new file would have there.
  std::error_code crea(const std::filesystem::path& destinazione);
  // Opens `file`, which is there and is neither a regular file nor a folder (a device, a FIFO),
  // to be written straight through, as a compiler writes to /dev/null: no file is made beside
  // it, chiudi() closes it and sposta_su() has nothing to move. A FIFO is opened without
  // waiting: with no process reading it, it is an error (no_such_device_or_address).
  std::error_code apri_diretto(const std::filesystem::path& file);
  // All `n` bytes, or the reason they could not be written.
  std::error_code scrivi(const char* dati, std::size_t n);
  // Gives the file its temporary name if it has none yet, and closes it (it is no longer
  // open, whatever the outcome).
  std::error_code chiudi();
  // Renames the closed file over `destinazione`, replacing any file of that name whole; nothing
  // for a file opened with apri_diretto.
  std::error_code sposta_su(const std::filesystem::path& destinazione);
  // Closes and removes the temporary file, if there is one.
  void scarta();

  bool aperto() const { return maniglia_ != kNessuna; }

 private:
  static constexpr std::intptr_t kNessuna = -1;  // neither a descriptor nor a Windows handle
  std::intptr_t maniglia_ = kNessuna;
  std::filesystem::path destinazione_;
  std::filesystem::path percorso_;  // the temporary name; empty while it has none
  int registro_ = -1;               // its place among the names an interrupt removes
  bool diretto_ = false;            // opened with apri_diretto
};

// The suffix of a temporary name: DESTINAZIONE + ".tmp-" + six letters or digits.
inline constexpr std::string_view kSuffissoTemporaneo = ".tmp-";
inline constexpr std::size_t kLettereTemporaneo = 6;

// A stop from within the program (serve's Ctrl-C, whose writes run on another thread): every
// temporary file that has a name is removed, and from now on no FileTemporaneo is named or
// moved into place (crea, chiudi and sposta_su fail with operation_canceled), so that a write in
// progress leaves nothing behind once its thread has ended.
void interrompi_scritture();

// The steps of a write at which an interrupt must leave nothing behind: its temporary name
// registered for removal, the file given that name, the file moved over its destination.
enum class PassoScrittura { kRegistrato, kNominato, kSpostato };

// For tests only: a function called at each step of every write (it may raise a signal or
// call interrompi_scritture), and the named temporary files of a file system without unnamed
// ones, on Linux too. Setting it also lets writes go on again after interrompi_scritture.
struct ProveScrittura {
  void (*a_ogni_passo)(PassoScrittura) = nullptr;
  bool senza_file_anonimi = false;
};
void prove_scrittura(const ProveScrittura& prove);

// Ctrl-C, SIGTERM and the like (the console's Ctrl-C, Ctrl-Break and close on Windows) remove
// the temporary files that have a name before the program ends as it would have. Installed by
// the entry point; a signal the program was started ignoring stays ignored.
void pulisci_alle_interruzioni();

// An advisory lock on a folder, so that two runs writing into it take turns. Another process
// asking for the same folder waits; nothing is left in the folder once it is released (flock
// on the folder itself on POSIX; on Windows a lock file opened to be deleted when closed).
class BloccoCartella {
 public:
  BloccoCartella() = default;
  ~BloccoCartella() { rilascia(); }
  BloccoCartella(const BloccoCartella&) = delete;
  BloccoCartella& operator=(const BloccoCartella&) = delete;

  // Takes the lock if no one holds it; false when someone does. A folder that cannot be locked
  // at all (missing, or not the program's to write) counts as taken: the writing that follows
  // reports what is wrong with it.
  bool prova(const std::filesystem::path& cartella);
  // Takes the lock, waiting for whoever holds it; after interrompi_scritture it waits no more
  // (the writing that follows is refused anyway).
  void aspetta(const std::filesystem::path& cartella);
  void rilascia();

 private:
  static constexpr std::intptr_t kNessuna = -1;
  std::intptr_t maniglia_ = kNessuna;
};

// Watches files for a change: written, replaced by a rename, deleted or made again. Their folders
// may come and go too (deleted and made again, or replaced by another moved to their name, as a
// checkout or an unpacked archive does): a folder gone is a change, and so is its coming back,
// after which the files in the folder now there are the ones watched. On Linux the system says
// when (inotify on their folders, each folder's identity looked at again whenever one goes and
// every 100 ms, which is also how soon a missing one is seen back); elsewhere whether each file
// is there, its time and its size are looked at every few milliseconds.
class Osservatore {
 public:
  explicit Osservatore(std::vector<std::filesystem::path> file);
  ~Osservatore();
  Osservatore(const Osservatore&) = delete;
  Osservatore& operator=(const Osservatore&) = delete;

  // True as soon as one of the files may have changed since the last call; false after
  // `millisecondi` without a change.
  bool aspetta(int millisecondi);

  struct Stato;

 private:
  std::unique_ptr<Stato> s_;
};

// Readies a listening socket, before it is bound, to take its port back at once after a
// restart (SO_REUSEADDR on POSIX) and never to share it with another program
// (SO_EXCLUSIVEADDRUSE on Windows, where SO_REUSEADDR would let a second server take it).
void prepara_ascolto(std::intptr_t socket);

// Writing to a pipe or socket whose reader has gone fails with an error instead of ending the
// program (SIGPIPE ignored on POSIX; Windows has no such signal).
void ignora_pipe_chiusa();

// Standard input and output as the bytes they carry, for a protocol spoken over them (Windows
// would otherwise turn CR LF into LF as it reads and LF into CR LF as it writes).
void flussi_binari();
// Up to `n` bytes of standard input, as soon as any have come; 0 at its end or on a failure.
std::size_t leggi_ingresso(char* dati, std::size_t n);
// All of `dati` to standard output at once; false when it cannot be written (its reader has
// gone).
bool scrivi_uscita(std::string_view dati);

// Opens `url` in the user's browser, if the system has a way; nothing happens otherwise.
void apri_indirizzo(const std::string& url);

// `argomento` as the system's command shell reads it back as one word: quoted only when it
// needs to be (single quotes on POSIX, double quotes for cmd.exe and PowerShell).
std::string per_la_shell(std::string_view argomento);

// How the built-in run speaks to the person who started it. A program started by a double
// click on Windows has no console, so there it shows a window and message boxes; on POSIX it
// writes to the console.

// "Attendere" before the work starts: a line on standard output, or a small window with that
// text, shown and painted before the call returns. The window stays until the program ends.
void mostra_attesa();
// `testo` (lines, each ending in a newline) on standard error, or in a modal message box with
// an OK button and the program's default title, returning once OK is pressed.
void mostra_messaggio(std::string_view testo);
// Whether mostra_messaggio shows a box: a proportional font, where a caret under a column of
// the source line would not stand under it.
bool messaggi_in_finestra();

}  // namespace piattaforma
}  // namespace gs

template <>
struct std::is_error_code_enum<gs::piattaforma::Rifiuto> : std::true_type {};

#endif  // GS_PLATFORM_PIATTAFORMA_H

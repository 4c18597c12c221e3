// What the commands share: exit statuses, the usage error, the names from the command line, and
// the one reader of every command's options.
#ifndef GS_RUN_RIGA_COMANDO_H
#define GS_RUN_RIGA_COMANDO_H

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

inline constexpr int kEsitoErrore = 1;  // a compile error, or a damaged compiled file
inline constexpr int kEsitoUso = 2;  // a bad command line, or a file that cannot be read or written

// Prints the reason and a pointer to --help on standard error; returns kEsitoUso.
int uso_errato(const std::string& motivo);

// Before a command waits for another run that is writing into the same folder: a note on
// standard error, so that a wait is not taken for a hang.
void annuncia_attesa(const std::filesystem::path& cartella);

// A command line that cannot be carried out: the program ends with kEsitoUso and the reason.
class ErroreUso : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A name from the command line or a file name as Windows-1252: UTF-8 is converted, text that
// is not UTF-8 is taken as Windows-1252 already. UTF-8 holding a character that Windows-1252
// has not is ErroreUso: the simulator could not show it.
std::string in_1252(const std::string& testo);

// What the reader does with an option, the same for every command that takes it.
enum class Genere {
  kBandiera,        // a flag: --open
  kNomeDellaLinea,  // --line-name NAME, in Windows-1252 (in_1252)
  kNomeDelTreno,    // --train-name NAME, likewise
  kUscita,          // -o DIR or -o FILE, a path
  kPorta,           // --port N, 0 to 65535
  kFormato,         // --diagnostics-format=FORMAT, text or json, in the same word
};

// Every flag, by an id of its own: a command asks whether it was given by its id, so that a
// misspelt flag is a compile error rather than a flag never given.
enum class Bandiera {
  kNessuna,     // an option with a value
  kNoGeometry,  // --no-geometry
  kWerror,      // -Werror
  kNoCaret,     // --no-caret
  kQuiet,       // -q
  kBuiltIn,     // --built-in
  kAll,         // --all
  kList,        // --list
  kMarkdown,    // --markdown
  kJson,        // --json
  kOpen,        // --open
  kStdio,       // --stdio
};

// One option of a command: how it is written, what its value is called in the help (empty for
// a flag), what the reader does with it, the help's line for it, and a flag's id.
struct Opzione {
  std::string_view nome;
  std::string_view valore{};
  Genere genere = Genere::kBandiera;
  std::string_view aiuto{};
  Bandiera bandiera = Bandiera::kNessuna;
};

// The row of `opzioni` written `nome`, found while compiling: a name no row has does not build.
consteval Opzione per_nome(std::span<const Opzione> opzioni, std::string_view nome) {
  for (const Opzione& o : opzioni)
    if (o.nome == nome) return o;
  throw "no option of that name";
}

// A command line as read.
struct Argomenti {
  std::vector<std::string> posizionali;   // the words that are not options, as given (UTF-8)
  std::optional<std::string> nome_linea;  // Windows-1252
  std::optional<std::string> nome_treno;  // Windows-1252
  std::optional<std::filesystem::path> uscita;
  std::optional<uint16_t> porta;
  bool json = false;               // --diagnostics-format=json, the last one given
  std::vector<Bandiera> bandiere;  // the flags given

  bool ha(Bandiera bandiera) const;
};

// Whether a word that is not an option may join those before it: nothing, or the reason to
// refuse it. `comando` is the command's name.
using Verifica = std::optional<std::string> (*)(std::string_view comando,
                                                const std::vector<std::string>& prima,
                                                const std::string& parola);

// At most one word, a folder: "plot expects one folder, got A and B".
std::optional<std::string> una_cartella(std::string_view comando,
                                        const std::vector<std::string>& prima,
                                        const std::string& parola);

// Reads a command's words in order by its options; nothing when --help (or -h) comes first.
// ErroreUso for the first word that is wrong: an unknown option, an option without its value
// or with a value it cannot take, a word `verifica` refuses.
std::optional<Argomenti> leggi_argomenti(std::string_view comando,
                                         const std::vector<std::string>& parole,
                                         std::span<const Opzione> opzioni, Verifica verifica);

}  // namespace gs

#endif  // GS_RUN_RIGA_COMANDO_H

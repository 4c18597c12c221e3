// What the commands share: exit statuses, the usage error and the names from the command line.
#ifndef GS_RUN_RIGA_COMANDO_H
#define GS_RUN_RIGA_COMANDO_H

#include <filesystem>
#include <functional>
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

// One option of a command: its word, whether the next argument is its value, and what it does
// (given the value, or an empty string); the action returns the reason to refuse, if any.
struct Opzione {
  std::string_view parola;
  bool con_valore = false;
  std::function<std::optional<std::string>(const std::string&)> azione;
};

// A command's arguments in order: --help or -h prints `uso` and ends with 0; a known option
// takes its value and runs its action; any other word starting with '-' is refused; the rest
// are the command's operands, in `operandi`. Returns the exit status when the command is not
// to run, nothing when it is.
std::optional<int> analizza_opzioni(const std::vector<std::string>& argomenti, std::string_view uso,
                                    std::span<const Opzione> opzioni,
                                    std::vector<std::string>& operandi);

// The options several commands share, each writing into the variable it is given.
Opzione opzione_nome_linea(std::optional<std::string>& nome);    // --line-name NAME, as 1252
Opzione opzione_nome_treno(std::optional<std::string>& nome);    // --train-name NAME, as 1252
Opzione opzione_segnale(std::string_view parola, bool& acceso);  // a flag that sets `acceso`

}  // namespace gs

#endif  // GS_RUN_RIGA_COMANDO_H

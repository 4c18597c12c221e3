// What the commands share: exit statuses, the usage error and the names from the command line.
#ifndef GS_RUN_RIGA_COMANDO_H
#define GS_RUN_RIGA_COMANDO_H

#include <filesystem>
#include <stdexcept>
#include <string>

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

}  // namespace gs

#endif  // GS_RUN_RIGA_COMANDO_H

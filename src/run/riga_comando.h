// What the commands share: exit statuses, the usage error and the names from the command line.
#ifndef GS_RUN_RIGA_COMANDO_H
#define GS_RUN_RIGA_COMANDO_H

#include <string>

namespace gs {

inline constexpr int kEsitoErrore = 1;  // a compile error, or a damaged compiled file
inline constexpr int kEsitoUso = 2;     // a bad command line, or a file that cannot be read or written

// Prints the reason and a pointer to --help on standard error; returns kEsitoUso.
int uso_errato(const std::string& motivo);

// Command-line text as Windows-1252: UTF-8 is converted where it maps, else kept as given.
std::string in_1252(const std::string& testo);

}  // namespace gs

#endif  // GS_RUN_RIGA_COMANDO_H

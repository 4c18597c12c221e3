// serve: the route sheet of two sources in the browser, compiled again on every save. The
// command line (the names, -o) is the caller's: serve watches the sources, compiles them with
// what it is given, and answers the page.
#ifndef GS_SERVE_SERVE_H
#define GS_SERVE_SERVE_H

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/diagnostica.h"
#include "compiler/compilatore.h"
#include "output/uscita.h"

namespace gs {

inline constexpr uint16_t kPortaPredefinita = 8237;

struct Servizio {
  std::vector<std::string> sorgenti;   // the line source and the train source, as given (UTF-8)
  uint16_t porta = kPortaPredefinita;  // 0: a free one
  bool apri = false;                   // open the page in the system's browser
  // One compile of the two source texts into `c`: 0, or the error number that stopped it
  // before a file could be written.
  std::function<int32_t(Compilazione& c, std::string linea, std::string treno)> compila;
  // Writes the compiled files of a compile without errors (-o); none when empty. ErroreFile
  // when they cannot be written. When another run holds the output folder, `in_attesa` is
  // called as the wait begins, and the wait is given up as soon as `rinuncia()` says so: then
  // nothing is written and nothing comes back.
  std::function<std::optional<std::vector<FileScritto>>(const Compilazione& c,
                                                        const std::function<void()>& in_attesa,
                                                        const std::function<bool()>& rinuncia)>
      scrivi;
  // A diagnostic's line, and a written file's, as the terminal is told them.
  std::function<std::string(const Diagnostica& d)> riga_diagnostica;
  std::function<std::string(const FileScritto& f)> riga_scritto;
};

// Serves until SIGINT or SIGTERM. ErroreFile when a source cannot be read at the start; the
// reason, having served nothing, when the port cannot be had; nothing after a stop.
std::optional<std::string> servi(const Servizio& s);

}  // namespace gs

#endif  // GS_SERVE_SERVE_H

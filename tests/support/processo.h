// Runs the built program in a shell and captures its exit status and output.
#ifndef GS_TESTS_SUPPORT_PROCESSO_H
#define GS_TESTS_SUPPORT_PROCESSO_H

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/cartella.h"

namespace gs::test {

struct Uscita {
  int stato = -1;
  std::string out;
  std::string err;
};

// `argomenti` is shell text; the program runs in `cartella`, its output is kept there too.
inline Uscita esegui(const std::filesystem::path& programma, const std::string& argomenti,
                     const std::filesystem::path& cartella) {
  const auto out = cartella / ".stdout";
  const auto err = cartella / ".stderr";
  const std::string comando = "cd '" + cartella.string() + "' && '" + programma.string() + "' " +
                              argomenti + " > '" + out.string() + "' 2> '" + err.string() + "'";
  const int r = std::system(comando.c_str());
  Uscita u;
  u.stato = WIFEXITED(r) ? WEXITSTATUS(r) : -1;
  u.out = contenuto(out);
  u.err = contenuto(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return u;
}

}  // namespace gs::test

#endif  // GS_TESTS_SUPPORT_PROCESSO_H

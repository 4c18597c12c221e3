// The commands: one table from which the dispatcher, the program's usage, each command's
// --help and the manual page's synopsis are made.
#ifndef GS_RUN_COMANDI_H
#define GS_RUN_COMANDI_H

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "run/riga_comando.h"

namespace gs {

struct Comando {
  std::string_view nome{};
  std::span<const std::string_view> uso{};  // its forms, after "genera_scenario "
  std::string_view riassunto{};             // what it does, in the program's usage
  // The command whose --help it shows, which lists the forms of both (check shows compile's);
  // empty for its own.
  std::string_view aiuto_di{};
  // --help's paragraphs before the options and after them, one line of text each.
  std::string_view descrizione{};
  std::span<const Opzione> opzioni{};
  std::string_view chiusura{};
  Verifica posizionale = nullptr;  // the words that are not options; nullptr takes any
  int (*esegui)(const Argomenti& a) = nullptr;
  // A server's standard output is its own: serve's log of compiles, which may outlive the
  // terminal that read it, and the language server's protocol, whose end it handles itself.
  // Every other command fails when its output could not all be written.
  bool server = false;
};

// Every command, in the order the usage lists them.
std::span<const Comando> comandi();
const Comando* comando(std::string_view nome);

// `genera_scenario --help`, `genera_scenario COMMAND --help`, and the manual page's SYNOPSIS
// section (docs/genera_scenario.1, which scripts/aggiorna_man.sh rewrites from it). A form's
// "[options]" stands for every option of the command in the synopsis.
std::string uso_programma();
std::string aiuto(const Comando& c);
std::string sinossi_man();

// The commands, each on its command line as read by its row.
int comando_compile(const Argomenti& a);
int comando_check(const Argomenti& a);
int comando_new(const Argomenti& a);
int comando_explain(const Argomenti& a);
int comando_inspect(const Argomenti& a);
int comando_plot(const Argomenti& a);
int comando_serve(const Argomenti& a);
int comando_lsp(const Argomenti& a);

// Inspect's words: compiled files, told apart by their names.
std::optional<std::string> file_compilato(std::string_view comando,
                                          const std::vector<std::string>& prima,
                                          const std::string& parola);

}  // namespace gs

#endif  // GS_RUN_COMANDI_H

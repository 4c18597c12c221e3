// The commands of route authors that run/ carries out: compile and check, new, and those that
// show what the simulator will load.
#ifndef GS_RUN_STRUMENTI_H
#define GS_RUN_STRUMENTI_H

#include <string>
#include <vector>

namespace gs {

// `inspect FILE... [--json] [--all]`; the arguments after the command word.
int comando_inspect(const std::vector<std::string>& argomenti);
// `plot DIR [--line-name NAME] [--train-name NAME] [-o FILE.svg]`. Without both names it plots
// the one scenario compiled in DIR that fits the name given, if any, and lists the choices
// when there are several.
int comando_plot(const std::vector<std::string>& argomenti);

// `new DIR --line-name NAME --train-name NAME` or `new DIR --built-in`: a starting pair of
// sources.
int comando_new(const std::vector<std::string>& argomenti);

// `compile` (scrivi) or `check` (not scrivi) of LINE_SOURCE TRAIN_SOURCE [options].
int comando_compila(const std::vector<std::string>& argomenti, bool scrivi);

}  // namespace gs

#endif  // GS_RUN_STRUMENTI_H

// The commands that show route authors what the simulator will load.
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

// `serve LINE_SOURCE TRAIN_SOURCE [--port N] [-o DIR] [--open]`: the route sheet in the
// browser, compiled again on every save.
int comando_serve(const std::vector<std::string>& argomenti);

}  // namespace gs

#endif  // GS_RUN_STRUMENTI_H

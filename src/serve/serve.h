// serve: the route sheet and the diagnostics of a pair of sources in the browser, on this
// machine only, compiled again every time a source is saved.
#ifndef GS_SERVE_SERVE_H
#define GS_SERVE_SERVE_H

#include <string>
#include <vector>

namespace gs {

// `serve LINE_SOURCE TRAIN_SOURCE [--port N] [-o DIR] [--open]`; the arguments after the
// command word.
int comando_serve(const std::vector<std::string>& argomenti);

}  // namespace gs

#endif  // GS_SERVE_SERVE_H

// genera_scenario: writes and compiles the built-in scenario, or compiles a route author's
// sources (see --help). The system's entry point is the platform's (main, or wmain on
// Windows, in src/platform/avvio_*.cc): it sets up the console and hands the arguments
// over as UTF-8.
#include "platform/piattaforma.h"
#include "run/esecuzione.h"

int gs::programma(int argc, char** argv) { return principale(argc, argv); }

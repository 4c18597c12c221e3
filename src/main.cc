// genera_scenario: writes and compiles the built-in scenario, or compiles a route author's
// sources (see --help).
#include "run/esecuzione.h"

int main(int argc, char** argv) { return gs::principale(argc, argv); }

// The entry point on POSIX systems: the arguments are bytes already, UTF-8 by convention.
#include "piattaforma/piattaforma.h"

int main(int argc, char** argv) { return gs::programma(argc, argv); }

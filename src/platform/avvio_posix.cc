// The entry point on POSIX systems: the arguments are bytes already, UTF-8 by convention.
#include "platform/piattaforma.h"

int main(int argc, char** argv) {
  gs::piattaforma::pulisci_alle_interruzioni();
  return gs::programma(argc, argv);
}

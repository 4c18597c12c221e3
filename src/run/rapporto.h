// Diagnostics of a compile, one line each, in the order they were recorded.
#ifndef GS_RUN_RAPPORTO_H
#define GS_RUN_RAPPORTO_H

#include <ostream>

#include "common/errori.h"

namespace gs {

void riporta(const Registro& registro, std::ostream& uscita);

}  // namespace gs

#endif  // GS_RUN_RAPPORTO_H

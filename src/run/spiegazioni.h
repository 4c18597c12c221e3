// What each error number and each warning means to a route author, from the table of
// diagnostics (common/cause.h): `explain`, its forms for the terminal and for the authors'
// guide, and the list of every entry.
#ifndef GS_RUN_SPIEGAZIONI_H
#define GS_RUN_SPIEGAZIONI_H

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/cause.h"

namespace gs {

// The entry of an error number or a warning name ("16", "E16" or "unknown-record").
const Spiegazione* voce(std::string_view chiave);

// An entry for the terminal (`explain N`) or as Markdown (the guide's list).
std::string testo_voce(const Spiegazione& v);
std::string markdown_voce(const Spiegazione& v);

// The error numbers in use, in words: "1 to 13, 15 to 22, 24, 25, ... 1250 and 1251".
std::string numeri_errori();

// Every entry's code (E16, unknown-record) and title, one per line or as a Markdown table.
std::string elenco_voci(bool markdown);
// The same list as the manual page's paragraphs (roff).
std::string elenco_voci_man();

}  // namespace gs

#endif  // GS_RUN_SPIEGAZIONI_H

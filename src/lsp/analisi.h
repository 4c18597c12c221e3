// A source as the editor's features see it: line by line, its section heads and its records,
// each record's keyword and value fields with their extents and the table's description of
// each (record_sorgenti.h). Hover, completion, signature help, symbols and formatting read it;
// the compile alone decides what the source means, so this reading is only as close to the
// readers' as those features need: one record per line, fields read by the field reader.
#ifndef GS_LSP_ANALISI_H
#define GS_LSP_ANALISI_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/record_sorgenti.h"

namespace gs::lsp {

// A value field of a record line: its description, and where it stands on the line (byte
// offsets of the Windows-1252 line, one byte per character of the editor's line).
struct CampoLetto {
  const RecordSorgente* record = nullptr;
  const CampoSorgente* campo = nullptr;
  std::size_t inizio = 0;
  std::size_t fine = 0;
  std::string_view testo;         // what the field holds, as read
  std::optional<int64_t> numero;  // a number field's value, when it reads as one
  bool dopo_virgola = true;       // separated from the field before by a comma, not blanks
};

// A keyword field and the record types it names, in order (one keyword may name several).
struct ParolaLetta {
  std::size_t inizio = 0;
  std::size_t fine = 0;
  std::vector<const RecordSorgente*> record;
};

struct RigaLetta {
  std::size_t riga = 0;    // from 0
  std::string_view testo;  // the line, Windows-1252, without its line end
  // The section the line is read in; none before the source's [generale].
  std::optional<Sezione> sezione;
  bool testata = false;           // a section head: [curve]
  std::size_t inizio_parola = 0;  // the first field: a keyword, or the head
  std::size_t fine_parola = 0;
  // The keywords on the line that name records, the first one first: a record's values may be
  // followed on its line by another record.
  std::vector<ParolaLetta> parole;
  std::vector<CampoLetto> campi;  // their value fields on this line, in order
  bool virgolette = false;        // a quoted field stands on the line
};

struct Analisi {
  bool linea = false;  // a line source; a train source otherwise
  std::vector<RigaLetta> righe;
  // The section a line typed after line `riga` is read in (a head's line is in the section
  // it starts).
  std::optional<Sezione> sezione_dopo(std::size_t riga) const;
};

// `testo` is the Windows-1252 text; it must outlive the analysis.
Analisi analizza(std::string_view testo, bool linea);

// The keyword authors write for a record (its first written form).
std::string_view parola_scritta(const RecordSorgente& r);

}  // namespace gs::lsp

#endif  // GS_LSP_ANALISI_H

// Reading the compiled scenario files back, so that a route author can see what a compile
// produced: the meaning of each table entry and grid point, and readable views (text and JSON).
// The decoders from bytes to structures are format/'s.
#ifndef GS_VIEWS_ISPEZIONA_H
#define GS_VIEWS_ISPEZIONA_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "format/formato.h"
#include "format/geometria.h"
#include "format/lettore.h"
#include "format/punti.h"

namespace gs {

enum class Compilato { kGeometria, kTabella, kGriglia };

// The kind of compiled file a name ends with: "_linea.dat", ".sim", ".dat". The geometry's
// ending is tested first, since it also ends in ".dat".
std::optional<Compilato> compilato_da_nome(std::string_view nome);

struct RiassuntoGeometria {
  std::size_t metri = 0;
  std::size_t posizionati = 0;
  std::size_t primo = 0;  // first and last metre with a plan position
  std::size_t ultimo = 0;
  double min0 = 0, max0 = 0, min1 = 0, max1 = 0;
  // Sum of the heading changes between consecutive steps: in absolute value, and signed with
  // a turn from column 1 toward column 0 (a right-hand curve) positive.
  double svolta_totale = 0;
  double svolta_netta = 0;
  // The steps are not renormalised after a curve, so the drawn line is longer than the
  // number of metres says.
  double lunghezza_pianta = 0;
  double ultimo_passo = 0;
};

RiassuntoGeometria riassumi_geometria(const Geometria& g);

// What each table entry holds.
enum class Ruolo { kVuota, kStazione, kCartello, kProgressiva, kParametri, kLinea, kTreno };

// Every field zero and no name.
bool voce_vuota(const Stazione& s);

// Stations from entry 1 up to the first empty entry; board texts from entry 80 down while
// they carry a text; the six tail entries; every other entry is empty (or unexpected).
std::array<Ruolo, kVociStazioni> ruoli_voci(const Stazioni& t);

// "05:27:00"; times past a day or negative are kept as they are: "-00:00:10", "25:00:00".
std::string formatta_orario(int64_t secondi);

// The train's starting clock (entry 86's fields 10 to 12) in seconds of the day.
inline int64_t orologio_treno(const Stazione& treno) {
  return int64_t{treno.ore()} * 3600 + int64_t{treno.minuti()} * 60 + treno.secondi();
}

// The kind of point in words ("signal", "slowdown start", ...).
std::string nome_tipo_cella(uint8_t tipo);
// The text of a board entry with its fixed-width groups joined: "GALLERIA RIO TOMBA Mt.66".
std::string testo_cartello(std::string_view nome);

// One file as read for a view.
struct FileIspezionato {
  std::string nome;  // as the user named it
  std::size_t byte = 0;
  std::variant<Stazioni, std::vector<Cella>, Geometria> contenuto;
  // For a grid: the table of the same scenario, which names the stations and boards the cells
  // point to and lets the race code be checked.
  std::optional<Stazioni> tabella;
};

// Readable text; `tutto` lists every cell, entry and metre instead of those holding something.
std::string ispezione_testo(const std::vector<FileIspezionato>& file, bool tutto);
// The same as one JSON document, texts in UTF-8.
std::string ispezione_json(const std::vector<FileIspezionato>& file, bool tutto);

}  // namespace gs

#endif  // GS_VIEWS_ISPEZIONA_H

// The compiled scenario as the simulator reads it: the records of the scenario table and of
// the track grid, each with the one ordered list of its fields that the compiler's writer, the
// viewers' readers and the tests all use; the byte layouts of the three files; and the rules
// that turn positions on the line into grid cells.
#ifndef GS_FORMAT_FORMATO_H
#define GS_FORMAT_FORMATO_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>

namespace gs {

// One field of a record, in file order: its name and the member that holds it. Its width and
// signedness are those of the member's type; a std::string is a text (16-bit length, then its
// bytes).
template <typename Record, typename T>
struct Campo {
  std::string_view nome;
  T Record::*membro;
  using Tipo = T;
};

// Calls `f` on each field of a list, in file order.
template <typename Campi, typename F>
constexpr void per_ogni_campo(const Campi& campi, F&& f) {
  std::apply([&](const auto&... c) { (f(c), ...); }, campi);
}

// The bytes a field takes on disk; a text's length word only.
template <typename T>
constexpr std::size_t larghezza() {
  if constexpr (std::is_same_v<T, std::string>)
    return 2;
  else
    return sizeof(T);
}

template <typename Campi>
constexpr std::size_t larghezza_record(const Campi& campi) {
  std::size_t n = 0;
  per_ogni_campo(
      campi, [&](const auto& c) { n += larghezza<typename std::decay_t<decltype(c)>::Tipo>(); });
  return n;
}

// An entry of the station and parameter table.
struct Stazione {
  uint8_t tipo = 0;
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t posizione = 0;
  uint8_t campo4 = 0;
  std::string nome;  // Windows-1252
  int16_t campo7 = 0;
  int16_t campo8 = 0;
  int16_t campo10 = 0;
  int16_t campo11 = 0;
  int16_t campo12 = 0;
  uint8_t campo9 = 0;
  uint8_t campo13 = 0;
  uint8_t campo6 = 0;
  uint8_t campo5 = 0;
  int32_t orario = 0;
  bool operator==(const Stazione&) const = default;

  // The fields that an entry's role renames. Entry 85 (the line): the table marker.
  int16_t& marcatore() { return campo7; }
  int16_t marcatore() const { return campo7; }
  // Entry 86 (the train): the sand amount and the starting clock's hours, minutes, seconds.
  int16_t& sabbia() { return campo7; }
  int16_t sabbia() const { return campo7; }
  int16_t& ore() { return campo10; }
  int16_t ore() const { return campo10; }
  int16_t& minuti() { return campo11; }
  int16_t minuti() const { return campo11; }
  int16_t& secondi() { return campo12; }
  int16_t secondi() const { return campo12; }
};

inline constexpr auto kCampiStazione = std::tuple{
    Campo<Stazione, uint8_t>{"tipo", &Stazione::tipo},
    Campo<Stazione, int32_t>{"inizio", &Stazione::inizio},
    Campo<Stazione, int32_t>{"fine", &Stazione::fine},
    Campo<Stazione, int32_t>{"posizione", &Stazione::posizione},
    Campo<Stazione, uint8_t>{"campo4", &Stazione::campo4},
    Campo<Stazione, std::string>{"nome", &Stazione::nome},
    Campo<Stazione, int16_t>{"campo7", &Stazione::campo7},
    Campo<Stazione, int16_t>{"campo8", &Stazione::campo8},
    Campo<Stazione, int16_t>{"campo10", &Stazione::campo10},
    Campo<Stazione, int16_t>{"campo11", &Stazione::campo11},
    Campo<Stazione, int16_t>{"campo12", &Stazione::campo12},
    Campo<Stazione, uint8_t>{"campo9", &Stazione::campo9},
    Campo<Stazione, uint8_t>{"campo13", &Stazione::campo13},
    Campo<Stazione, uint8_t>{"campo6", &Stazione::campo6},
    Campo<Stazione, uint8_t>{"campo5", &Stazione::campo5},
    Campo<Stazione, int32_t>{"orario", &Stazione::orario},
};

// Entries 0 to 86. Stations from entry 1 upward, board texts from entry 80 downward, then the
// general parameters. The entry numbers are read by the simulator: never move them.
inline constexpr int kVociStazioni = 87;
inline constexpr int kPrimoCartello = 80;
inline constexpr int kProgressivaTre = 81;  // after ordering: the largest start
inline constexpr int kProgressivaDue = 82;
inline constexpr int kProgressivaUno = 83;  // after ordering: the smallest start
inline constexpr int kVoceParametri = 84;   // braked mass, line length, cars
inline constexpr int kVoceLinea = 85;       // backgrounds, line name, marker, race code
inline constexpr int kVoceTreno = 86;       // signal repetition, train name, sand, clock

using Stazioni = std::array<Stazione, kVociStazioni>;

// The longest text a record can carry: its length is stored in 16 bits.
inline constexpr std::size_t kTestoMassimo = 65535;

// Kinds of point a cell can hold (`tipo`). Stored in the compiled grid: never renumber.
enum TipoCella : uint8_t {
  kLibera = 0,
  kSegnale = 1,
  kFineRallentamento = 2,
  kInizioRallentamento = 3,
  kAvvisoRallentamento = 4,
  kPreavvisoRallentamento = 5,
  kIndicatoreVelocita = 6,
  kStazione = 10,
  kMarcaMontagna = 11,
  kCodice = 12,
  kAbbattimento = 13,
  kCartelloIndicatore = 14,
};

// One 50 m step of the track grid.
struct Cella {
  uint8_t tipo = 0;
  int16_t dato1 = 0;
  int16_t dato2 = 0;
  int16_t dato3 = 0;
  int16_t dato4 = 0;
  uint8_t tempo = 0;
  uint8_t preavviso = 0;
  uint8_t montagna = 0;
  uint8_t velocita = 0;  // km/h divided by 5
  uint8_t pendenza = 0;  // per mille plus 100
  uint8_t aderenza = 0;
  bool operator==(const Cella&) const = default;
};

inline constexpr auto kCampiCella = std::tuple{
    Campo<Cella, uint8_t>{"tipo", &Cella::tipo},
    Campo<Cella, int16_t>{"dato1", &Cella::dato1},
    Campo<Cella, int16_t>{"dato2", &Cella::dato2},
    Campo<Cella, int16_t>{"dato3", &Cella::dato3},
    Campo<Cella, int16_t>{"dato4", &Cella::dato4},
    Campo<Cella, uint8_t>{"tempo", &Cella::tempo},
    Campo<Cella, uint8_t>{"preavviso", &Cella::preavviso},
    Campo<Cella, uint8_t>{"montagna", &Cella::montagna},
    Campo<Cella, uint8_t>{"velocita", &Cella::velocita},
    Campo<Cella, uint8_t>{"pendenza", &Cella::pendenza},
    Campo<Cella, uint8_t>{"aderenza", &Cella::aderenza},
};

// A table record is 34 bytes plus its name; a cell 15 bytes.
inline constexpr std::size_t kRecordTabella = larghezza_record(kCampiStazione);
inline constexpr std::size_t kRecordCella = larghezza_record(kCampiCella);
static_assert(kRecordTabella == 34 && kRecordCella == 15);

// A cell's field by its name in the layout above ("dato1", "velocita"); none for another name.
constexpr std::optional<int64_t> campo_cella(const Cella& c, std::string_view nome) {
  std::optional<int64_t> v;
  per_ogni_campo(kCampiCella, [&](const auto& f) {
    if (f.nome == nome) v = c.*(f.membro);
  });
  return v;
}

// Kind words of the geometry's tagged values.
inline constexpr uint16_t kVuoto = 0;
inline constexpr uint16_t kIntero = 2;
inline constexpr uint16_t kReale = 5;

// The marker values the simulator checks: entry 85 `campo7` and cell 1 `dato1`.
inline constexpr int16_t kMarcatoreTabella = 610;
inline constexpr int16_t kMarcatoreGriglia = 5121;

// A mountain marker is only a hint: any point may take its cell.
inline bool libera(const Cella& c) { return c.tipo == kLibera || c.tipo == kMarcaMontagna; }

// Nearest integer of a real, halves to even (the default rounding mode): 0.5 -> 0, 1.5 -> 2,
// 25.5 -> 26. Every position is turned into a cell this way.
int64_t arrotonda(double x);

// The length of line one cell covers, in metres.
inline constexpr int64_t kMetriCella = 50;
// Whether a position falls on a cell boundary, a whole multiple of 50 m.
inline bool multiplo_cella(int64_t metri) { return metri % kMetriCella == 0; }
// The profile step that holds metre `metri`: metri / 50, truncated toward zero (for the
// drawings, which only ask it of metres from 0 up).
inline int64_t passo_profilo(int64_t metri) { return metri / kMetriCella; }

// The cell of a point at `metri` (signals, slowdowns, boards): round(metri / 50 + 1).
int64_t cella_punto(int64_t metri);
// The first cell of a profile value (gradient, speed limit, adhesion) and of a code-point
// record: round(metri / 50).
int64_t cella_profilo(int64_t metri);
// The position a point cell stands for: cell k holds the points around 50 (k - 1) m.
inline int64_t metro_cella(int64_t cella) { return kMetriCella * (cella - 1); }
// Where the profile step of cell k begins: 50 k m.
inline int64_t metro_profilo(int64_t cella) { return kMetriCella * cella; }
// The last cell of a mountain span that ends at `metri`: round(metri / 50 - 1), which halves to
// even are not always round(metri / 50) - 1.
int64_t ultima_cella_campata(int64_t metri);
// How far the grid and the plan view run past the line's end: the grid of a line of length L
// has cells 0 to round((L + 7000) / 50).
inline constexpr int64_t kMetriOltreLinea = 7000;
// Where a grid of cells 0 to `ultima` ends, in metres: kMetriOltreLinea past the line's end,
// and the bound of every record's position (below).
inline int64_t fine_griglia(int64_t ultima) { return kMetriCella * ultima; }
// A record's position is inside a grid of cells 0 to `ultima` when (position + margine) / 50,
// a real, does not exceed `ultima`.
bool nella_griglia(int64_t ultima, int64_t posizione, int64_t margine);
// The margins the readers pass to nella_griglia: every point and profile record keeps 100 m of
// grid past its position, a station 800 m.
inline constexpr int64_t kMargineRecord = 100;
inline constexpr int64_t kMargineStazione = 800;

// A slowdown's warning point stands this far before its start.
inline constexpr int64_t kMetriAvviso = 1200;
// A station's length is a whole multiple of this many metres.
inline constexpr int64_t kPassoLunghezzaStazione = 100;

// The span of a station from its position, length, kind and field 6 (which adds 50 m to the
// end of the ordinary kinds).
struct Campata {
  int64_t inizio = 0;
  int64_t fine = 0;
};
Campata campata_stazione(uint8_t tipo, int64_t posizione, int64_t lunghezza, uint8_t campo6);
// Kinds 5 and 6 end 150 m past their position, 7 and 8 one length past it, the others half a
// length past it (plus 50 with field 6).
std::string_view regola_campata(uint8_t tipo);
// Kinds below 25 have a stop cell (kind 10), one before round(end / 50); all but 5 and 6 have
// the four approach markers before it.
inline bool ha_fermata(uint8_t tipo) { return tipo < 25; }
inline bool ha_preavvisi(uint8_t tipo) { return ha_fermata(tipo) && tipo != 5 && tipo != 6; }
int64_t cella_fermata(int64_t fine);

// The chainage (m) at a position of the line, from the section with the largest start at or
// before it (entries 81 to 83, ordered); positions before every start use the smallest start.
int64_t progressiva_a(const Stazioni& t, int64_t posizione);
// A chainage as the viewers and the editor's hover show it: "km 95+450"; a negative one as
// "km -0+050".
std::string formatta_progressiva(int64_t metri);

}  // namespace gs

#endif  // GS_FORMAT_FORMATO_H

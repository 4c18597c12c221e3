// The records of the two sources, each described once: the words its keyword must hold, and
// each value field's name, type, unit, accepted range, what it becomes and where it lands in
// the compiled files. The readers walk it to read and name fields, the guide's field tables
// are made from it, and an editor can offer and explain a record from it.
#ifndef GS_COMPILER_RECORD_SORGENTI_H
#define GS_COMPILER_RECORD_SORGENTI_H

#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

namespace gs {

// Where a record is read: the line source's general section (before its first section head),
// the line source after it, or the train source after its [generale].
enum class Sezione : uint8_t { kLineaGenerale, kLinea, kTreno };

// Every kind of source record, in the order the readers test a keyword for them.
enum class TipoRecord : uint8_t {
  kLunghezza,
  kProgressivaChilometricaTre,
  kProgressivaChilometricaDue,
  kProgressivaChilometricaUno,
  kSfondoUno,
  kSfondoDue,
  kSfondoTre,
  kRipetizione,
  kPendenza,
  kCurva,
  kMontagna,
  kIndicatori,
  kCartello,
  kMassaFrenata,
  kVetture,
  kVelocita,
  kAderenza,
  kOrologio,
  kSabbia,
  kSegnale,
  kRallentamento,
  kAbbattimento,
  kStazione,
};

// How a value is read: a whole number within the range of its type, a text, or a value the
// keyword itself carries (a curve's side and class, the number of repetition codes).
enum class TipoCampo : uint8_t { kI32, kI16, kU8, kTesto, kParola };

// The range a number field is read in; outside it, or not a whole number, it is error 25.
constexpr int64_t minimo(TipoCampo t) {
  switch (t) {
    case TipoCampo::kI32:
      return std::numeric_limits<int32_t>::min();
    case TipoCampo::kI16:
      return std::numeric_limits<int16_t>::min();
    default:
      return 0;
  }
}
constexpr int64_t massimo(TipoCampo t) {
  switch (t) {
    case TipoCampo::kI32:
      return std::numeric_limits<int32_t>::max();
    case TipoCampo::kI16:
      return std::numeric_limits<int16_t>::max();
    case TipoCampo::kU8:
      return std::numeric_limits<uint8_t>::max();
    default:
      return 0;
  }
}

// The grid cell a position field decides.
enum class RegolaCella : uint8_t {
  kNessuna,
  kPunto,        // a point: round(p / 50 + 1) (cella_punto)
  kProfilo,      // a profile step or a code point: round(p / 50) (cella_profilo)
  kFineCampata,  // the last cell of a mountain span: round(p / 50 - 1) (ultima_cella_campata)
};

// Where a value lands in the compiled files.
enum class Dove : uint8_t {
  kNessuno,       // it decides something else (a cell, a mark) and is not stored as such
  kVoce,          // the table entry `voce`
  kVoceStazione,  // the station's own table entry, N for the N-th station record
  kVoceCartello,  // the board's table entry, 80 for the first board, 79 for the next ...
  kVociSezioni,   // one of the entries 81 to 83, as the chainage sections are ordered
  kCelle,         // the track grid's cells
  kPianta,        // the plan-view geometry
};

struct Approdo {
  Dove dove = Dove::kNessuno;
  int voce = 0;            // for kVoce
  std::string_view campo;  // the compiled field (kCampiStazione, kCampiCella); may be empty
};

// One field of a record.
struct CampoSorgente {
  std::string_view nome;        // as the reader's messages name it: "gradient start", "sx"
  std::string_view segnaposto;  // as the record's form writes it: START, sx
  TipoCampo tipo;
  std::string_view unita;        // "m", "km/h", "per mille"; empty for a plain number
  std::string_view significato;  // what the author gives
  std::string_view controlli;    // what the compiler checks beyond the type, with the error
  Approdo approdo;
  std::string_view diventa;  // how it is stored and where, in the guide's words
  RegolaCella cella = RegolaCella::kNessuna;
};

// A word the keyword field must hold: in any letter case, or only as written (lower case).
struct ParolaChiave {
  std::string_view parola;
  bool minuscola = false;
};

struct RecordSorgente {
  TipoRecord tipo;
  Sezione sezione;
  std::string_view forma;                     // its keyword in the guide's form: curvaSC
  std::span<const std::string_view> scritte;  // its keyword as authors write it
  std::span<const ParolaChiave> parole;  // all must be in the keyword; a hint names it by the first
  std::span<const CampoSorgente> dalla_parola;  // what the keyword itself carries
  std::span<const CampoSorgente> campi;         // the value fields, in order

  // Whether a keyword field names this record: it holds every word of `parole`.
  bool riconosce(std::string_view campo) const;
};

inline constexpr Sezione kSezioni[] = {Sezione::kLineaGenerale, Sezione::kLinea, Sezione::kTreno};

// The records read in one section, in the order the reader tests a keyword for them.
std::span<const RecordSorgente> record_di(Sezione sezione);
const RecordSorgente& record_sorgente(TipoRecord tipo);

// The grid cell a position of `metri` decides under `regola` (not kNessuna).
int64_t cella_di(RegolaCella regola, int64_t metri);

}  // namespace gs

#endif  // GS_COMPILER_RECORD_SORGENTI_H

// Compile error numbers, and the failures that abort reading a source or a file.
#ifndef GS_COMMON_ERRORI_H
#define GS_COMMON_ERRORI_H

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "common/luogo.h"

namespace gs {

// The numbers are what users and the simulator's authors see: never renumber them.
// 14 and 23 are not used.
enum Errore : int32_t {
  kNessuno = 0,
  kLunghezzaEccessiva = 1,
  kProgressivaNonMultipla = 2,
  kRipetizioneUnoNonMultipla = 3,
  kRipetizioneDueNonMultipla = 4,
  kRipetizioneSenzaCodici = 5,
  kCartelloOccupato = 6,
  kAbbattimentoOccupato = 7,
  kStazioneNonMultipla = 8,
  kLunghezzaStazioneNonMultipla = 9,
  kTroppeStazioni = 10,
  kCodiceSegnale = 11,
  kCodiceInizioRallentamento = 12,
  kCodiceDentroRallentamento = 13,
  kOltreGriglia = 15,
  kConflittoSegnale = 16,
  kConflittoAvviso = 17,
  kConflittoInizio = 18,
  kConflittoFine = 19,
  kConflittoPreavvisi = 20,
  kConflittoIndicatore = 21,
  kStazioniVicine = 22,
  kStazioneInizioGriglia = 24,
  kLettura = 25,
  kLineaMancante = 101,
  kGeneraleMancante = 102,
  kCurvaNonValida = 103,
  kMarcatori = 1250,
  kCodiciGara = 1251,
};

// Every number in use, for the tables that must have an entry for each.
inline constexpr Errore kErrori[] = {kLunghezzaEccessiva,
                                     kProgressivaNonMultipla,
                                     kRipetizioneUnoNonMultipla,
                                     kRipetizioneDueNonMultipla,
                                     kRipetizioneSenzaCodici,
                                     kCartelloOccupato,
                                     kAbbattimentoOccupato,
                                     kStazioneNonMultipla,
                                     kLunghezzaStazioneNonMultipla,
                                     kTroppeStazioni,
                                     kCodiceSegnale,
                                     kCodiceInizioRallentamento,
                                     kCodiceDentroRallentamento,
                                     kOltreGriglia,
                                     kConflittoSegnale,
                                     kConflittoAvviso,
                                     kConflittoInizio,
                                     kConflittoFine,
                                     kConflittoPreavvisi,
                                     kConflittoIndicatore,
                                     kStazioniVicine,
                                     kStazioneInizioGriglia,
                                     kLettura,
                                     kLineaMancante,
                                     kGeneraleMancante,
                                     kCurvaNonValida,
                                     kMarcatori,
                                     kCodiciGara};

// A failure that ends the reading of both sources with error 25: a field that does not
// convert, a value out of range, a read past the end of a file, an index outside a table.
// `luogo` is where the cause stands, as far as the code that found it knows (its `file` is
// filled in by the reader of that file; line 0 = the reader's current record).
class ErroreLettura : public std::runtime_error {
 public:
  explicit ErroreLettura(const std::string& messaggio, Luogo luogo = {})
      : std::runtime_error(messaggio), luogo(std::move(luogo)) {}
  Luogo luogo;
};

// A file of the run that cannot be read, written, replaced or deleted.
class ErroreFile : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace gs

#endif  // GS_COMMON_ERRORI_H

#include "common/errori.h"

namespace gs {

std::string_view messaggio(int32_t numero) {
  switch (numero) {
    case kLunghezzaEccessiva: return "the line length is above 1000000 m";
    case kProgressivaNonMultipla:
      return "a chainage section's start or chainage value is not a multiple of 50 m";
    case kRipetizioneUnoNonMultipla:
      return "the first signal-repetition distance is not a multiple of 50 m";
    case kRipetizioneDueNonMultipla:
      return "the second signal-repetition distance is not a multiple of 50 m";
    case kRipetizioneSenzaCodici:
      return "the signal-repetition keyword names neither 4 nor 9 codes";
    case kCartelloOccupato: return "the indication board falls on a grid cell that is already taken";
    case kAbbattimentoOccupato: return "the code point falls on a grid cell that is already taken";
    case kStazioneNonMultipla: return "the station position is not a multiple of 50 m";
    case kLunghezzaStazioneNonMultipla: return "the station length is not a multiple of 100 m";
    case kTroppeStazioni:
      return "more stations than free table entries below the indication-board texts";
    case kCodiceSegnale:
      return "no free cell for a code point before a signal that precedes a slowdown warning";
    case kCodiceInizioRallentamento: return "no free cell for a code point ahead of a slowdown start";
    case kCodiceDentroRallentamento:
      return "no free cell for a code point inside or just after a slowdown";
    case kOltreGriglia: return "the position lies beyond the end of the track grid";
    case kConflittoSegnale: return "the signal's cell is already taken";
    case kConflittoAvviso: return "the slowdown's warning cell (1200 m before it) is already taken";
    case kConflittoInizio: return "the slowdown's start cell is already taken";
    case kConflittoFine: return "the slowdown's end cell is already taken";
    case kConflittoPreavvisi:
      return "one of the four cells before the slowdown's warning cell is already taken";
    case kConflittoIndicatore: return "the speed board's cell is already taken";
    case kStazioniVicine:
      return "the station is closer than 350 m to the previous one, or out of order";
    case kStazioneInizioGriglia: return "the station's stop cell lies too near the start of the grid";
    case kLettura: return "the source cannot be read";
    case kLineaMancante: return "the line source file does not exist";
    case kGeneraleMancante: return "the line source has no [generale] line";
    case kCurvaNonValida:
      return "a curve without a class digit 1 to 6, or the plan view runs past metre 1000000";
    case kMarcatori: return "the marker slots are not empty";
    case kCodiciGara: return "the race-code slots are not empty";
    default: return "unknown error";
  }
}

}  // namespace gs

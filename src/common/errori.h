// Compile error numbers, the record of the errors a compile found, and the failures that
// abort reading a source.
#ifndef GS_COMMON_ERRORI_H
#define GS_COMMON_ERRORI_H

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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

// One line of plain words per error number, for diagnostics.
std::string_view messaggio(int32_t numero);

// Where a record stands in its source: file name and 1-based line (0 = no line).
struct Luogo {
  std::string file;
  int32_t riga = 0;
};

struct Diagnostica {
  int32_t numero = 0;
  bool ha_posizione = false;
  int32_t posizione = 0;
  Luogo luogo;
  std::string dettaglio;  // replaces the standard message when not empty
};

// `n_errore` and `pos_errore` of the run, plus every error in the order it was recorded.
// A later error overwrites the numbers; the list keeps them all.
class Registro {
 public:
  int32_t n_errore = 0;
  int32_t pos_errore = 0;

  // The record being read; errors recorded now are attributed to it.
  Luogo luogo;

  void registra(int32_t numero, std::string dettaglio = {});
  void registra_in(int32_t numero, int32_t posizione, std::string dettaglio = {});
  // Sets pos_errore and attaches it to the last error recorded since `contati` entries.
  void posiziona(int32_t posizione, std::size_t contati);

  const std::vector<Diagnostica>& elenco() const { return elenco_; }

 private:
  std::vector<Diagnostica> elenco_;
};

// "FILE:LINE: error N at P m: MESSAGE", or without the file part when no line applies.
std::string formatta(const Diagnostica& d);

// A failure that ends the reading of both sources with error 25: a field that does not
// convert, a value out of range, a read past the end of a file, an index outside a table.
class ErroreLettura : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file of the run that cannot be read, written, replaced or deleted.
class ErroreFile : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace gs

#endif  // GS_COMMON_ERRORI_H

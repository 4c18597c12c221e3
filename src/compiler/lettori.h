// The two halves of memorizza_dati and what they share, for its pieces only.
#ifndef GS_COMPILER_LETTORI_H
#define GS_COMPILER_LETTORI_H

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "compiler/compilatore.h"
#include "compiler/lettore_campi.h"
#include "compiler/parole.h"
#include "compiler/record_sorgenti.h"

namespace gs {

// What the line part hands to the train part.
struct EsitoLinea {
  bool leggi_treno = false;  // false: the line part stopped with an error of its own
  int32_t limite_cartelli = kPrimoCartello;  // B: the next free board entry
  // Where the chainage sections of entries 81 to 83 were read (start and value fields), for
  // the check after the train source; line 0 for a cleared entry.
  std::array<Luogo, 3> inizio_sezione{};
  std::array<Luogo, 3> valore_sezione{};
};

EsitoLinea leggi_linea(Compilazione& c, Sorgenti& sorgenti);
void leggi_treno(Compilazione& c, Sorgenti& sorgenti, const EsitoLinea& linea);
// The timetable against the speed limits, once the train source has been read to its end: a
// stretch between timed stations faster than the limits allow is told at the later station's
// time field (`orari`, by table entry).
void controlla_percorrenze(Compilazione& c, std::span<const Luogo> orari);

// A scheduled time as written: "7:05:00".
std::string testo_orario(int32_t ore, int32_t minuti, int32_t secondi);

// A text field that fits a table record (16-bit length).
std::string_view testo_record(LettoreCampi& r, std::string_view campo);

// What both readers share: the source's name and field reader, the record being read, and
// the diagnostics made at its fields.
class LettoreSorgente {
 protected:
  LettoreSorgente(Compilazione& c, std::string file, std::string_view testo,
                  std::string_view quale);

  Stazioni& st() { return c_.stazioni; }
  Registro& reg() { return c_.registro; }

  // Reads the next keyword field after at most `trattini` fields holding "-"; it becomes the
  // current record. False at the end of the file, reached right after the keyword or, when
  // `fine_nei_trattini`, after a dropped field (the general section reads on, and fails).
  bool prossima(int trattini, std::string_view& campo, bool fine_nei_trattini = true);
  // A field dropped for holding "-": a warning when it reads as words, not as a separator.
  void scartato(std::string_view campo);
  // Starts reading the value fields of the current record as `tipo`'s row of the source-record
  // table describes them: valore(0) is the next one, and each read below takes the next field
  // of the row, named as the row names it, in the range of its type.
  void valori(TipoRecord tipo);
  int32_t campo_i32();
  int16_t campo_i16();
  uint8_t campo_u8();
  std::string_view campo_testo();
  // Where the current record's keyword, or its i-th value field, stands.
  const Luogo& chiave() const { return chiave_; }
  Luogo valore(std::size_t i) const;
  Luogo qui() const;

  // Error 15, at the record's position field, when the grid does not reach position + margine.
  bool dentro(int32_t posizione, int64_t margine, std::string_view cosa);
  // A point past the line's end but inside the grid: a warning.
  void oltre_linea(int32_t posizione, std::string_view cosa);
  // A skipped keyword field: a warning unless it is blank, a separator, a known head, or a
  // value on a line whose keyword was already skipped (tace_riga()).
  void sconosciuta(std::string_view campo, std::span<const std::string_view> accettate,
                   std::span<const std::string_view> testate,
                   std::initializer_list<Altrove> altrove);
  // A placer's refusal: a conflict is recorded at the record with its position and the record
  // holding the cell; a value that does not fit ends the reading (error 25).
  void rifiutata(const Posa& posa, int32_t posizione);
  // A name or text that is empty, blanks only, or holds a control character: a warning at
  // the current record's value field `campo`. `cosa` is "name" or "text", `di` whose it is.
  void controlla_nome(std::string_view nome, std::size_t campo, std::string_view cosa,
                      const std::string& di);
  // A record read after one of its kind that it should follow (record-order), at its keyword.
  void fuori_ordine(Detto d) { reg().avviso(std::move(d), chiave_); }

  // A reading failure, completed with this source's name and, when it has no place of its
  // own, the current record's.
  [[noreturn]] void rilancia(const ErroreLettura& e) const;

  // The values on the current record's line are skipped without a word: its keyword was
  // already warned about, or it is a record the reader knowingly skips.
  void tace_riga() { riga_tacita_ = chiave_.riga; }

  Compilazione& c_;
  std::string file_;
  LettoreCampi r_;

 private:
  // The first value field of the current record that stands on a line after its keyword's:
  // the record is short, and took it from there.
  struct Preso {
    std::size_t campo = 0;
    int32_t riga = 0;
    std::string_view testo;
  };

  // The next field of the current record's row, which must be read as `tipo`.
  const CampoSorgente& prossimo_campo(TipoCampo tipo);
  // Reads the value field just taken from the row with `leggi`: a short record is warned about
  // once its last field is read, and a reading failure in it stands at its keyword.
  template <typename F>
  auto leggi_valore(F leggi) -> decltype(leggi());
  void segna_preso();
  // "K" has N of its M values on its line; its F was read from line L ..., up to field `fino_a`,
  // then the reading failure `errore` if any.
  Detto corto(IdCausa id, std::size_t fino_a, bool con_testo, std::string_view errore) const;
  // A value where a keyword is expected, right after a number of the record before it: a
  // decimal comma or a thousands separator. The warning, or nothing.
  std::optional<Detto> numero_spezzato(std::string_view campo) const;

  Luogo chiave_;
  std::string_view testo_chiave_;
  Estensione estensione_chiave_;
  Estensione prima_della_chiave_;  // the field read just before the keyword
  bool numero_prima_ = false;      // ... was a number value of a record
  bool ultimo_numero_ = false;     // the last field read was a number value of a record
  int32_t riga_tacita_ = 0;
  const RecordSorgente* record_ = nullptr;
  std::size_t letti_ = 0;
  std::optional<Preso> preso_;
};

}  // namespace gs

#endif  // GS_COMPILER_LETTORI_H

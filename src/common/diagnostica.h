// The record of what a compile found: the run's `n_errore` and `pos_errore`, and every error,
// warning and note in the order it was found, each at the source record that caused it.
#ifndef GS_COMMON_DIAGNOSTICA_H
#define GS_COMMON_DIAGNOSTICA_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/cause.h"
#include "common/luogo.h"

namespace gs {

// The warnings, by the names authors see in brackets and give to -Werror and explain, and the
// tools' own messages by theirs (only the warnings are in kAvvisi).
#define GS_ERRORE(id, numero, titolo, ...)
#define GS_AVVISO(id, nome, titolo, ...) inline constexpr std::string_view id = nome;
#define GS_MESSAGGIO(id, nome, gravita, titolo, ...) inline constexpr std::string_view id = nome;
#include "common/diagnostiche.def"
#undef GS_ERRORE
#undef GS_AVVISO
#undef GS_MESSAGGIO
inline constexpr std::string_view kAvvisi[] = {
#define GS_ERRORE(id, numero, titolo, ...)
#define GS_AVVISO(id, nome, titolo, ...) id,
#define GS_MESSAGGIO(id, nome, gravita, titolo, ...)
#include "common/diagnostiche.def"
#undef GS_ERRORE
#undef GS_AVVISO
#undef GS_MESSAGGIO
};

// One row of the list: an error's number (0 for the others) or the name of a warning or of a
// tool's own message, its severity and its title.
struct RigaDiagnostica {
  int32_t numero = 0;
  std::string_view avviso;
  std::string_view titolo;
  Gravita gravita = Gravita::kErrore;
};
inline constexpr RigaDiagnostica kRigheDiagnostiche[] = {
#define GS_ERRORE(id, numero, titolo, ...) {numero, {}, titolo, Gravita::kErrore},
#define GS_AVVISO(id, nome, titolo, ...) {0, nome, titolo, Gravita::kAvviso},
#define GS_MESSAGGIO(id, nome, gravita, titolo, ...) {0, nome, titolo, gravita},
#include "common/diagnostiche.def"
#undef GS_ERRORE
#undef GS_AVVISO
#undef GS_MESSAGGIO
};

// Another record a diagnostic speaks of: the one that holds a contested cell, say.
struct Correlato {
  Luogo luogo;
  std::string messaggio;  // UTF-8
};

struct Diagnostica {
  Gravita gravita = Gravita::kErrore;
  std::string avviso;  // a warning's short name, "unknown-record"
  // The run's numbers when this was recorded (errors and notes); an error that records no
  // position keeps the one recorded before it, if any.
  int32_t n_errore = 0;
  std::optional<int32_t> pos_errore;
  Luogo luogo;
  std::string messaggio;  // UTF-8
  std::vector<Correlato> correlati;
  const Causa* causa = nullptr;
  // The text the cause suggests in place of the one at `luogo` ("segnale" for "segnal"), for
  // the editor's fix; empty when it suggests none.
  std::string suggerimento;
};

class Registro {
 public:
  int32_t n_errore = 0;
  int32_t pos_errore = 0;

  // An error without a position of its own (pos_errore stays as it is).
  void errore(Detto d, Luogo luogo, std::vector<Correlato> correlati = {});
  // An error that records `posizione` in pos_errore.
  void errore_in(Detto d, int32_t posizione, Luogo luogo, std::vector<Correlato> correlati = {});
  void avviso(Detto d, Luogo luogo);
  // A note that records `posizione` in pos_errore, as a reader does when it stops on an error
  // that an earlier step left.
  void nota_in(int32_t posizione, Luogo luogo, Detto d);

  const std::vector<Diagnostica>& elenco() const { return elenco_; }
  bool ha_errori() const { return errori_ > 0; }
  bool ha_avvisi() const { return elenco_.size() > errori_ + note_; }

  // The sources the diagnostics stand in, kept so that their lines can be quoted.
  void cita(std::string file, std::shared_ptr<const std::string> testo);
  // The line of a place, without its line end; empty when its source is not kept. Its end is
  // found in an index of the line ends made once, so that a report of many diagnostics on one
  // long line takes no time per byte of the line.
  std::string_view riga_di(const Luogo& luogo) const;

 private:
  void aggiungi(Gravita g, Luogo luogo, Detto d, std::vector<Correlato> correlati);

  bool pos_impostata_ = false;
  std::size_t errori_ = 0;
  std::size_t note_ = 0;
  std::vector<Diagnostica> elenco_;
  struct Citata {
    std::string file;
    std::shared_ptr<const std::string> testo;
    std::vector<std::size_t> a_capo;  // where each CR or LF stands, in order
  };
  std::vector<Citata> citate_;
};

// Source text as it may stand in a message: Windows-1252 bytes as UTF-8, control bytes as
// \xNN, at most `massimo` bytes of it.
std::string citazione(std::string_view testo, std::size_t massimo = 40);

// A position as messages give it: "9000 m".
inline std::string metri(int64_t m) { return std::to_string(m) + " m"; }

// The code of its entry ("E16", "unknown-record", "reading-stopped"); for one recorded with no
// cause, the error the run held then.
std::string codice(const Diagnostica& d);

// "FILE:LINE:COL", "FILE" or "" for a place.
std::string dove(const Luogo& luogo);

}  // namespace gs

#endif  // GS_COMMON_DIAGNOSTICA_H

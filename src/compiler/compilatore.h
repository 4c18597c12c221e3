// The scenario compiler: reads the line source and then the train source into the station
// table, the track grid and the plan-view geometry.
#ifndef GS_COMPILER_COMPILATORE_H
#define GS_COMPILER_COMPILATORE_H

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/diagnostica.h"
#include "common/errori.h"
#include "compiler/linea.h"
#include "format/formato.h"
#include "format/percorrenza.h"
#include "grid/griglia.h"

namespace gs {

// What one compile works on: the run's names and flag, the error register, and the three
// structures the compiled files are images of.
struct Compilazione {
  std::string nome_linea;  // Windows-1252
  std::string nome_treno;  // Windows-1252
  // The run's `j`, memorizza_percorso's argument: non-zero builds the plan view too. Read it
  // through con_pianta(), which says what it means.
  int32_t j = 1;
  bool con_pianta() const { return j != 0; }
  Registro registro;
  Stazioni stazioni{};
  Celle celle;
  Linea linea;
  int32_t stazioni_lette = 0;  // station records the train reader took
  // The slowdowns placed, as their records give them (the grid holds only their cells).
  std::vector<Rallentato> rallentamenti;
};

// Where the readers get the two source texts, and what deleting a read source means.
class Sorgenti {
 public:
  virtual ~Sorgenti() = default;
  // The line source, or nothing when it does not exist. ErroreLettura when it cannot be read.
  virtual std::optional<std::string> leggi_linea() = 0;
  // The train source. ErroreLettura when it is missing or cannot be read.
  virtual std::string leggi_treno() = 0;
  // Called whenever a reader is done with its source; each may be called more than once.
  virtual void cancella_linea() = 0;
  virtual void cancella_treno() = 0;
  // The names diagnostics give the two sources.
  virtual std::string nome_linea() const = 0;
  virtual std::string nome_treno() const = 0;
};

// The two sources as files. With `cancella` false they are only read, never deleted.
class SorgentiSuDisco : public Sorgenti {
 public:
  SorgentiSuDisco(std::filesystem::path linea, std::filesystem::path treno, bool cancella);
  std::optional<std::string> leggi_linea() override;
  std::string leggi_treno() override;
  void cancella_linea() override;
  void cancella_treno() override;
  std::string nome_linea() const override { return linea_.string(); }
  std::string nome_treno() const override { return treno_.string(); }

 private:
  std::filesystem::path linea_;
  std::filesystem::path treno_;
  bool cancella_;
};

// The two sources as texts already read (a command that must not touch the author's files, the
// tests). Deleting only notes that the reader is done with a source.
class SorgentiInMemoria : public Sorgenti {
 public:
  SorgentiInMemoria(std::optional<std::string> linea, std::optional<std::string> treno,
                    std::string nome_linea = "linea.txt", std::string nome_treno = "treno.txt")
      : linea_(std::move(linea)),
        treno_(std::move(treno)),
        nome_linea_(std::move(nome_linea)),
        nome_treno_(std::move(nome_treno)) {}
  std::optional<std::string> leggi_linea() override { return linea_; }
  std::string leggi_treno() override;
  void cancella_linea() override { linea_cancellata = true; }
  void cancella_treno() override { treno_cancellata = true; }
  std::string nome_linea() const override { return nome_linea_; }
  std::string nome_treno() const override { return nome_treno_; }

  bool linea_cancellata = false;
  bool treno_cancellata = false;

 private:
  std::optional<std::string> linea_;
  std::optional<std::string> treno_;
  std::string nome_linea_;
  std::string nome_treno_;
};

// `memorizza_dati`: the line reader, then the train reader. Records errors in the register;
// a reading failure (error 25) ends both readers and deletes both sources.
void memorizza_dati(Compilazione& c, Sorgenti& sorgenti);

// The whole compile in memory: `memorizza_dati`, then the code-point pass when the line source
// sized the grid. Returns whether it did (without a grid there is nothing to write).
bool compila_in_memoria(Compilazione& c, Sorgenti& sorgenti);

// What a compile holds, as check sums it up: the station records the train reader took, the
// points of each kind in the grid and its cells.
struct Conteggio {
  int32_t stazioni = 0;
  int32_t segnali = 0;
  int32_t rallentamenti = 0;
  int32_t indicatori = 0;
  int32_t cartelli = 0;
  int64_t celle = 0;
};
Conteggio conta(const Compilazione& c);

// Where the three chainage records were read ("tre", "due", "uno"): their start and value
// fields, for diagnostics.
struct LuoghiSezioni {
  std::array<Luogo, 3> inizio{};
  std::array<Luogo, 3> valore{};
};

// Orders the three chainage sections of entries 81 to 83 and adds 100 to the chainage of
// those whose direction flag is 1. Returns, for entries 81 to 83, the record each now holds
// (0 "tre", 1 "due", 2 "uno"), or -1 for a cleared entry.
std::array<int, 3> progressive_ordina(Stazioni& stazioni, const LuoghiSezioni& luoghi = {});

}  // namespace gs

#endif  // GS_COMPILER_COMPILATORE_H

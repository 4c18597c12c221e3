// `stazioni`: the station and parameter table of the compiled scenario.
#ifndef GS_COMPILER_STAZIONI_H
#define GS_COMPILER_STAZIONI_H

#include <array>
#include <cstdint>
#include <string>

namespace gs {

struct Stazione {
  uint8_t tipo = 0;
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t posizione = 0;
  uint8_t campo4 = 0;
  std::string nome;
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
};

// Entries 0 to 86. Stations from entry 1 upward, board texts from entry 80 downward, then the
// general parameters. The entry numbers are read by the simulator: never move them.
inline constexpr int kVociStazioni = 87;
inline constexpr int kPrimoCartello = 80;
inline constexpr int kProgressivaTre = 81;   // after ordering: the largest start
inline constexpr int kProgressivaDue = 82;
inline constexpr int kProgressivaUno = 83;   // after ordering: the smallest start
inline constexpr int kVoceParametri = 84;    // braked mass, line length, cars
inline constexpr int kVoceLinea = 85;        // backgrounds, line name, marker, race code
inline constexpr int kVoceTreno = 86;        // signal repetition, train name, sand, clock

using Stazioni = std::array<Stazione, kVociStazioni>;

// The longest text a record can carry: its length is stored in 16 bits.
inline constexpr std::size_t kTestoMassimo = 65535;

}  // namespace gs

#endif  // GS_COMPILER_STAZIONI_H

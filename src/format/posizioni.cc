// Positions on the line and cells of the grid: every conversion is a real division by 50
// rounded halves to even, so that the compiler and the viewers agree to the cell. And the
// chainage at a position, as a number and as text.
#include <cmath>
#include <cstdio>

#include "common/errori.h"
#include "common/numeri.h"
#include "format/formato.h"

namespace gs {
namespace {

// The divisor of every conversion below, as the real it is divided in.
constexpr double kCellaReale = static_cast<double>(kMetriCella);

}  // namespace

int64_t arrotonda(double x) {
  const double r = std::nearbyint(x);
  if (!(r >= -9.2e18 && r <= 9.2e18)) throw ErroreLettura(detto(IdCausa::kValoreEnorme));
  return static_cast<int64_t>(r);
}

int64_t cella_punto(int64_t metri) {
  return arrotonda(static_cast<double>(metri) / kCellaReale + 1.0);
}

int64_t cella_profilo(int64_t metri) { return arrotonda(static_cast<double>(metri) / kCellaReale); }

int64_t ultima_cella_campata(int64_t metri) {
  return arrotonda(static_cast<double>(metri) / kCellaReale - 1.0);
}

bool nella_griglia(int64_t ultima, int64_t posizione, int64_t margine) {
  return static_cast<double>(posizione + margine) / kCellaReale <= static_cast<double>(ultima);
}

Campata campata_stazione(uint8_t tipo, int64_t posizione, int64_t lunghezza, uint8_t campo6) {
  if (tipo == 5 || tipo == 6) return {posizione - lunghezza, posizione + 150};
  if (tipo == 7 || tipo == 8) return {posizione - lunghezza, posizione + lunghezza};
  return {posizione - lunghezza / 2, posizione + lunghezza / 2 + (campo6 != 0 ? 50 : 0)};
}

std::string_view regola_campata(uint8_t tipo) {
  if (tipo == 5 || tipo == 6) return "span from position - length to position + 150 m";
  if (tipo == 7 || tipo == 8) return "span from position - length to position + length";
  if (!ha_fermata(tipo)) return "span centred on the position, no stop cell";
  return "span centred on the position";
}

int64_t cella_fermata(int64_t fine) { return cella_profilo(fine) - 1; }

int64_t progressiva_a(const Stazioni& t, int64_t posizione) {
  // Entries 81 to 83 are ordered by start, largest first.
  const Stazione* sezione = &t[kProgressivaUno];
  for (int i = kProgressivaTre; i <= kProgressivaUno; ++i) {
    if (t[static_cast<std::size_t>(i)].inizio <= posizione) {
      sezione = &t[static_cast<std::size_t>(i)];
      break;
    }
  }
  const int64_t avanti = posizione - sezione->inizio;
  return sezione->posizione == 1 ? int64_t{sezione->fine} - avanti
                                 : int64_t{sezione->fine} + avanti;
}

std::string formatta_progressiva(int64_t metri) {
  const bool negativo = metri < 0;
  const uint64_t a = modulo(metri);
  char b[48];
  std::snprintf(b, sizeof b, "km %s%llu+%03llu", negativo ? "-" : "",
                static_cast<unsigned long long>(a / 1000),
                static_cast<unsigned long long>(a % 1000));
  return b;
}

}  // namespace gs

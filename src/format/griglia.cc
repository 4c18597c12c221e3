#include "format/griglia.h"

#include <cassert>

#include "format/bytes.h"
#include "format/lettore.h"

namespace gs {

std::string immagine_griglia(std::span<const Cella> celle) {
  std::string b;
  b.reserve(celle.size() * kRecordCella);
  for (const Cella& c : celle) put_record(b, c, kCampiCella);
  assert(b.size() == celle.size() * kRecordCella);
  return b;
}

std::vector<Cella> decodifica_griglia(std::string_view byte) {
  if (byte.empty()) throw ErroreFormato("the grid holds no cell");
  if (byte.size() % kRecordCella != 0) {
    throw ErroreFormato(std::to_string(byte.size()) + " bytes is not a whole number of " +
                        std::to_string(kRecordCella) + "-byte cells (" +
                        std::to_string(byte.size() % kRecordCella) + " bytes over)");
  }
  std::vector<Cella> celle(byte.size() / kRecordCella);
  Lettore l(byte);
  for (std::size_t k = 0; k < celle.size(); ++k) l.record(celle[k], kCampiCella, {"cell", k});
  return celle;
}

}  // namespace gs

#include "format/tabella.h"

#include "format/bytes.h"
#include "format/lettore.h"

namespace gs {

std::string immagine_tabella(const Stazioni& stazioni) {
  std::string b;
  for (const Stazione& s : stazioni) put_record(b, s, kCampiStazione);
  return b;
}

Stazioni decodifica_tabella(std::string_view byte) {
  Stazioni t{};
  Lettore l(byte);
  for (int i = 0; i < kVociStazioni; ++i) {
    if (l.finito()) {
      throw ErroreFormato("the table ends after " + std::to_string(i) +
                          " records, the layout has " + std::to_string(kVociStazioni));
    }
    l.record(t[static_cast<std::size_t>(i)], kCampiStazione,
             {"entry", static_cast<std::size_t>(i)});
  }
  if (!l.finito()) {
    throw ErroreFormato(std::to_string(l.restanti()) + " bytes left over after the " +
                        std::to_string(kVociStazioni) + " records (at byte " +
                        std::to_string(l.posizione()) + ")");
  }
  return t;
}

}  // namespace gs

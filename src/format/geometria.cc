// Reading the line geometry file back.
#include "format/geometria.h"

#include "format/lettore.h"

namespace gs {

bool Geometria::posizionato(std::size_t metro) const {
  return metro < colonna0.size() && metro < colonna1.size() && colonna0[metro].tipo != kVuoto &&
         colonna1[metro].tipo != kVuoto;
}

Geometria decodifica_geometria(std::string_view byte) {
  if (byte.empty()) throw ErroreFormato("the geometry holds no value");
  std::vector<ValoreGeometria> tutti;
  // Every element takes at least 2 bytes: this bounds the count before reading.
  tutti.reserve(byte.size() / 2);
  Lettore l(byte);
  while (!l.finito()) {
    const std::string cosa = "element " + std::to_string(tutti.size());
    ValoreGeometria v;
    v.tipo = l.u16(cosa + " kind word");
    switch (v.tipo) {
      case kVuoto:
        break;
      case kIntero:
        v.valore = l.i16(cosa + " integer");
        break;
      case kReale:
        v.valore = l.f64(cosa + " double");
        break;
      default:
        throw ErroreFormato(cosa + " at byte " + std::to_string(l.posizione() - 2) +
                            " has the kind word " + std::to_string(v.tipo) +
                            ", not 0 (empty), 2 (integer) or 5 (double)");
    }
    tutti.push_back(v);
  }
  // The integer origin opens both columns: where the second pair stands tells where the
  // second column starts, independently of the count.
  std::vector<std::size_t> interi;
  for (std::size_t i = 0; i < tutti.size(); ++i) {
    if (tutti[i].tipo == kIntero) interi.push_back(i);
  }
  const std::size_t n = tutti.size();
  if (n % 2 != 0) {
    throw ErroreFormato(std::to_string(n) + " values cannot make two columns of equal length");
  }
  const std::size_t meta = n / 2;
  if (!interi.empty()) {
    const bool origine =
        interi.size() == 4 && interi[0] == 0 && interi[1] == 1 && interi[3] == interi[2] + 1;
    if (!origine) {
      throw ErroreFormato(
          "the integer values stand at elements other than the two pairs that "
          "open the columns");
    }
    if (interi[2] != meta) {
      throw ErroreFormato("the columns are of unequal length: the second starts at element " +
                          std::to_string(interi[2]) + ", the first holds " +
                          std::to_string(interi[2]) + " values and the second " +
                          std::to_string(n - interi[2]));
    }
  }
  Geometria g;
  g.colonna0.assign(tutti.begin(), tutti.begin() + static_cast<std::ptrdiff_t>(meta));
  g.colonna1.assign(tutti.begin() + static_cast<std::ptrdiff_t>(meta), tutti.end());
  return g;
}

}  // namespace gs

#include <algorithm>
#include <bit>
#include <cassert>
#include <memory>

#include "common/file_system.h"
#include "format/bytes.h"
#include "format/geometria.h"
#include "output/uscita.h"

namespace gs {
namespace {

constexpr std::size_t kBloccoGeometria = 1 << 18;
constexpr std::size_t kElementoMassimo = kByteReale;  // the largest value

// What a column holds: integers at metres 0 and 1, computed doubles, then empty metres.
struct Forma {
  int64_t interi = 0;
  int64_t reali = 0;
  int64_t vuoti = 0;
  uint64_t byte() const {
    return static_cast<uint64_t>(interi) * kByteIntero + static_cast<uint64_t>(reali) * kByteReale +
           static_cast<uint64_t>(vuoti) * kByteVuoto;
  }
};

Forma forma(const Linea& linea) {
  const int64_t metri = int64_t{linea.ultimo_metro()} + 1;
  Forma f;
  if (linea.ha_origine()) {
    f.interi = std::min<int64_t>(kMetriOrigine, metri);
    f.reali = linea.cursore() - kMetriOrigine;
  }
  f.vuoti = metri - f.interi - f.reali;
  return f;
}

// The image, column 0 then column 1, one walk of the table each, handed to `scarica(dati)` a
// block at a time: the image of a long line is about 20 MB and is never held whole.
template <typename Scarica>
void geometria(const Linea& linea, Scarica&& scarica) {
  const Forma f = forma(linea);
  std::string blocco;
  constexpr std::size_t kLotto = 4096;
  blocco.reserve(kBloccoGeometria + kLotto * kElementoMassimo);
  const auto spazio = [&] {
    if (blocco.size() + kElementoMassimo > kBloccoGeometria) {
      scarica(blocco);
      blocco.clear();
    }
  };
  auto v0 = std::make_unique<double[]>(kLotto);
  auto v1 = std::make_unique<double[]>(kLotto);
  for (const int colonna : {0, 1}) {
    // Metres 0 and 1 are the integers (0, 0) and (0, 1).
    for (int64_t m = 0; m < f.interi; ++m) put_intero(blocco, intero_origine(colonna, m));
    Linea::Cammino cammino(linea);
    while (const std::size_t n = cammino.prossimi(v0.get(), v1.get(), kLotto)) {
      // A batch of computed metres, each its kind word and its double, encoded in place.
      const double* v = colonna == 0 ? v0.get() : v1.get();
      const std::size_t inizio = blocco.size();
      blocco.resize(inizio + n * kByteReale);
      for (std::size_t i = 0; i < n; ++i)
        metti_reale(blocco.data() + inizio + i * kByteReale, v[i]);
      spazio();
    }
    for (int64_t m = 0; m < f.vuoti; ++m) {
      spazio();
      put_vuoto(blocco);
    }
  }
  scarica(blocco);
}

}  // namespace

std::string immagine_tabella(const Stazioni& stazioni) {
  std::string b;
  for (const Stazione& s : stazioni) put_record(b, s, kCampiStazione);
  return b;
}

std::string immagine_griglia(const Celle& celle) {
  std::string b;
  b.reserve(celle.tutte().size() * kRecordCella);
  for (const Cella& c : celle.tutte()) put_record(b, c, kCampiCella);
  assert(b.size() == celle.tutte().size() * kRecordCella);
  return b;
}

std::string immagine_geometria(const Linea& linea) {
  std::string tutto;
  tutto.reserve(2 * forma(linea).byte());
  geometria(linea, [&](const std::string& blocco) { tutto += blocco; });
  return tutto;
}

void scrivi_geometria(const std::filesystem::path& destinazione, const Linea& linea) {
  FileNuovo file(destinazione);
  geometria(linea, [&](const std::string& blocco) { file.scrivi(blocco); });
  file.conferma();
}

std::vector<FileScritto> scrivi_compilati(const Compilazione& c, const NomiFile& nomi) {
  std::vector<FileScritto> scritti;
  if (c.con_pianta()) {
    scrivi_geometria(nomi.geometria, c.linea);
    scritti.push_back({nomi.geometria, 2 * forma(c.linea).byte()});
  }
  const std::string tabella = immagine_tabella(c.stazioni);
  scrivi_file(nomi.tabella, tabella);
  scritti.push_back({nomi.tabella, tabella.size()});
  const std::string griglia = immagine_griglia(c.celle);
  scrivi_file(nomi.griglia, griglia);
  scritti.push_back({nomi.griglia, griglia.size()});
  return scritti;
}

}  // namespace gs

#include <algorithm>
#include <cassert>
#include <memory>
#include <type_traits>

#include "common/file_system.h"
#include "formato/bytes.h"
#include "output/uscita.h"

namespace gs {
namespace {

constexpr std::size_t kBloccoGeometria = 1 << 18;
constexpr std::size_t kElementoMassimo = 2 + 8;  // a kind word and a double

// One column's image, encoded into a fixed block that is handed to `scarica(offset, dati, n)`
// whenever it fills: the image of a long line is about 20 MB and is never held whole.
template <typename Scarica>
class Colonna {
 public:
  Colonna(Scarica& scarica, uint64_t inizio) : scarica_(scarica), offset_(inizio) {}

  void intero(int16_t v) {
    spazio();
    p_ = scrivi_u16(scrivi_u16(p_, kIntero), static_cast<uint16_t>(v));
  }
  void reale(double v) {
    spazio();
    p_ = scrivi_f64(scrivi_u16(p_, kReale), v);
  }
  void vuoto() {
    spazio();
    p_ = scrivi_u16(p_, kVuoto);
  }
  void chiudi() {
    const auto n = static_cast<std::size_t>(p_ - blocco_);
    scarica_(offset_, reinterpret_cast<const char*>(blocco_), n);
    offset_ += n;
    p_ = blocco_;
  }

 private:
  void spazio() {
    if (p_ + kElementoMassimo > blocco_ + kBloccoGeometria) chiudi();
  }

  Scarica& scarica_;
  uint64_t offset_;
  unsigned char blocco_[kBloccoGeometria];
  unsigned char* p_ = blocco_;
};

// What a column holds: integers at metres 0 and 1, computed doubles, then empty metres.
struct Forma {
  int64_t interi = 0;
  int64_t reali = 0;
  int64_t vuoti = 0;
  uint64_t byte() const {
    return static_cast<uint64_t>(interi * 4 + reali * kElementoMassimo + vuoti * 2);
  }
};

Forma forma(const Linea& linea) {
  const int64_t metri = int64_t{linea.ultimo_metro()} + 1;
  Forma f;
  if (linea.ha_origine()) {
    f.interi = std::min<int64_t>(2, metri);
    f.reali = linea.cursore() - 2;
  }
  f.vuoti = metri - f.interi - f.reali;
  return f;
}

// Both columns in one walk of the table: column 0 from offset 0, column 1 right after it.
template <typename Scarica>
void geometria(const Linea& linea, Scarica&& scarica) {
  const Forma f = forma(linea);
  using C = Colonna<std::remove_reference_t<Scarica>>;
  auto c0 = std::make_unique<C>(scarica, 0);
  auto c1 = std::make_unique<C>(scarica, f.byte());
  if (f.interi > 0) {
    c0->intero(0);
    c1->intero(0);
  }
  if (f.interi > 1) {
    c0->intero(0);
    c1->intero(1);
  }
  Linea::Cammino cammino(linea);
  constexpr std::size_t kLotto = 4096;
  auto v0 = std::make_unique<double[]>(kLotto);
  auto v1 = std::make_unique<double[]>(kLotto);
  while (const std::size_t n = cammino.prossimi(v0.get(), v1.get(), kLotto)) {
    for (std::size_t i = 0; i < n; ++i) c0->reale(v0[i]);
    for (std::size_t i = 0; i < n; ++i) c1->reale(v1[i]);
  }
  for (int64_t m = 0; m < f.vuoti; ++m) {
    c0->vuoto();
    c1->vuoto();
  }
  c0->chiudi();
  c1->chiudi();
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
  std::string tutto(2 * forma(linea).byte(), '\0');
  geometria(linea, [&](uint64_t offset, const char* dati, std::size_t n) {
    tutto.replace(offset, n, dati, n);
  });
  return tutto;
}

void scrivi_geometria(const std::filesystem::path& destinazione, const Linea& linea) {
  FileNuovo file(destinazione);
  geometria(linea, [&](uint64_t offset, const char* dati, std::size_t n) {
    file.scrivi_in(offset, dati, n);
  });
  file.conferma();
}

std::vector<FileScritto> scrivi_compilati(const Compilazione& c, const NomiFile& nomi) {
  std::vector<FileScritto> scritti;
  if (c.j != 0) {
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

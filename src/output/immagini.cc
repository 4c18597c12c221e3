#include <cassert>

#include "common/file_system.h"
#include "output/bytes.h"
#include "output/uscita.h"

namespace gs {
namespace {

constexpr std::size_t kBloccoGeometria = 1 << 16;

// One column of the geometry: metres 0 and 1 as integers, the computed metres as doubles,
// the rest empty. `origine` holds the two integers of metres 0 and 1.
template <typename Scarica>
void colonna(std::string& b, const Linea& linea, const std::vector<double>& calcolati,
             int16_t origine0, int16_t origine1, Scarica&& scarica) {
  const int64_t metri = int64_t{linea.ultimo_metro()} + 1;
  int64_t m = 0;
  if (linea.ha_origine()) {
    for (const int16_t v : {origine0, origine1}) {
      if (m >= metri) break;
      put_u16(b, kIntero);
      put_i16(b, v);
      ++m;
    }
    for (const double v : calcolati) {
      put_u16(b, kReale);
      put_f64(b, v);
      ++m;
      if (b.size() >= kBloccoGeometria) scarica(b);
    }
  }
  for (; m < metri; ++m) {
    put_u16(b, kVuoto);
    if (b.size() >= kBloccoGeometria) scarica(b);
  }
}

template <typename Scarica>
void geometria(const Linea& linea, Scarica&& scarica) {
  std::string b;
  b.reserve(kBloccoGeometria + 16);
  colonna(b, linea, linea.calcolati0(), 0, 0, scarica);
  colonna(b, linea, linea.calcolati1(), 0, 1, scarica);
  scarica(b);
}

}  // namespace

std::string immagine_tabella(const Stazioni& stazioni) {
  std::string b;
  for (const Stazione& s : stazioni) {
    const std::size_t inizio = b.size();
    put_u8(b, s.tipo);
    put_i32(b, s.inizio);
    put_i32(b, s.fine);
    put_i32(b, s.posizione);
    put_u8(b, s.campo4);
    put_testo(b, s.nome);
    put_i16(b, s.campo7);
    put_i16(b, s.campo8);
    put_i16(b, s.campo10);
    put_i16(b, s.campo11);
    put_i16(b, s.campo12);
    put_u8(b, s.campo9);
    put_u8(b, s.campo13);
    put_u8(b, s.campo6);
    put_u8(b, s.campo5);
    put_i32(b, s.orario);
    assert(b.size() - inizio == kRecordTabella + s.nome.size());
    (void)inizio;
  }
  return b;
}

std::string immagine_griglia(const Celle& celle) {
  std::string b;
  b.reserve(celle.tutte().size() * kRecordCella);
  for (const Cella& c : celle.tutte()) {
    put_u8(b, c.tipo);
    put_i16(b, c.dato1);
    put_i16(b, c.dato2);
    put_i16(b, c.dato3);
    put_i16(b, c.dato4);
    put_u8(b, c.tempo);
    put_u8(b, c.preavviso);
    put_u8(b, c.montagna);
    put_u8(b, c.velocita);
    put_u8(b, c.pendenza);
    put_u8(b, c.aderenza);
  }
  assert(b.size() == celle.tutte().size() * kRecordCella);
  return b;
}

std::string immagine_geometria(const Linea& linea) {
  std::string tutto;
  geometria(linea, [&](std::string& blocco) {
    tutto += blocco;
    blocco.clear();
  });
  return tutto;
}

void scrivi_geometria(const std::filesystem::path& destinazione, const Linea& linea) {
  FileNuovo file(destinazione);
  geometria(linea, [&](std::string& blocco) {
    file.scrivi(blocco);
    blocco.clear();
  });
  file.conferma();
}

void scrivi_compilati(const Compilazione& c, const NomiFile& nomi) {
  if (c.j != 0) scrivi_geometria(nomi.geometria, c.linea);
  scrivi_file(nomi.tabella, immagine_tabella(c.stazioni));
  scrivi_file(nomi.griglia, immagine_griglia(c.celle));
}

}  // namespace gs

#include <string>

#include "common/numeri.h"
#include "grid/griglia.h"

namespace gs {

void Celle::dimensiona(int32_t ultimo) {
  celle_.assign(static_cast<std::size_t>(ultimo) + 1, Cella{});
  origini_.assign(celle_.size(), 0);
  elenco_origini_.clear();
}

int64_t Celle::indice(int64_t i) const {
  if (!contiene(i)) fuori(i);
  return i;
}

void Celle::fuori(int64_t i) const {
  throw ErroreLettura(
      detto(IdCausa::kPuntoFuori, {{"P", metro_cella(i)}, {"A", 0}, {"B", metro_cella(ultimo())}}));
}

Cella& Celle::operator[](int64_t i) { return celle_[static_cast<std::size_t>(indice(i))]; }

const Cella& Celle::operator[](int64_t i) const {
  return celle_[static_cast<std::size_t>(indice(i))];
}

uint32_t Celle::nuova_origine(Origine o) {
  elenco_origini_.push_back(std::move(o));
  return static_cast<uint32_t>(elenco_origini_.size());
}

const Origine* Celle::origine_numero(uint32_t o) const {
  return o == 0 || o > elenco_origini_.size() ? nullptr : &elenco_origini_[o - 1];
}

const Origine* Celle::origine(int64_t i) const { return origine_numero(numero_origine(i)); }

std::string Celle::cosa(int64_t i) const {
  const Origine* o = origine(i);
  if (!contiene(i) || o == nullptr) return "a point";
  std::string parte;
  switch (celle_[static_cast<std::size_t>(i)].tipo) {
    case kFineRallentamento:
      parte = "the end of ";
      break;
    case kInizioRallentamento:
      parte = "the start of ";
      break;
    case kAvvisoRallentamento:
      parte = "the warning point of ";
      break;
    case kPreavvisoRallentamento:
      parte = "a cell before the warning point of ";
      break;
    case kStazione:
      parte = "the stop of ";
      break;
    default:
      break;
  }
  return parte + o->detto();
}

std::string Celle::descrivi(int64_t i) const {
  const Origine* o = origine(i);
  if (o == nullptr || o->luogo.riga <= 0) return cosa(i);
  return cosa(i) + " from " + o->luogo.file + ":" + std::to_string(o->luogo.riga);
}

std::vector<Correlato> Celle::correlati(int64_t i) const {
  const Origine* o = origine(i);
  if (o == nullptr || o->luogo.file.empty()) return {};
  return {{o->luogo, detto(IdCausa::kLuogoCorrelato, {{"what", cosa(i)}}).testo}};
}

}  // namespace gs

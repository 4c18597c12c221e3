#include "compiler/lettore_campi.h"

#include <algorithm>
#include <limits>
#include <string>

#include "common/diagnostica.h"
#include "common/errori.h"

namespace gs {
namespace {

bool separa(char c) { return c == ',' || c == '\r' || c == '\n'; }

}  // namespace

void LettoreCampi::salta_spazi() {
  while (pos_ < testo_.size() && testo_[pos_] == ' ') ++pos_;
}

bool LettoreCampi::consuma_fine_riga() {
  if (pos_ >= testo_.size()) return false;
  if (testo_[pos_] == '\r') {
    ++pos_;
    if (pos_ < testo_.size() && testo_[pos_] == '\n') ++pos_;
  } else if (testo_[pos_] == '\n') {
    ++pos_;
  } else {
    return false;
  }
  ++riga_;
  inizio_riga_ = pos_;
  return true;
}

void LettoreCampi::inizia_campo(std::string_view campo) {
  if (fine()) {
    Dati dati;
    if (!campo.empty()) dati.emplace_back("FIELD", campo);
    throw ErroreLettura(detto(IdCausa::kFineFile, std::move(dati)));
  }
  salta_spazi();
  luogo_.riga = riga_;
  luogo_.colonna = static_cast<int32_t>(pos_ - inizio_riga_ + 1);
  luogo_.inizio_riga = inizio_riga_;
  estensione_ = {luogo_, pos_, pos_, luogo_.riga, luogo_.colonna};
  campi_.push_back(estensione_);
}

void LettoreCampi::chiudi_campo(std::size_t fine) {
  estensione_.fine = fine;
  estensione_.riga_fine = riga_;
  estensione_.colonna_fine = static_cast<int32_t>(fine - inizio_riga_ + 1);
  campi_.back() = estensione_;
}

Luogo LettoreCampi::campo(std::size_t i) const {
  return i < campi_.size() ? campi_[i].luogo : luogo_;
}

const Estensione& LettoreCampi::estensione_campo(std::size_t i) const {
  return i < campi_.size() ? campi_[i] : estensione_;
}

std::string_view LettoreCampi::testo() {
  inizia_campo("");
  if (pos_ < testo_.size() && testo_[pos_] == '"') {
    const std::size_t inizio = ++pos_;
    while (pos_ < testo_.size() && testo_[pos_] != '"') {
      const bool fine_riga =
          testo_[pos_] == '\n' ||
          (testo_[pos_] == '\r' && (pos_ + 1 >= testo_.size() || testo_[pos_ + 1] != '\n'));
      ++pos_;
      if (fine_riga) {
        ++riga_;
        inizio_riga_ = pos_;
      }
    }
    const std::string_view valore = testo_.substr(inizio, pos_ - inizio);
    if (pos_ < testo_.size()) ++pos_;  // the closing quote
    chiudi_campo(pos_);
    // Whatever stands between the closing quote and the separator is not part of the value.
    while (pos_ < testo_.size() && !separa(testo_[pos_])) ++pos_;
    if (pos_ < testo_.size() && testo_[pos_] == ',')
      ++pos_;
    else
      consuma_fine_riga();
    return valore;
  }
  const std::size_t inizio = pos_;
  while (pos_ < testo_.size() && !separa(testo_[pos_])) ++pos_;
  const std::string_view valore = testo_.substr(inizio, pos_ - inizio);
  chiudi_campo(pos_);
  if (pos_ < testo_.size() && testo_[pos_] == ',')
    ++pos_;
  else
    consuma_fine_riga();
  return valore;
}

int64_t LettoreCampi::numero(int64_t minimo, int64_t massimo, std::string_view campo) {
  inizia_campo(campo);
  const std::size_t inizio = pos_;
  while (pos_ < testo_.size() && testo_[pos_] != ' ' && !separa(testo_[pos_])) ++pos_;
  const std::string_view cifre = testo_.substr(inizio, pos_ - inizio);
  chiudi_campo(pos_);
  salta_spazi();
  if (pos_ < testo_.size() && testo_[pos_] == ',')
    ++pos_;
  else
    consuma_fine_riga();

  if (cifre.empty()) return 0;
  const bool negativo = cifre.front() == '-';
  const std::string_view corpo = negativo ? cifre.substr(1) : cifre;
  const bool solo_cifre = !corpo.empty() && std::all_of(corpo.begin(), corpo.end(), [](char c) {
    return c >= '0' && c <= '9';
  });
  if (!solo_cifre)
    throw ErroreLettura(detto(IdCausa::kNonIntero, {{"field", campo}, {"V", citazione(cifre)}}),
                        luogo_);

  int64_t valore = 0;
  bool troppo = false;
  for (const char c : corpo) {
    if (valore > (std::numeric_limits<int64_t>::max() - 9) / 10) {
      troppo = true;
      break;
    }
    valore = valore * 10 + (c - '0');
  }
  if (negativo) valore = -valore;
  if (troppo || valore < minimo || valore > massimo)
    throw ErroreLettura(
        detto(IdCausa::kFuoriIntervallo,
              {{"field", campo}, {"V", citazione(cifre)}, {"A", minimo}, {"B", massimo}}),
        luogo_);
  return valore;
}

int32_t LettoreCampi::i32(std::string_view campo) {
  return static_cast<int32_t>(
      numero(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), campo));
}

int16_t LettoreCampi::i16(std::string_view campo) {
  return static_cast<int16_t>(
      numero(std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max(), campo));
}

uint8_t LettoreCampi::u8(std::string_view campo) {
  return static_cast<uint8_t>(numero(0, 255, campo));
}

}  // namespace gs

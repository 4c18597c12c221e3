#include "piattaforma/nomi_temporanei.h"

#include <random>
#include <string>

#include "piattaforma/piattaforma.h"

namespace gs::piattaforma {

std::filesystem::path nome_temporaneo(const std::filesystem::path& destinazione) {
  static constexpr char kCifre[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::random_device caso;
  std::uniform_int_distribution<std::size_t> cifra(0, std::size(kCifre) - 2);
  std::string coda(kSuffissoTemporaneo);
  for (std::size_t i = 0; i < kLettereTemporaneo; ++i) coda += kCifre[cifra(caso)];
  std::filesystem::path nome = destinazione;
  nome += coda;
  return nome;
}

std::filesystem::path cartella_di(const std::filesystem::path& file) {
  std::filesystem::path cartella = file.parent_path();
  return cartella.empty() ? std::filesystem::path(".") : cartella;
}

}  // namespace gs::piattaforma

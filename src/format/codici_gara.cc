#include "format/codici_gara.h"

namespace gs {
namespace {

constexpr std::string_view kRiempitivo = "aabbccddeeffgghhiillmmnnoo";
constexpr std::size_t kCaratteriChiave = 25;

// Lower case of a Windows-1252 byte, accented and other Latin letters included.
unsigned char minuscola_1252(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
  switch (c) {
    case 0x8A:
      return 0x9A;  // S caron
    case 0x8C:
      return 0x9C;  // OE
    case 0x8E:
      return 0x9E;  // Z caron
    case 0x9F:
      return 0xFF;  // Y diaeresis
    default:
      return c;
  }
}

}  // namespace

std::string chiave_gara(const Stazioni& stazioni) {
  std::string chiave = stazioni[kVoceTreno].nome + stazioni[kVoceLinea].nome;
  for (char& ch : chiave) ch = static_cast<char>(minuscola_1252(static_cast<unsigned char>(ch)));
  chiave += kRiempitivo;
  chiave.resize(kCaratteriChiave);
  return chiave;
}

int16_t codice_gara_og(const Stazioni& stazioni) {
  int32_t somma = 0;
  for (const char ch : chiave_gara(stazioni)) somma += static_cast<unsigned char>(ch);
  return static_cast<int16_t>(somma);
}

int32_t codice_gara_st(const Stazioni& stazioni) {
  int32_t somma = 0;
  const std::string chiave = chiave_gara(stazioni);
  for (std::size_t i = 0; i < chiave.size(); ++i)
    somma += static_cast<unsigned char>(chiave[i]) * static_cast<int32_t>(i + 1);
  return somma;
}

}  // namespace gs

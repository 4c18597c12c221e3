#include "common/nomi_file.h"

#include <array>
#include <cstdint>

#include "platform/piattaforma.h"

namespace gs {
namespace {

// Code points of the bytes 0x80 to 0x9F; 0 marks the five bytes Windows-1252 leaves undefined.
constexpr std::array<char32_t, 32> kAlti = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t punto_di(unsigned char b) {
  if (b >= 0x80 && b <= 0x9F) {
    const char32_t c = kAlti[b - 0x80];
    return c == 0 ? 0xFFFD : c;
  }
  return b;
}

void aggiungi_utf8(std::string& s, char32_t c) {
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::filesystem::path in_cartella(const std::filesystem::path& cartella, const std::string& nome) {
  return cartella / piattaforma::percorso(utf8_da_1252(nome));
}

}  // namespace

std::string utf8_da_1252(std::string_view testo) {
  std::string s;
  s.reserve(testo.size());
  for (const char ch : testo) aggiungi_utf8(s, punto_di(static_cast<unsigned char>(ch)));
  return s;
}

std::optional<CarattereUtf8> leggi_utf8(std::string_view testo, std::size_t i) {
  const auto b = static_cast<unsigned char>(testo[i]);
  if (b < 0x80) return CarattereUtf8{b, 1};
  const std::size_t n = (b & 0xE0) == 0xC0   ? 2
                        : (b & 0xF0) == 0xE0 ? 3
                        : (b & 0xF8) == 0xF0 ? 4
                                             : 0;
  if (n == 0 || b < 0xC2 || i + n > testo.size()) return std::nullopt;
  char32_t c = b & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) {
    const auto t = static_cast<unsigned char>(testo[i + k]);
    if ((t & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (t & 0x3F);
  }
  return CarattereUtf8{c, n};
}

bool utf8_a_1252(std::string_view testo, std::string& uscita) {
  uscita.clear();
  for (std::size_t i = 0; i < testo.size();) {
    const auto car = leggi_utf8(testo, i);
    if (!car) return false;
    const char32_t c = car->punto;
    i += car->lunghezza;
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      uscita += static_cast<char>(c);
      continue;
    }
    bool trovato = false;
    for (std::size_t k = 0; k < kAlti.size(); ++k) {
      if (kAlti[k] != 0 && kAlti[k] == c) {
        uscita += static_cast<char>(0x80 + k);
        trovato = true;
        break;
      }
    }
    if (!trovato) return false;
  }
  return true;
}

std::optional<std::string> nome_non_valido(std::string_view nome, std::string_view quale) {
  for (const char c : nome) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F ||
        std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
      return std::string(quale) +
             " must not hold a control character or any of \\ / : * ? \" < > |, which Windows "
             "forbids in file names";
    }
  }
  if (nome.size() > 65535) return std::string(quale) + " is longer than 65535 bytes";
  return std::nullopt;
}

std::optional<std::string> nomi_riservati(std::string_view nome_linea,
                                          std::string_view nome_treno) {
  static constexpr std::string_view kDispositivi[] = {
      "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
      "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
  const std::string l(nome_linea);
  const std::string lt = l + "_" + std::string(nome_treno);
  for (const std::string& file : {l + "_linea.txt", lt + "-.txt", lt + ".sim"}) {
    const std::string radice = file.substr(0, file.find('.'));
    for (const std::string_view d : kDispositivi) {
      if (radice.size() != d.size()) continue;
      bool uguale = true;
      for (std::size_t i = 0; i < d.size(); ++i) {
        const char c = radice[i];
        uguale = uguale && (c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) == d[i];
      }
      if (uguale)
        return "these names would give the file " + utf8_da_1252(file) + ", whose stem " +
               utf8_da_1252(radice) + " is a device name on Windows";
    }
  }
  return std::nullopt;
}

NomiFile nomi_file(const std::filesystem::path& cartella, std::string_view nome_linea,
                   std::string_view nome_treno) {
  const std::string l(nome_linea);
  const std::string lt = l + "_" + std::string(nome_treno);
  return NomiFile{
      in_cartella(cartella, l + "_linea.txt"),
      in_cartella(cartella, lt + "-.txt"),
      in_cartella(cartella, lt + "_note.txt"),
      in_cartella(cartella, lt + "_rallentamenti.txt"),
      in_cartella(cartella, lt + "_scheda_treno.txt"),
      in_cartella(cartella, l + "_linea.dat"),
      in_cartella(cartella, lt + ".sim"),
      in_cartella(cartella, lt + ".dat"),
  };
}

}  // namespace gs

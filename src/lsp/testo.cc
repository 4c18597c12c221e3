#include "lsp/testo.h"

#include <algorithm>

#include "common/nomi_file.h"

namespace gs::lsp {

IndiceRighe::IndiceRighe(std::string_view testo) : testo_(testo), inizi_{0} {
  for (std::size_t i = 0; i < testo.size(); ++i) {
    if (testo[i] == '\n' || (testo[i] == '\r' && (i + 1 >= testo.size() || testo[i + 1] != '\n')))
      inizi_.push_back(i + 1);
  }
}

std::size_t IndiceRighe::inizio(std::size_t n) const {
  return inizi_[std::min(n, inizi_.size() - 1)];
}

std::size_t IndiceRighe::riga_di(std::size_t offset) const {
  return static_cast<std::size_t>(std::upper_bound(inizi_.begin(), inizi_.end(), offset) -
                                  inizi_.begin()) -
         1;
}

std::string_view IndiceRighe::riga(std::size_t n) const {
  n = std::min(n, inizi_.size() - 1);
  std::size_t fine = n + 1 < inizi_.size() ? inizi_[n + 1] : testo_.size();
  while (fine > inizi_[n] && (testo_[fine - 1] == '\n' || testo_[fine - 1] == '\r')) --fine;
  return testo_.substr(inizi_[n], fine - inizi_[n]);
}

Carattere carattere_a(std::string_view utf8, std::size_t i) {
  const auto c = leggi_utf8(utf8, i);
  if (!c) return {0xFFFD, 1};
  return {c->punto, c->lunghezza};
}

int64_t utf16_dei_caratteri(std::string_view riga, std::size_t caratteri) {
  int64_t unita = 0;
  for (std::size_t i = 0; i < riga.size() && caratteri > 0; --caratteri) {
    const Carattere c = carattere_a(riga, i);
    unita += unita_utf16(c.punto);
    i += c.byte;
  }
  return unita;
}

int64_t utf16_dei_byte(std::string_view riga, std::size_t byte) {
  int64_t unita = 0;
  for (std::size_t i = 0; i < riga.size() && i < byte;) {
    const Carattere c = carattere_a(riga, i);
    unita += unita_utf16(c.punto);
    i += c.byte;
  }
  return unita;
}

std::size_t byte_della_colonna(std::string_view riga, int64_t colonna) {
  std::size_t i = 0;
  int64_t unita = 0;
  while (i < riga.size()) {
    const Carattere c = carattere_a(riga, i);
    unita += unita_utf16(c.punto);
    if (unita > colonna) break;
    i += c.byte;
  }
  return i;
}

ColonneUtf16::ColonneUtf16(std::string_view testo) : testo_(testo) {
  tappe_.reserve(testo.size() / kPasso + 1);
  int64_t unita = 0;
  std::size_t caratteri = 0;
  for (std::size_t i = 0; i < testo.size(); ++caratteri) {
    if (caratteri % kPasso == 0) tappe_.push_back({i, unita});
    if (static_cast<unsigned char>(testo[i]) < 0x80) {
      ++unita;
      ++i;
      continue;
    }
    const Carattere c = carattere_a(testo, i);
    unita += unita_utf16(c.punto);
    i += c.byte;
  }
  if (tappe_.empty()) tappe_.push_back({0, 0});
  for (std::size_t k = 0; k < tappe_.size(); ++k) {
    const std::size_t fine = k + 1 < tappe_.size() ? tappe_[k + 1].byte : testo.size();
    const std::size_t suoi = k + 1 < tappe_.size() ? kPasso : caratteri - k * kPasso;
    tappe_[k].uno_a_uno = fine - tappe_[k].byte == suoi;
  }
}

int64_t ColonneUtf16::dei_caratteri(std::size_t caratteri) const {
  const std::size_t k = std::min(caratteri / kPasso, tappe_.size() - 1);
  const Tappa& t = tappe_[k];
  const std::size_t oltre = caratteri - k * kPasso;
  if (t.uno_a_uno) {
    const std::size_t fine = k + 1 < tappe_.size() ? tappe_[k + 1].byte : testo_.size();
    return t.unita + static_cast<int64_t>(std::min(oltre, fine - t.byte));
  }
  return t.unita + utf16_dei_caratteri(testo_.substr(t.byte), oltre);
}

int64_t ColonneUtf16::dei_byte(std::size_t byte) const {
  // The last kept place at or before the byte: the first one is at byte 0.
  const auto dopo = std::upper_bound(tappe_.begin(), tappe_.end(), byte,
                                     [](std::size_t b, const Tappa& t) { return b < t.byte; });
  const Tappa& t = *(dopo - 1);
  if (t.uno_a_uno) {
    const std::size_t fine = dopo != tappe_.end() ? dopo->byte : testo_.size();
    return t.unita + static_cast<int64_t>(std::min(byte, fine) - t.byte);
  }
  return t.unita + utf16_dei_byte(testo_.substr(t.byte), byte - t.byte);
}

std::size_t offset_di(std::string_view testo, Posizione p) {
  if (p.riga < 0) return 0;
  // Only the lines up to the one asked for are looked at.
  std::size_t inizio = 0;
  for (int64_t r = 0; r < p.riga; ++r) {
    const std::size_t a_capo = testo.find_first_of("\r\n", inizio);
    if (a_capo == std::string_view::npos) return testo.size();
    inizio =
        a_capo +
        (testo[a_capo] == '\r' && a_capo + 1 < testo.size() && testo[a_capo + 1] == '\n' ? 2 : 1);
  }
  const std::size_t fine = std::min(testo.find_first_of("\r\n", inizio), testo.size());
  return inizio +
         byte_della_colonna(testo.substr(inizio, fine - inizio), std::max<int64_t>(p.colonna, 0));
}

std::string testo_1252(std::string_view utf8, std::vector<Mancante>& mancanti) {
  std::string uscita;
  uscita.reserve(utf8.size());
  std::string uno;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      uscita += static_cast<char>(b);
      ++i;
      continue;
    }
    const Carattere c = carattere_a(utf8, i);
    const char32_t p = c.punto;
    if (p == 0x81 || p == 0x8D || p == 0x8F || p == 0x90 || p == 0x9D) {
      uscita += static_cast<char>(p);
    } else if (c.byte > 1 && utf8_a_1252(utf8.substr(i, c.byte), uno)) {
      uscita += uno;
    } else {
      uscita += '?';
      mancanti.push_back({i, p});
    }
    i += c.byte;
  }
  return uscita;
}

}  // namespace gs::lsp

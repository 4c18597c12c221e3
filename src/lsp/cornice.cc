#include "lsp/cornice.h"

#include <algorithm>

#include "common/ascii.h"

namespace gs::lsp {
namespace {

constexpr std::string_view kLunghezza = "content-length";
constexpr std::string_view kFineTestata = "\r\n\r\n";

// The body's length from the header's lines (without the blank line that ends it), or the
// reason it cannot be had.
std::optional<std::size_t> lunghezza(std::string_view testata, std::string& motivo) {
  std::optional<std::size_t> n;
  while (!testata.empty()) {
    const std::size_t fine = std::min(testata.find("\r\n"), testata.size());
    const std::string_view riga = testata.substr(0, fine);
    testata.remove_prefix(std::min(fine + 2, testata.size()));
    const std::size_t due_punti = riga.find(':');
    if (due_punti == std::string_view::npos) {
      motivo = "a header line without a colon";
      return std::nullopt;
    }
    if (!uguali_ic(senza_spazi(riga.substr(0, due_punti)), kLunghezza)) continue;
    const std::string_view valore = senza_spazi(riga.substr(due_punti + 1));
    std::size_t v = 0;
    bool valido = !valore.empty() && valore.size() <= 18;
    for (const char c : valore) valido = valido && c >= '0' && c <= '9';
    if (!valido) {
      motivo = "a Content-Length that is not a number of bytes";
      return std::nullopt;
    }
    for (const char c : valore) v = v * 10 + static_cast<std::size_t>(c - '0');
    n = v;
  }
  if (!n) motivo = "a header without Content-Length";
  return n;
}

}  // namespace

void LettoreCornici::aggiungi(std::string_view byte) {
  if (da_scartare_ > 0) {
    const std::size_t n = std::min(da_scartare_, byte.size());
    da_scartare_ -= n;
    byte.remove_prefix(n);
  }
  buffer_.append(byte);
}

void LettoreCornici::compatta() {
  if (inizio_ > 0 && (inizio_ == buffer_.size() || inizio_ >= buffer_.size() / 2)) {
    buffer_.erase(0, inizio_);
    inizio_ = 0;
  }
}

bool LettoreCornici::risincronizza() {
  // The body of a message whose header could not be read has no known end: whatever follows
  // up to the next "Content-Length" is taken for it.
  for (std::size_t i = inizio_; i + kLunghezza.size() <= buffer_.size(); ++i) {
    if (uguali_ic(std::string_view(buffer_).substr(i, kLunghezza.size()), kLunghezza)) {
      inizio_ = i;
      perso_ = false;
      return true;
    }
  }
  // Keep only what could still be the start of a header cut by the end of the bytes.
  if (buffer_.size() - inizio_ > kLunghezza.size()) inizio_ = buffer_.size() - kLunghezza.size();
  compatta();
  return false;
}

std::optional<Cornice> LettoreCornici::prossima() {
  if (perso_ && !risincronizza()) return std::nullopt;
  // Blank lines between messages are tolerated.
  while (inizio_ < buffer_.size() && (buffer_[inizio_] == '\r' || buffer_[inizio_] == '\n'))
    ++inizio_;
  const std::string_view resto = std::string_view(buffer_).substr(inizio_);
  const std::size_t fine =
      resto.substr(0, kMassimaTestata + kFineTestata.size()).find(kFineTestata);
  if (fine == std::string_view::npos) {
    if (resto.size() <= kMassimaTestata) {
      compatta();
      return std::nullopt;
    }
    inizio_ += kMassimaTestata;
    perso_ = true;
    return Cornice{true, "a header longer than " + std::to_string(kMassimaTestata) + " bytes"};
  }
  std::string motivo;
  const auto n = lunghezza(resto.substr(0, fine), motivo);
  if (!n) {
    inizio_ += fine + kFineTestata.size();
    perso_ = true;
    return Cornice{true, motivo};
  }
  const std::size_t corpo = inizio_ + fine + kFineTestata.size();
  if (*n > kMassimoCorpo) {
    const std::size_t presenti = std::min(*n, buffer_.size() - corpo);
    da_scartare_ = *n - presenti;
    inizio_ = corpo + presenti;
    compatta();
    return Cornice{true, "a message of " + std::to_string(*n) + " bytes, more than the " +
                             std::to_string(kMassimoCorpo) + " taken"};
  }
  if (buffer_.size() - corpo < *n) return std::nullopt;
  Cornice c{false, buffer_.substr(corpo, *n)};
  inizio_ = corpo + *n;
  compatta();
  return c;
}

std::string incornicia(std::string_view corpo) {
  std::string s = "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n";
  s += corpo;
  return s;
}

}  // namespace gs::lsp

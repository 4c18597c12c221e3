#include "lsp/lettura.h"

#include <cstdio>
#include <optional>
#include <utility>

#include "lsp/testo.h"

namespace gs::lsp {
namespace {

using nlohmann::json;

// Builds the message as nlohmann's own reader would, until the nesting goes past the limit; from
// there it reads on to the end without keeping anything, for the message's own members (those
// at depth 1) and whether the text is JSON at all.
class Lettore {
 public:
  explicit Lettore(json& radice) : dom_(radice, false) {}

  bool null() {
    return scalare(json(), [&] { return dom_.null(); });
  }
  bool boolean(bool v) {
    return scalare(v, [&] { return dom_.boolean(v); });
  }
  bool number_integer(json::number_integer_t v) {
    return scalare(v, [&] { return dom_.number_integer(v); });
  }
  bool number_unsigned(json::number_unsigned_t v) {
    return scalare(v, [&] { return dom_.number_unsigned(v); });
  }
  bool number_float(json::number_float_t v, const json::string_t& s) {
    return scalare(v, [&] { return dom_.number_float(v, s); });
  }
  bool string(json::string_t& v) {
    return scalare(in_cima_id() ? json(v) : json(), [&] { return dom_.string(v); });
  }
  bool binary(json::binary_t& v) {
    return scalare(json(), [&] { return dom_.binary(v); });
  }
  bool start_object(std::size_t n) {
    return apri(/*oggetto=*/true, [&] { return dom_.start_object(n); });
  }
  bool start_array(std::size_t n) {
    return apri(/*oggetto=*/false, [&] { return dom_.start_array(n); });
  }
  bool end_object() {
    return chiudi([&] { return dom_.end_object(); });
  }
  bool end_array() {
    return chiudi([&] { return dom_.end_array(); });
  }
  bool key(json::string_t& k) {
    if (profondita_ == 1 && esito_.oggetto) {
      chiave_ = k == "id" ? Chiave::kId : Chiave::kAltra;
      esito_.con_id |= chiave_ == Chiave::kId;
      esito_.con_metodo |= k == "method";
      esito_.risposta |= k == "result" || k == "error";
    }
    return troppo_ || dom_.key(k);
  }
  template <class Eccezione>
  bool parse_error(std::size_t, const std::string&, const Eccezione&) {
    return false;
  }

  bool troppo() const { return troppo_; }
  Letto& esito() { return esito_; }

 private:
  enum class Chiave { kNessuna, kId, kAltra };

  // The value being read is the message's id.
  bool in_cima_id() const { return profondita_ == 1 && esito_.oggetto && chiave_ == Chiave::kId; }

  template <class F>
  bool scalare(json valore, F&& dom) {
    if (in_cima_id()) esito_.id = std::move(valore);
    return troppo_ || dom();
  }

  template <class F>
  bool apri(bool oggetto, F&& dom) {
    if (profondita_ == 0) esito_.oggetto = oggetto;
    // An id that is a container is no id.
    if (in_cima_id()) esito_.id = nullptr;
    ++profondita_;
    if (profondita_ > kProfonditaMassima) troppo_ = true;
    return troppo_ || dom();
  }

  template <class F>
  bool chiudi(F&& dom) {
    const bool fatto = troppo_ || dom();
    --profondita_;
    return fatto;
  }

  nlohmann::detail::json_sax_dom_parser<json> dom_;
  std::size_t profondita_ = 0;
  bool troppo_ = false;
  Chiave chiave_ = Chiave::kNessuna;
  Letto esito_;
};

int cifra_hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The code unit of a \uXXXX escape at `i`, if one stands there.
std::optional<unsigned> escape_u(std::string_view s, std::size_t i) {
  if (i + 6 > s.size() || s[i] != '\\' || s[i + 1] != 'u') return std::nullopt;
  unsigned v = 0;
  for (std::size_t k = i + 2; k < i + 6; ++k) {
    const int c = cifra_hex(s[k]);
    if (c < 0) return std::nullopt;
    v = v * 16 + static_cast<unsigned>(c);
  }
  return v;
}

bool alto(unsigned u) { return u >= 0xD800 && u <= 0xDBFF; }
bool basso(unsigned u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

bool surrogati_soli(std::string_view corpo, std::string& sostituito) {
  static_assert(kSurrogatoSolo <= 0xFFFF, "the marker's escape is as long as a surrogate's");
  char marcatore[7];
  std::snprintf(marcatore, sizeof marcatore, "\\u%04X", static_cast<unsigned>(kSurrogatoSolo));
  bool fatto = false;
  // A backslash starts an escape only inside a string, and there every backslash does: an
  // escaped backslash ("\\") is stepped over whole, so that the "u" after it starts nothing.
  for (std::size_t i = corpo.find('\\'); i < corpo.size(); i = corpo.find('\\', i)) {
    const auto u = escape_u(corpo, i);
    if (!u) {
      i += 2;
      continue;
    }
    if (alto(*u)) {
      const auto dopo = escape_u(corpo, i + 6);
      if (dopo && basso(*dopo)) {
        i += 12;  // a pair: one character
        continue;
      }
    }
    if (alto(*u) || basso(*u)) {
      // The text is copied at the first one only: most messages have none.
      if (!fatto) sostituito.assign(corpo);
      sostituito.replace(i, 6, marcatore, 6);
      fatto = true;
    }
    i += 6;
  }
  return fatto;
}

Letto leggi_messaggio(std::string_view corpo) {
  std::string sostituito;
  if (surrogati_soli(corpo, sostituito)) corpo = sostituito;
  json radice;
  Lettore lettore(radice);
  const bool json_valido =
      json::sax_parse(corpo.begin(), corpo.end(), &lettore, json::input_format_t::json, true);
  Letto l = std::move(lettore.esito());
  if (!json_valido) {
    l.esito = Letto::Esito::kNonJson;
  } else if (lettore.troppo()) {
    l.esito = Letto::Esito::kTroppoProfondo;
  } else {
    l.esito = Letto::Esito::kLetto;
    l.valore = std::move(radice);
  }
  return l;
}

}  // namespace gs::lsp

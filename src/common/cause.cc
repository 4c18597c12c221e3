// The table of diagnostics, made from its two lists: one entry per diagnostic, each with its
// causes, which stand together in the list of causes.
#include "common/cause.h"

#include <array>

#include "common/diagnostica.h"
#include "common/errori.h"

namespace gs {
namespace {

// The row of a diagnostic, by its number or by its warning name.
constexpr std::size_t riga_di(int32_t numero, std::string_view avviso = {}) {
  for (std::size_t i = 0; i < std::size(kRigheDiagnostiche); ++i)
    if (kRigheDiagnostiche[i].numero == numero && kRigheDiagnostiche[i].avviso == avviso) return i;
  throw "not in the list of diagnostics";  // a compile-time error where it is reached
}
constexpr std::size_t riga_di(std::string_view avviso) { return riga_di(0, avviso); }

constexpr Causa kCause[] = {
#define GS_CAUSA(ident, diagnostica, nome_, ...) \
  {.id = IdCausa::ident, .riga = riga_di(diagnostica), .nome = nome_, __VA_ARGS__},
#include "common/cause.def"
#undef GS_CAUSA
};

constexpr std::string_view kAccade[] = {
#define GS_ERRORE(id, numero, titolo, accade) accade,
#define GS_AVVISO(id, nome, titolo, accade) accade,
#define GS_MESSAGGIO(id, nome, gravita, titolo, accade) accade,
#include "common/diagnostiche.def"
#undef GS_ERRORE
#undef GS_AVVISO
#undef GS_MESSAGGIO
};

constexpr std::size_t kNumeroVoci = std::size(kRigheDiagnostiche);

// Each id is its own index, and each diagnostic's causes stand together in its row's order,
// every row with at least one.
constexpr bool in_ordine() {
  std::size_t riga = 0;
  for (std::size_t i = 0; i < std::size(kCause); ++i) {
    if (static_cast<std::size_t>(kCause[i].id) != i) return false;
    if (kCause[i].riga != riga && kCause[i].riga != riga + (i > 0 ? 1 : 0)) return false;
    riga = kCause[i].riga;
  }
  return riga + 1 == kNumeroVoci;
}
static_assert(in_ordine(), "cause.def follows diagnostiche.def, a cause or more for each row");

constexpr std::array<Spiegazione, kNumeroVoci> kVoci = [] {
  std::array<Spiegazione, kNumeroVoci> v{};
  std::size_t i = 0;
  for (std::size_t r = 0; r < kNumeroVoci; ++r) {
    const std::size_t da = i;
    while (i < std::size(kCause) && kCause[i].riga == r) ++i;
    const RigaDiagnostica& riga = kRigheDiagnostiche[r];
    v[r] = {riga.numero,
            riga.avviso,
            riga.titolo,
            kAccade[r],
            std::span<const Causa>(kCause + da, i - da),
            riga.gravita};
  }
  return v;
}();

}  // namespace

std::span<const Spiegazione> voci() { return kVoci; }
std::span<const Causa> cause() { return kCause; }
const Causa& causa(IdCausa id) { return kCause[static_cast<std::size_t>(id)]; }
const Spiegazione& voce_di(IdCausa id) { return kVoci[causa(id).riga]; }

namespace {

// Where the brace that closes the one at `apre` stands, counting the braces inside it; npos
// when it is not closed.
std::size_t chiusa(std::string_view modello, std::size_t apre) {
  int profondita = 0;
  for (std::size_t i = apre; i < modello.size(); ++i) {
    if (modello[i] == '{') ++profondita;
    if (modello[i] == '}' && --profondita == 0) return i;
  }
  return std::string_view::npos;
}

const Dato* dato(const Dati& dati, std::string_view nome) {
  const Dato* d = nullptr;
  for (const Dato& x : dati)
    if (x.nome == nome) d = &x;
  return d;
}

}  // namespace

std::string formatta(std::string_view modello, const Dati& dati) {
  std::string s;
  std::size_t i = 0;
  while (i < modello.size()) {
    const std::size_t apre = modello.find('{', i);
    const std::size_t chiude = apre == std::string_view::npos ? apre : chiusa(modello, apre);
    if (chiude == std::string_view::npos) break;
    s += modello.substr(i, apre - i);
    const std::string_view dentro = modello.substr(apre + 1, chiude - apre - 1);
    const std::size_t domanda = dentro.find('?');
    if (domanda != std::string_view::npos && dentro.find('{') > domanda) {
      if (dato(dati, dentro.substr(0, domanda)) != nullptr)
        s += formatta(dentro.substr(domanda + 1), dati);
    } else if (const Dato* d = dato(dati, dentro)) {
      s += d->valore;
    } else if (dentro != "...") {
      s += modello.substr(apre, chiude + 1 - apre);
    }
    i = chiude + 1;
  }
  if (i < modello.size()) s += modello.substr(i);
  return s;
}

Detto detto(IdCausa id, Dati dati) {
  const Dato* forse = dato(dati, kSuggerimento);
  return {id, formatta(causa(id).modello, dati), forse != nullptr ? forse->valore : std::string()};
}

std::string codice_errore(int32_t numero) {
  // Appended, not joined with +: GCC 12 sees an overlap that is not there in "E" + ....
  std::string s = "E";
  s += std::to_string(numero);
  return s;
}

std::string codice(const Spiegazione& v) {
  return v.numerato() ? codice_errore(v.numero) : std::string(v.avviso);
}

}  // namespace gs

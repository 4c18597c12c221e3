#include "compiler/parole.h"

#include <algorithm>
#include <array>
#include <vector>

#include "common/ascii.h"
#include "common/diagnostica.h"
#include "common/nomi_file.h"
#include "compiler/lettore_campi.h"
#include "compiler/record_sorgenti.h"

namespace gs {
namespace {

// The keywords of a section as authors write them, and the first word of each record's
// keyword (each once), both in the order of the table of the source records.
std::vector<std::string_view> scritte_di(Sezione sezione) {
  std::vector<std::string_view> v;
  for (const RecordSorgente& r : record_di(sezione))
    v.insert(v.end(), r.scritte.begin(), r.scritte.end());
  return v;
}
std::vector<std::string_view> prime_parole_di(Sezione sezione) {
  std::vector<std::string_view> v;
  for (const RecordSorgente& r : record_di(sezione))
    if (std::find(v.begin(), v.end(), r.parole[0].parola) == v.end())
      v.push_back(r.parole[0].parola);
  return v;
}
const std::vector<std::string_view> kGenerale = scritte_di(Sezione::kLineaGenerale);
const std::vector<std::string_view> kLinea = scritte_di(Sezione::kLinea);
const std::vector<std::string_view> kTreno = scritte_di(Sezione::kTreno);
const std::vector<std::string_view> kChiaviG = prime_parole_di(Sezione::kLineaGenerale);
const std::vector<std::string_view> kChiaviL = prime_parole_di(Sezione::kLinea);
const std::vector<std::string_view> kChiaviT = prime_parole_di(Sezione::kTreno);

// The section heads are no records: they are listed here.
constexpr std::array<std::string_view, 7> kTestateL = {
    "[generale]", "[curve]", "[pendenze]", "[montagne]", "[cartelli]", "[indicazioni]", "[fine]"};
constexpr std::array<std::string_view, 8> kTestateT = {
    "[generale]",      "[aderenze]", "[vel_limite]", "[stazioni]",
    "[rallentamenti]", "[segnali]",  "[codici]",     "[fine]"};

// Edits (insert, delete, replace, swap of neighbours) from one word to the other, ignoring
// case; stops counting past `tetto`.
std::size_t distanza(std::string_view a, std::string_view b, std::size_t tetto) {
  const std::size_t n = a.size(), m = b.size();
  if ((n > m ? n - m : m - n) > tetto) return tetto + 1;
  std::vector<std::size_t> d((n + 1) * (m + 1));
  auto at = [&](std::size_t i, std::size_t j) -> std::size_t& { return d[i * (m + 1) + j]; };
  for (std::size_t i = 0; i <= n; ++i) at(i, 0) = i;
  for (std::size_t j = 0; j <= m; ++j) at(0, j) = j;
  for (std::size_t i = 1; i <= n; ++i) {
    for (std::size_t j = 1; j <= m; ++j) {
      const std::size_t costo = minuscola(a[i - 1]) == minuscola(b[j - 1]) ? 0 : 1;
      at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + costo});
      if (i > 1 && j > 1 && minuscola(a[i - 1]) == minuscola(b[j - 2]) &&
          minuscola(a[i - 2]) == minuscola(b[j - 1]))
        at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
    }
  }
  return at(n, m);
}

}  // namespace

const std::span<const std::string_view> kParoleGenerale = kGenerale;
const std::span<const std::string_view> kParoleLinea = kLinea;
const std::span<const std::string_view> kParoleTreno = kTreno;
const std::span<const std::string_view> kTestateLinea = kTestateL;
const std::span<const std::string_view> kTestateTreno = kTestateT;
const Altrove kAltroveGenerale = {
    kChiaviG, "in the line source's general section, before its first section head"};
const Altrove kAltroveLinea = {kChiaviL, "in the line source after its general section"};
const Altrove kAltroveTreno = {kChiaviT, "in the train source"};

std::optional<std::string_view> piu_vicina(std::string_view campo,
                                           std::span<const std::string_view> parole) {
  const std::string_view c = senza_spazi(campo);
  if (c.empty() || c.size() > 64) return std::nullopt;
  std::optional<std::string_view> migliore;
  std::size_t minima = 0;
  for (const std::string_view p : parole) {
    const std::size_t tetto = std::max<std::size_t>(1, (p.size() + 1) / 3);
    const std::size_t dist = distanza(c, p, tetto);
    if (dist <= tetto && (!migliore || dist < minima)) {
      migliore = p;
      minima = dist;
    }
  }
  return migliore;
}

bool testata(std::string_view campo) {
  const std::string_view c = senza_spazi(campo);
  return c.size() >= 2 && c.front() == '[' && c.back() == ']';
}

bool vuoto_o_separatore(std::string_view campo) {
  return std::all_of(campo.begin(), campo.end(),
                     [](char c) { return c == ' ' || c == '\t' || c == '-' || c == '='; });
}

bool numerico(std::string_view campo) {
  std::string_view c = senza_spazi(campo);
  if (!c.empty() && (c.front() == '-' || c.front() == '+')) c.remove_prefix(1);
  return !c.empty() && std::all_of(c.begin(), c.end(), [](char ch) {
    return (ch >= '0' && ch <= '9') || ch == ' ' || ch == '.';
  });
}

Detto avviso_parola(std::string_view campo, std::span<const std::string_view> accettate,
                    std::span<const std::string_view> testate,
                    std::initializer_list<Altrove> altrove) {
  const std::string citato = citazione(senza_spazi(campo));
  if (testata(campo)) {
    Dati dati{{"H", citato}};
    if (const auto p = piu_vicina(campo, testate)) dati.emplace_back(kSuggerimento, *p);
    return detto(IdCausa::kTestata, std::move(dati));
  }
  if (numerico(campo)) return detto(IdCausa::kValore, {{"V", citato}});
  for (const Altrove& a : altrove) {
    for (const std::string_view chiave : a.chiavi) {
      if (contiene_ic(campo, chiave))
        return detto(IdCausa::kRecordAltrove, {{"K", citato}, {"W", chiave}, {"where", a.dove}});
    }
  }
  Dati dati{{"K", citato}};
  if (const auto p = piu_vicina(campo, accettate)) {
    dati.emplace_back(kSuggerimento, *p);
    // Only its case differs: the message says which words are read in lower case only.
    if (uguali_ic(senza_spazi(campo), *p)) dati.emplace_back("CASE", "");
  }
  return detto(IdCausa::kRecordSconosciuto, std::move(dati));
}

bool sembra_utf8(std::string_view testo, std::size_t& primo) {
  bool trovato = false;
  for (std::size_t i = 0; i < testo.size();) {
    const auto car = leggi_utf8(testo, i);
    if (!car) return false;
    if (car->lunghezza > 1 && !trovato) {
      primo = i;
      trovato = true;
    }
    i += car->lunghezza;
  }
  return trovato;
}

}  // namespace gs

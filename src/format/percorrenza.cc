#include "format/percorrenza.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "common/diagnostica.h"

namespace gs {
namespace {

// Floor and ceiling of metres / 50, for either sign.
int64_t passo_giu(int64_t metri) {
  const int64_t q = metri / kMetriCella;
  return metri % kMetriCella < 0 ? q - 1 : q;
}
int64_t passo_su(int64_t metri) {
  const int64_t q = metri / kMetriCella;
  return metri % kMetriCella > 0 ? q + 1 : q;
}

}  // namespace

std::vector<int32_t> velocita_ammesse(std::span<const Cella> celle,
                                      std::span<const Rallentato> rallentati) {
  const auto n = static_cast<int64_t>(celle.size());
  // Each step takes the speed of the slowest slowdown covering it: the slowdowns are taken
  // slowest first, and each fills only the steps no slower one took. `dopo[i]` leads from a
  // step to the first one at or after it not yet taken (n: none).
  std::vector<const Rallentato*> ordinati;
  for (const Rallentato& r : rallentati)
    if (r.velocita > 0) ordinati.push_back(&r);
  std::stable_sort(ordinati.begin(), ordinati.end(), [](const Rallentato* a, const Rallentato* b) {
    return a->velocita < b->velocita;
  });
  std::vector<int32_t> rallentamento(celle.size(), 0);
  std::vector<int64_t> dopo(celle.size() + 1);
  std::iota(dopo.begin(), dopo.end(), int64_t{0});
  const auto libera = [&](int64_t i) {
    int64_t r = i;
    while (dopo[static_cast<std::size_t>(r)] != r) r = dopo[static_cast<std::size_t>(r)];
    while (dopo[static_cast<std::size_t>(i)] != r) {
      const int64_t prossima = dopo[static_cast<std::size_t>(i)];
      dopo[static_cast<std::size_t>(i)] = r;
      i = prossima;
    }
    return r;
  };
  for (const Rallentato* r : ordinati) {
    // The steps wholly inside the span: from the first starting at or after its start to the
    // last ending at or before its end.
    const int64_t primo = std::clamp<int64_t>(passo_su(r->da), 0, n);
    const int64_t oltre = std::clamp<int64_t>(passo_giu(r->a), 0, n);
    for (int64_t i = libera(primo); i < oltre; i = libera(i + 1)) {
      rallentamento[static_cast<std::size_t>(i)] = r->velocita;
      dopo[static_cast<std::size_t>(i)] = i + 1;
    }
  }
  std::vector<int32_t> ammesse(celle.size(), 0);
  for (std::size_t i = 0; i < celle.size(); ++i) {
    const int32_t limite = int32_t{celle[i].velocita} * 5;
    if (limite == 0) continue;
    ammesse[i] = rallentamento[i] > 0 ? std::min(limite, rallentamento[i]) : limite;
  }
  return ammesse;
}

double tempo_minimo(std::span<const int32_t> ammesse, int64_t da, int64_t a) {
  const auto n = static_cast<int64_t>(ammesse.size());
  double secondi = 0;
  for (int64_t i = std::max<int64_t>(da, 0); i < std::min(a, n); ++i)
    secondi += secondi_passo(ammesse[static_cast<std::size_t>(i)]);
  return secondi;
}

int64_t secondi_interi(double secondi) {
  // A sum of thousands of steps carries a rounding error far below a microsecond, which must
  // not push a whole number of seconds up to the next.
  return static_cast<int64_t>(std::ceil(secondi - 1e-6));
}

std::vector<Tratta> tratte_orario(const Stazioni& tabella, int ultima,
                                  std::span<const int32_t> ammesse) {
  std::vector<Tratta> tratte;
  int precedente = 0;
  for (int i = 1; i <= std::min(ultima, kPrimoCartello); ++i) {
    const Stazione& s = tabella[static_cast<std::size_t>(i)];
    if (s.orario == 0) continue;
    if (precedente != 0) {
      const Stazione& p = tabella[static_cast<std::size_t>(precedente)];
      tratte.push_back(
          {precedente, i, int64_t{s.orario} - p.orario,
           tempo_minimo(ammesse, cella_profilo(p.posizione), cella_profilo(s.posizione))});
    }
    precedente = i;
  }
  return tratte;
}

std::string durata(int64_t secondi) {
  const std::string segno = secondi < 0 ? "-" : "";
  const int64_t a = secondi < 0 ? -secondi : secondi;
  const int64_t ore = a / 3600, minuti = a / 60 % 60, resto = a % 60;
  std::string s = segno;
  if (ore > 0) s += std::to_string(ore) + " h ";
  if (ore > 0 || minuti > 0) s += std::to_string(minuti) + " min ";
  return s + std::to_string(resto) + " s";
}

std::string km_progressiva(const Stazioni& tabella, int64_t posizione) {
  const int64_t m = progressiva_a(tabella, posizione);
  const int64_t a = m < 0 ? -m : m;
  const std::string millesimi = std::to_string(1000 + a % 1000).substr(1);
  return std::string("km ") + (m < 0 ? "-" : "") + std::to_string(a / 1000) + "." + millesimi;
}

Detto avviso_tratta(const Stazioni& tabella, const Tratta& tratta) {
  const Stazione& da = tabella[static_cast<std::size_t>(tratta.da)];
  const Stazione& a = tabella[static_cast<std::size_t>(tratta.a)];
  return detto(IdCausa::kOrario, {{"T", durata(secondi_interi(tratta.minimo))},
                                  {"A", citazione(da.nome)},
                                  {"KA", km_progressiva(tabella, da.posizione)},
                                  {"B", citazione(a.nome)},
                                  {"KB", km_progressiva(tabella, a.posizione)},
                                  {"S", durata(tratta.previsto)}});
}

}  // namespace gs

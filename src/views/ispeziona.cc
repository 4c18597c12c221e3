#include "views/ispeziona.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "common/numeri.h"

namespace gs {

std::optional<Compilato> compilato_da_nome(std::string_view nome) {
  if (nome.ends_with("_linea.dat")) return Compilato::kGeometria;
  if (nome.ends_with(".sim")) return Compilato::kTabella;
  if (nome.ends_with(".dat")) return Compilato::kGriglia;
  return std::nullopt;
}

RiassuntoGeometria riassumi_geometria(const Geometria& g) {
  RiassuntoGeometria r;
  r.metri = g.metri();
  bool primo = true;
  bool passo_prima = false;
  double d0_prima = 0, d1_prima = 0;
  for (std::size_t m = 0; m < r.metri; ++m) {
    if (!g.posizionato(m)) {
      passo_prima = false;
      continue;
    }
    const double x = g.colonna0[m].valore;
    const double y = g.colonna1[m].valore;
    ++r.posizionati;
    if (primo) {
      r.primo = m;
      r.min0 = r.max0 = x;
      r.min1 = r.max1 = y;
      primo = false;
    } else {
      r.min0 = std::min(r.min0, x);
      r.max0 = std::max(r.max0, x);
      r.min1 = std::min(r.min1, y);
      r.max1 = std::max(r.max1, y);
    }
    r.ultimo = m;
    if (m > 0 && g.posizionato(m - 1)) {
      const double d0 = x - g.colonna0[m - 1].valore;
      const double d1 = y - g.colonna1[m - 1].valore;
      const double passo = std::hypot(d0, d1);
      r.lunghezza_pianta += passo;
      r.ultimo_passo = passo;
      if (passo_prima) {
        // From column 1 toward column 0 is clockwise in the (column 0, column 1) plane.
        const double svolta =
            std::atan2(d1_prima * d0 - d0_prima * d1, d0_prima * d0 + d1_prima * d1);
        if (std::isfinite(svolta)) {
          r.svolta_totale += std::fabs(svolta);
          r.svolta_netta += svolta;
        }
      }
      d0_prima = d0;
      d1_prima = d1;
      passo_prima = passo > 0;
    } else {
      passo_prima = false;
    }
  }
  return r;
}

bool voce_vuota(const Stazione& s) { return s == Stazione{}; }

std::array<Ruolo, kVociStazioni> ruoli_voci(const Stazioni& t) {
  std::array<Ruolo, kVociStazioni> r{};
  r.fill(Ruolo::kVuota);
  int ultima_stazione = 0;
  for (int i = 1; i < kPrimoCartello && !voce_vuota(t[static_cast<std::size_t>(i)]); ++i) {
    r[static_cast<std::size_t>(i)] = Ruolo::kStazione;
    ultima_stazione = i;
  }
  // A board may carry an empty text: every entry from the lowest one with a text up to 80
  // is a board.
  int piu_basso = kPrimoCartello + 1;
  for (int i = kPrimoCartello; i > ultima_stazione; --i) {
    if (!t[static_cast<std::size_t>(i)].nome.empty()) piu_basso = i;
  }
  for (int i = piu_basso; i <= kPrimoCartello; ++i)
    r[static_cast<std::size_t>(i)] = Ruolo::kCartello;
  for (int i = kProgressivaTre; i <= kProgressivaUno; ++i)
    r[static_cast<std::size_t>(i)] = Ruolo::kProgressiva;
  r[kVoceParametri] = Ruolo::kParametri;
  r[kVoceLinea] = Ruolo::kLinea;
  r[kVoceTreno] = Ruolo::kTreno;
  return r;
}

std::string formatta_orario(int64_t secondi) {
  const bool negativo = secondi < 0;
  const uint64_t a = modulo(secondi);
  char b[48];
  std::snprintf(b, sizeof b, "%s%02llu:%02llu:%02llu", negativo ? "-" : "",
                static_cast<unsigned long long>(a / 3600),
                static_cast<unsigned long long>(a / 60 % 60),
                static_cast<unsigned long long>(a % 60));
  return b;
}

std::string nome_tipo_cella(uint8_t tipo) {
  switch (tipo) {
    case kLibera:
      return "free";
    case kSegnale:
      return "signal";
    case kFineRallentamento:
      return "slowdown end";
    case kInizioRallentamento:
      return "slowdown start";
    case kAvvisoRallentamento:
      return "slowdown warning point";
    case kPreavvisoRallentamento:
      return "cell before a slowdown warning";
    case kIndicatoreVelocita:
      return "speed board";
    case kStazione:
      return "station stop";
    case kMarcaMontagna:
      return "mountain distance marker";
    case kCodice:
      return "code point";
    case kAbbattimento:
      return "code point without a code";
    case kCartelloIndicatore:
      return "indication board";
    default:
      return "unknown kind " + std::to_string(tipo);
  }
}

std::string testo_cartello(std::string_view nome) {
  std::string t;
  bool spazio = false;
  for (const char ch : nome) {
    if (ch == '(' || ch == ')' || ch == ' ') {
      spazio = !t.empty();
      continue;
    }
    if (spazio) t += ' ';
    spazio = false;
    t += ch;
  }
  return t;
}

}  // namespace gs

#include "lsp/analisi.h"

#include <algorithm>

#include "common/errori.h"
#include "compiler/lettore_campi.h"
#include "compiler/parole.h"
#include "lsp/testo.h"

namespace gs::lsp {
namespace {

// The value fields of the records on the rest of the line, as far as the line holds them.
void leggi_campi(RigaLetta& r, const ParolaLetta& p, LettoreCampi& lettore) {
  for (const RecordSorgente* rec : p.record) {
    for (const CampoSorgente& c : rec->campi) {
      if (lettore.fine()) return;
      CampoLetto letto;
      letto.record = rec;
      letto.campo = &c;
      try {
        if (c.tipo == TipoCampo::kTesto) {
          letto.testo = lettore.testo();
        } else {
          letto.numero = lettore.numero(minimo(c.tipo), massimo(c.tipo), c.nome);
        }
      } catch (const ErroreLettura&) {
        // A number that does not read still stands where it stands.
      }
      const Estensione& e = lettore.estensione();
      letto.inizio = e.inizio;
      letto.fine = e.fine;
      if (c.tipo != TipoCampo::kTesto) letto.testo = r.testo.substr(e.inizio, e.fine - e.inizio);
      // The separator before it: the last byte that is not a blank.
      std::size_t i = e.inizio;
      while (i > 0 && r.testo[i - 1] == ' ') --i;
      letto.dopo_virgola = i > 0 && r.testo[i - 1] == ',';
      r.campi.push_back(letto);
    }
  }
}

}  // namespace

std::string_view parola_scritta(const RecordSorgente& r) {
  return r.scritte.empty() ? r.forma : r.scritte.front();
}

std::optional<Sezione> Analisi::sezione_dopo(std::size_t riga) const {
  if (righe.empty()) return std::nullopt;
  return righe[std::min(riga, righe.size() - 1)].sezione;
}

Analisi analizza(std::string_view testo, bool linea) {
  Analisi a;
  a.linea = linea;
  const IndiceRighe indice(testo);
  std::optional<Sezione> sezione;
  for (std::size_t n = 0; n < indice.righe(); ++n) {
    RigaLetta r;
    r.riga = n;
    r.testo = indice.riga(n);
    r.virgolette = r.testo.find('"') != std::string_view::npos;
    LettoreCampi lettore(r.testo);
    if (lettore.fine()) {
      r.sezione = sezione;
      a.righe.push_back(r);
      continue;
    }
    const std::string_view parola = lettore.testo();
    r.inizio_parola = lettore.estensione().inizio;
    r.fine_parola = lettore.estensione().fine;
    const bool ha_generale = contiene_ic(parola, "[generale]");
    r.testata = testata(parola);
    if (!sezione) {
      if (ha_generale) sezione = linea ? Sezione::kLineaGenerale : Sezione::kTreno;
      r.sezione = sezione;
      a.righe.push_back(r);
      continue;
    }
    if (linea && *sezione == Sezione::kLineaGenerale && !ha_generale &&
        parola.find('[') != std::string_view::npos && parola.find(']') != std::string_view::npos &&
        !parola.starts_with("-"))
      sezione = Sezione::kLinea;
    r.sezione = sezione;
    std::string_view campo = parola;
    while (!r.testata) {
      ParolaLetta p{lettore.estensione().inizio, lettore.estensione().fine, {}};
      for (const RecordSorgente& rec : record_di(*sezione))
        if (rec.riconosce(campo)) p.record.push_back(&rec);
      if (p.record.empty()) break;
      r.parole.push_back(p);
      leggi_campi(r, r.parole.back(), lettore);
      if (lettore.fine()) break;
      campo = lettore.testo();
    }
    a.righe.push_back(r);
  }
  return a;
}

}  // namespace gs::lsp

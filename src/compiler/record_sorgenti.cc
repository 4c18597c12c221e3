#include "compiler/record_sorgenti.h"

#include <algorithm>
#include <stdexcept>

#include "compiler/lettore_campi.h"
#include "format/formato.h"

namespace gs {

// The rows of each source, in record_linea.cc and record_treno.cc.
extern const std::span<const RecordSorgente> kRecordLinea;
extern const std::span<const RecordSorgente> kRecordTreno;

bool RecordSorgente::riconosce(std::string_view campo) const {
  return std::all_of(parole.begin(), parole.end(), [&](const ParolaChiave& p) {
    return p.minuscola ? contiene(campo, p.parola) : contiene_ic(campo, p.parola);
  });
}

std::span<const RecordSorgente> record_di(Sezione sezione) {
  const std::span<const RecordSorgente> tutti =
      sezione == Sezione::kTreno ? kRecordTreno : kRecordLinea;
  const auto da = std::find_if(tutti.begin(), tutti.end(),
                               [&](const RecordSorgente& r) { return r.sezione == sezione; });
  const auto a =
      std::find_if(da, tutti.end(), [&](const RecordSorgente& r) { return r.sezione != sezione; });
  return {da, a};
}

const RecordSorgente& record_sorgente(TipoRecord tipo) {
  for (const std::span<const RecordSorgente> righe : {kRecordLinea, kRecordTreno}) {
    for (const RecordSorgente& r : righe)
      if (r.tipo == tipo) return r;
  }
  throw std::logic_error("a record type without a row in the source-record table");
}

int64_t cella_di(RegolaCella regola, int64_t metri) {
  return regola == RegolaCella::kPunto     ? cella_punto(metri)
         : regola == RegolaCella::kProfilo ? cella_profilo(metri)
                                           : ultima_cella_campata(metri);
}

}  // namespace gs

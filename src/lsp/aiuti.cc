#include "lsp/aiuti.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "compiler/compilatore.h"
#include "compiler/parole.h"
#include "format/formato.h"

#include "lsp/protocollo.h"

namespace gs::lsp {
namespace {

using nlohmann::json;

constexpr int kVoceParola = 14, kVoceModulo = 9;  // CompletionItemKind
constexpr int kTestoSemplice = 1, kSnippet = 2;   // InsertTextFormat

std::string s(std::string_view v) { return std::string(v); }

std::string_view nome_sezione(Sezione z) {
  switch (z) {
    case Sezione::kLineaGenerale:
      return "line source, general section";
    case Sezione::kLinea:
      return "line source, after the general section";
    case Sezione::kTreno:
      return "train source";
  }
  return "";
}

// "pendenza, START, GRADIENT", with where each field's name stands in it.
struct Firma {
  std::string etichetta;
  std::vector<std::pair<std::size_t, std::size_t>> parametri;
  std::vector<const CampoSorgente*> campi;
};

Firma firma_di(const std::vector<const RecordSorgente*>& record) {
  Firma f;
  for (const RecordSorgente* r : record) {
    if (!f.etichetta.empty()) f.etichetta += " + ";
    f.etichetta += parola_scritta(*r);
    for (const CampoSorgente& c : r->campi) {
      f.etichetta += ", ";
      f.parametri.emplace_back(f.etichetta.size(), f.etichetta.size() + c.segnaposto.size());
      f.etichetta += c.segnaposto;
      f.campi.push_back(&c);
    }
  }
  return f;
}

std::string intervallo_accettato(const CampoSorgente& c) {
  std::string a;
  if (c.tipo == TipoCampo::kTesto) {
    a = "a text";
  } else if (c.tipo == TipoCampo::kParola) {
    a = "carried by the keyword";
  } else {
    a = "a whole number from " + std::to_string(minimo(c.tipo)) + " to " +
        std::to_string(massimo(c.tipo));
    if (!c.unita.empty()) a += " " + s(c.unita);
  }
  if (!c.controlli.empty()) a += "; " + s(c.controlli);
  return a;
}

// One line on a field: "`START` gradient start (m): start".
std::string riga_campo(const CampoSorgente& c) {
  std::string r = "- `" + s(c.segnaposto) + "`";
  if (c.nome != c.segnaposto) r += " " + s(c.nome);
  if (!c.unita.empty()) r += " (" + s(c.unita) + ")";
  return r + ": " + s(c.significato) + "\n";
}

std::string testo_record(const std::vector<const RecordSorgente*>& record) {
  std::string t = "```\n" + firma_di(record).etichetta + "\n```\n";
  for (const RecordSorgente* r : record) {
    t += "\n**" + s(r->forma) + "** (" + s(nome_sezione(r->sezione)) + ")\n\n";
    for (const CampoSorgente& c : r->dalla_parola) t += riga_campo(c);
    for (const CampoSorgente& c : r->campi) t += riga_campo(c);
  }
  return t;
}

// For a speed stored in the grid: what the compiled grid holds in the cell of the record's
// position, read back from this compile rather than worked out from the field's rule.
std::string valore_salvato(const CampoLetto& l, const RigaLetta& r, const Compilato& k) {
  const CampoSorgente& c = *l.campo;
  if (c.unita != "km/h" || c.approdo.dove != Dove::kCelle || c.approdo.campo.empty() ||
      k.c == nullptr || !k.c->celle.dimensionata())
    return {};
  // The record's position: the nearest field before this one, of the same record, that
  // decides a cell.
  const CampoLetto* posizione = nullptr;
  for (const CampoLetto& p : r.campi) {
    if (&p == &l) break;
    if (p.record == l.record && p.campo->cella != RegolaCella::kNessuna && p.numero) posizione = &p;
  }
  if (posizione == nullptr) return {};
  const int64_t cella = cella_di(posizione->campo->cella, *posizione->numero);
  if (!k.c->celle.contiene(cella)) return {};
  const auto v = campo_cella(k.c->celle[cella], c.approdo.campo);
  if (!v) return {};
  return "\nStored: `" + s(c.approdo.campo) + "` = " + std::to_string(*v) + " in grid cell " +
         std::to_string(cella) + "\n";
}

std::string testo_campo(const CampoLetto& l, const RigaLetta& r, const Compilato& k) {
  const CampoSorgente& c = *l.campo;
  std::string t = "**" + s(l.record->forma) + "**: " + s(c.nome) + " (`" + s(c.segnaposto) + "`";
  if (!c.unita.empty()) t += ", " + s(c.unita);
  t += ")\n\n" + s(c.significato) + "\n\nAccepted: " + intervallo_accettato(c) +
       "\n\nBecomes: " + s(c.diventa) + "\n";
  if (l.numero && c.cella != RegolaCella::kNessuna) {
    const int64_t m = *l.numero;
    t += "\nHere: metre " + std::to_string(m) + ", grid cell " +
         std::to_string(cella_di(c.cella, m));
    if (k.c != nullptr && k.c->celle.dimensionata())
      t += ", chainage " + formatta_progressiva(progressiva_a(k.c->stazioni, m));
    t += "\n";
  }
  return t + valore_salvato(l, r, k);
}

bool dentro(const Intervallo& i, const Posizione& p) {
  const auto prima = [](const Posizione& a, const Posizione& b) {
    return a.riga < b.riga || (a.riga == b.riga && a.colonna <= b.colonna);
  };
  return prima(i.inizio, p) && prima(p, i.fine);
}

// The code points the compile added for the signal or slowdown on line `riga`.
std::string punti_aggiunti(const RigaLetta& r, const Compilato& k) {
  const bool suo = std::any_of(r.parole.begin(), r.parole.end(), [](const ParolaLetta& w) {
    return std::any_of(w.record.begin(), w.record.end(), [](const RecordSorgente* rec) {
      return rec->tipo == TipoRecord::kSegnale || rec->tipo == TipoRecord::kRallentamento;
    });
  });
  if (!suo || k.c == nullptr) return {};
  std::string elenco;
  for (int64_t i = 0; i <= k.c->celle.ultimo(); ++i) {
    const Origine* o = k.c->celle.origine(i);
    if (o == nullptr || !o->posto || o->luogo.file != k.nome ||
        o->luogo.riga != static_cast<int32_t>(r.riga + 1))
      continue;
    elenco += elenco.empty() ? "" : ", ";
    elenco += "cell " + std::to_string(i) + " (" + std::to_string(metro_profilo(i)) + " m)";
  }
  if (elenco.empty()) return "\nThe compiler added no code point for it.\n";
  return "\nCode points the compiler added for it: " + elenco + "\n";
}

}  // namespace

json hover(const Vista& v, const Posizione& p, const std::vector<DiagnosticaLsp>& diagnostiche,
           const Servizi& servizi, const Compilato& compilato) {
  std::string testo;
  std::optional<Intervallo> dove;
  if (const auto b = v.byte_di(p)) {
    const RigaLetta* r = v.riga(b->first);
    if (r != nullptr) {
      for (const ParolaLetta& w : r->parole) {
        if (b->second >= w.inizio && b->second <= w.fine) {
          testo = testo_record(w.record);
          dove = v.intervallo(r->riga, w.inizio, w.fine);
        }
      }
      for (const CampoLetto& c : r->campi) {
        if (b->second >= c.inizio && b->second <= c.fine && testo.empty()) {
          testo = testo_campo(c, *r, compilato);
          dove = v.intervallo(r->riga, c.inizio, c.fine);
        }
      }
    }
    if (r != nullptr && !testo.empty()) testo += punti_aggiunti(*r, compilato);
  }
  for (const DiagnosticaLsp& d : diagnostiche) {
    if (!dentro(d.intervallo, p)) continue;
    std::string parte = "**" + d.codice + "** " + d.messaggio;
    if (servizi.spiega && !d.codice.empty()) {
      const std::string voce = servizi.spiega(d.codice, d.causa);
      if (!voce.empty()) parte += "\n\n" + voce;
    }
    testo += (testo.empty() ? "" : "\n---\n\n") + parte;
  }
  if (testo.empty()) return nullptr;
  json h = {{"contents", {{"kind", "markdown"}, {"value", testo}}}};
  if (dove) h["range"] = json_di(*dove);
  return h;
}

json completamento(const Vista& v, const Posizione& p, bool snippet) {
  json voci = json::array();
  const auto b = v.byte_di(p);
  if (!b) return voci;
  const RigaLetta* r = v.riga(b->first);
  if (r == nullptr || r->testo.substr(0, b->second).find_first_of(",\"") != std::string_view::npos)
    return voci;
  // What is typed so far is replaced, from the field's first character to the cursor.
  const std::size_t da = std::min(r->inizio_parola, b->second);
  const json intervallo = json_di(v.intervallo(r->riga, da, b->second));
  const std::optional<Sezione> sezione =
      b->first == 0 ? std::nullopt : v.analisi().sezione_dopo(b->first - 1);
  if (sezione) {
    for (const RecordSorgente& rec : record_di(*sezione)) {
      const Firma f = firma_di({&rec});
      for (const std::string_view scritta : rec.scritte) {
        std::string inserito(scritta);
        for (std::size_t i = 0; i < rec.campi.size(); ++i) {
          const std::string nome = s(rec.campi[i].segnaposto);
          inserito += snippet ? ",  ${" + std::to_string(i + 1) + ":" + nome + "}" : ",  " + nome;
        }
        voci.push_back({{"label", s(scritta)},
                        {"kind", kVoceParola},
                        {"detail", f.etichetta},
                        {"documentation", {{"kind", "markdown"}, {"value", testo_record({&rec})}}},
                        {"insertTextFormat", snippet ? kSnippet : kTestoSemplice},
                        {"textEdit", {{"range", intervallo}, {"newText", inserito}}}});
      }
    }
  }
  for (const std::string_view testa : v.analisi().linea ? kTestateLinea : kTestateTreno) {
    if (!sezione && testa != "[generale]") continue;
    voci.push_back({{"label", s(testa)},
                    {"kind", kVoceModulo},
                    {"detail", "section head"},
                    {"textEdit", {{"range", intervallo}, {"newText", s(testa)}}}});
  }
  return voci;
}

json firma(const Vista& v, const Posizione& p) {
  const auto b = v.byte_di(p);
  if (!b) return nullptr;
  const RigaLetta* r = v.riga(b->first);
  if (r == nullptr) return nullptr;
  // The record whose keyword stands last before the cursor.
  const ParolaLetta* w = nullptr;
  for (const ParolaLetta& parola : r->parole)
    if (parola.fine <= b->second) w = &parola;
  if (w == nullptr) return nullptr;
  const Firma f = firma_di(w->record);
  if (f.campi.empty()) return nullptr;
  std::size_t attivo = 0;
  for (const CampoLetto& c : r->campi)
    if (c.inizio > w->fine && c.fine < b->second) ++attivo;
  attivo = std::min(attivo, f.campi.size() - 1);
  json parametri = json::array();
  for (std::size_t i = 0; i < f.campi.size(); ++i) {
    const CampoSorgente& c = *f.campi[i];
    std::string doc = s(c.nome);
    if (!c.unita.empty()) doc += " (" + s(c.unita) + ")";
    doc += ": " + s(c.significato) + ". Accepted: " + intervallo_accettato(c);
    parametri.push_back(
        {{"label", {f.parametri[i].first, f.parametri[i].second}}, {"documentation", doc}});
  }
  return {{"signatures", json::array({{{"label", f.etichetta}, {"parameters", parametri}}})},
          {"activeSignature", 0},
          {"activeParameter", attivo}};
}

}  // namespace gs::lsp

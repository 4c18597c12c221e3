#include "lsp/compila.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "common/ascii.h"
#include "common/errori.h"
#include "common/file_system.h"
#include "common/nomi_file.h"
#include "compiler/compilatore.h"
#include "compiler/parole.h"
#include "lsp/campo.h"
#include "lsp/testo.h"
#include "lsp/uri.h"
#include "platform/piattaforma.h"

namespace gs::lsp {
namespace {

// One source as the compiler reads it and as the editor shows it.
struct Sorgente {
  std::string nome;  // what the compile calls it: the file's name, or the URI of one without
  std::string uri;
  const Documento* documento = nullptr;
  std::string compilato;  // the bytes the compiler reads
  std::string editore;    // UTF-8, as the editor holds it, or would on opening the file
  // One compiled byte for each character of the editor's text (Windows-1252), or the same
  // bytes (a file on disk that is UTF-8).
  bool per_carattere = true;
  std::vector<Mancante> mancanti;
  std::optional<IndiceRighe> righe_compilato;
  std::optional<IndiceRighe> righe_editore;
  std::optional<ColonneUtf16> colonne;
  // The whole line's extent without its blanks, by line: for the places that name a line, as
  // many on one line as the compiler gives.
  mutable std::unordered_map<std::size_t, std::pair<std::size_t, std::size_t>> rifilate;

  // Once the texts are in place: they are not moved after.
  void indicizza() {
    righe_compilato.emplace(compilato);
    righe_editore.emplace(editore);
    colonne.emplace(editore);
  }

  // The UTF-16 column of byte `byte` of line `n` of the compiled text. Every line starts at the
  // same character in both texts (and at the same byte, when they are the same bytes).
  int64_t colonna(std::size_t n, std::size_t byte) const {
    const std::size_t inizio = righe_compilato->inizio(n);
    byte = std::min(byte, righe_compilato->riga(n).size());
    return per_carattere ? colonne->dei_caratteri(inizio + byte) - colonne->dei_caratteri(inizio)
                         : colonne->dei_byte(inizio + byte) - colonne->dei_byte(inizio);
  }

  std::pair<std::size_t, std::size_t> rifilata(std::size_t n, std::string_view rc) const {
    const auto [it, nuova] = rifilate.try_emplace(n);
    if (nuova) {
      std::size_t da = 0, a = rc.size();
      while (da < a && (rc[da] == ' ' || rc[da] == '\t')) ++da;
      while (a > da && (rc[a - 1] == ' ' || rc[a - 1] == '\t')) --a;
      it->second = {da, a};
    }
    return it->second;
  }

  // The range of what stands at a place the compiler gave (line and byte column from 1; 0 for
  // the whole file or the whole line).
  Intervallo intervallo(const Luogo& l) const {
    if (l.riga <= 0) return {};
    std::size_t n = static_cast<std::size_t>(l.riga - 1);
    const bool oltre = n >= righe_compilato->righe();
    n = std::min(n, righe_compilato->righe() - 1);
    const std::string_view rc = righe_compilato->riga(n);
    std::size_t da = 0, a = rc.size();
    if (oltre) {
      da = a;
    } else if (l.colonna <= 0) {
      std::tie(da, a) = rifilata(n, rc);
    } else {
      da = std::min(static_cast<std::size_t>(l.colonna - 1), rc.size());
      a = fine_campo(rc, da);
    }
    const auto r = static_cast<int64_t>(n);
    return {{r, colonna(n, da)}, {r, colonna(n, a)}};
  }

  // The range of the character at an offset of the editor's text.
  Intervallo carattere(std::size_t offset) const {
    const std::size_t n = righe_editore->riga_di(offset);
    const int64_t c = colonne->dei_byte(offset) - colonne->dei_byte(righe_editore->inizio(n));
    const auto r = static_cast<int64_t>(n);
    return {{r, c}, {r, c + unita_utf16(carattere_a(editore, offset).punto)}};
  }
};

void dal_documento(Sorgente& s, const Documento& d) {
  s.nome = d.percorso.empty() ? d.uri : d.percorso;
  s.uri = d.uri;
  s.documento = &d;
  s.editore = d.testo;
  s.compilato = testo_1252(s.editore, s.mancanti);
}

// ErroreFile when the file cannot be read.
void dal_disco(Sorgente& s, const std::string& percorso) {
  s.nome = percorso;
  s.uri = uri_da_percorso(percorso);
  s.compilato = leggi_file(piattaforma::percorso(percorso));
  std::size_t primo = 0;
  s.per_carattere = !sembra_utf8(s.compilato, primo);
  s.editore = s.per_carattere ? utf8_da_1252(s.compilato) : s.compilato;
}

int gravita_di(Gravita g) {
  return g == Gravita::kErrore ? kErrore : g == Gravita::kAvviso ? kAvviso : kInformazione;
}

// A diagnostic worded from the table, whose entry gives its code and its severity.
DiagnosticaLsp diagnostica(const Intervallo& i, Detto detto) {
  const Spiegazione& v = voce_di(detto.causa);
  DiagnosticaLsp d;
  d.intervallo = i;
  d.gravita = gravita_di(v.gravita);
  d.codice = codice(v);
  d.messaggio = std::move(detto.testo);
  d.causa = causa(detto.causa).nome;
  d.suggerimento = std::move(detto.suggerimento);
  return d;
}

std::string codice_punto(char32_t c) {
  constexpr char kCifre[] = "0123456789ABCDEF";
  std::string s;
  const int cifre = c > 0xFFFFF ? 6 : c > 0xFFFF ? 5 : 4;
  for (int spostamento = 4 * (cifre - 1); spostamento >= 0; spostamento -= 4)
    s += kCifre[(c >> spostamento) & 15];
  return "U+" + s;
}

// What the editor's text holds that the compile cannot take as it is: characters Windows-1252
// lacks, and the file on disk that is UTF-8.
void codifica(const Sorgente& s, Raccolta& elenco) {
  if (s.documento == nullptr) return;
  for (const Mancante& m : s.mancanti) {
    const Carattere c = carattere_a(s.editore, m.offset);
    Detto detto;
    if (m.punto == kSurrogatoSolo) {
      // The editor's text holds half of a UTF-16 pair where the server's holds the marker.
      detto = gs::detto(IdCausa::kSurrogatoSolo);
    } else if (m.punto == 0xFFFD) {
      detto = gs::detto(IdCausa::kCarattereIlleggibile);
    } else {
      detto = gs::detto(IdCausa::kCarattereNon1252,
                        {{"C", s.editore.substr(m.offset, c.byte)}, {"U", codice_punto(m.punto)}});
    }
    elenco.aggiungi(diagnostica(s.carattere(m.offset), std::move(detto)));
  }
  if (s.documento->utf8_su_disco) {
    const bool linea = ruolo_di(*s.documento) == Ruolo::kLinea;
    elenco.aggiungi(diagnostica(*s.documento->utf8_su_disco,
                                detto(IdCausa::kUtf8, {{"line", linea ? "line" : "train"}})));
  }
}

// Why the train source has no line source to be compiled with.
Detto senza_linea(const LineaAccanto& a, const std::string& treno) {
  if (a.cercate.empty())
    return detto(IdCausa::kNomeNonLineaTreno, {{"F", std::string(nome_file(treno))}});
  std::string cercate;
  for (std::size_t i = 0; i < a.cercate.size(); ++i) {
    if (i > 0) cercate += i + 1 == a.cercate.size() ? " or " : ", ";
    cercate += nome_file(a.cercate[i]);
  }
  return detto(IdCausa::kLineaAssente, {{"F", cercate}});
}

// A diagnostic of the compile at its range, with the places it involves in the sources the
// editor knows (`sorgente_di`); a place in no such source is told in the message instead.
template <class SorgenteDi>
DiagnosticaLsp come_la_vede_l_editore(const Diagnostica& d, const Intervallo& intervallo,
                                      const SorgenteDi& sorgente_di) {
  DiagnosticaLsp fatta;
  fatta.intervallo = intervallo;
  fatta.gravita = gravita_di(d.gravita);
  fatta.codice = codice(d);
  fatta.messaggio = d.messaggio;
  fatta.suggerimento = d.suggerimento;
  for (const Correlato& r : d.correlati) {
    const Sorgente* rs = sorgente_di(r.luogo);
    if (rs == nullptr) {
      fatta.messaggio += "\n" + r.messaggio;
      continue;
    }
    fatta.correlate.push_back({rs->uri, rs->intervallo(r.luogo), r.messaggio});
  }
  // Which of its entry's causes it is, for the hover's explanation.
  if (d.causa != nullptr) fatta.causa = d.causa->nome;
  return fatta;
}

}  // namespace

Diagnostiche compila_unita(const Unita& u, const Compila& compila,
                           std::shared_ptr<const Compilazione>* tenuta) {
  std::map<std::string, Raccolta> raccolte;
  const auto esito = [&raccolte] {
    Diagnostiche e;
    for (auto& [uri, r] : raccolte) e.emplace(uri, r.chiudi());
    return e;
  };
  Sorgente linea, treno;
  if (u.treno != nullptr) dal_documento(treno, *u.treno);
  if (u.linea != nullptr) dal_documento(linea, *u.linea);
  std::string guasto_linea;
  if (u.linea == nullptr && !u.accanto.percorso.empty()) {
    try {
      dal_disco(linea, u.accanto.percorso);
    } catch (const ErroreFile& e) {
      guasto_linea = e.what();
    }
  }
  treno.indicizza();
  linea.indicizza();
  Sorgente& principale = u.treno != nullptr ? treno : linea;
  Raccolta& proprie = raccolte[principale.uri];
  if (u.treno != nullptr) codifica(treno, raccolte[treno.uri]);
  if (u.linea != nullptr) codifica(linea, raccolte[linea.uri]);
  if (u.treno != nullptr && u.accanto.percorso.empty()) {
    proprie.aggiungi(diagnostica({}, senza_linea(u.accanto, treno.nome)));
    return esito();
  }
  if (!guasto_linea.empty()) {
    proprie.aggiungi(
        diagnostica({}, detto(IdCausa::kLineaNonLeggibile, {{"REASON", guasto_linea}})));
    return esito();
  }

  auto compilata = std::make_shared<Compilazione>();
  Compilazione& c = *compilata;
  if (tenuta != nullptr) *tenuta = compilata;
  std::optional<TestoSorgente> testo_treno;
  if (u.treno != nullptr) testo_treno = TestoSorgente{treno.nome, treno.compilato};
  if (const auto motivo = compila(c, {linea.nome, linea.compilato}, std::move(testo_treno)))
    proprie.aggiungi(diagnostica({}, detto(IdCausa::kNomiDaiFile, {{"REASON", *motivo}})));

  const auto sorgente_di = [&](const Luogo& l) -> Sorgente* {
    if (!l.file.empty() && l.file == linea.nome) return &linea;
    if (u.treno != nullptr && !l.file.empty() && l.file == treno.nome) return &treno;
    return nullptr;
  };
  for (const Diagnostica& d : c.registro.elenco()) {
    Sorgente* s = sorgente_di(d.luogo);
    // A line source alone: the missing train source is no news.
    if (s == nullptr && u.treno == nullptr) continue;
    // An open document's encoding is judged from its file (codifica): the compile reads the
    // editor's text converted, whatever the file holds.
    if (d.gravita == Gravita::kAvviso && d.avviso == kAvvisoUtf8 && s != nullptr &&
        s->documento != nullptr)
      continue;
    Sorgente& dove = s != nullptr ? *s : principale;
    raccolte[dove.uri].aggiungi(come_la_vede_l_editore(
        d, s != nullptr ? s->intervallo(d.luogo) : Intervallo{}, sorgente_di));
  }
  // The compile is kept for hover, which reads its cells and its chainage table: its own list
  // of diagnostics, as long as the document has many, is let go now they are placed.
  c.registro = Registro();
  return esito();
}

}  // namespace gs::lsp

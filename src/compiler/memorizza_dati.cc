#include <algorithm>
#include <stdexcept>
#include <string>

#include "common/file_system.h"
#include "compiler/lettori.h"

namespace gs {

std::string_view testo_record(LettoreCampi& r, std::string_view campo) {
  const std::string_view testo = r.testo();
  if (testo.size() > kTestoMassimo)
    throw ErroreLettura(detto(IdCausa::kTestoLungo, {{"field", campo}, {"N", testo.size()}}),
                        r.luogo());
  return testo;
}

LettoreSorgente::LettoreSorgente(Compilazione& c, std::string file, std::string_view testo,
                                 std::string_view quale)
    : c_(c), file_(std::move(file)), r_(testo) {
  std::size_t primo = 0;
  if (!sembra_utf8(testo, primo)) return;
  Luogo l{file_, 1, 1, 0};
  for (std::size_t i = 0; i < primo; ++i) {
    if (testo[i] == '\n' || (testo[i] == '\r' && (i + 1 >= testo.size() || testo[i + 1] != '\n'))) {
      ++l.riga;
      l.inizio_riga = i + 1;
    }
  }
  l.colonna = static_cast<int32_t>(primo - l.inizio_riga + 1);
  reg().avviso(detto(IdCausa::kUtf8, {{"line", quale}}), l);
}

bool LettoreSorgente::prossima(int trattini, std::string_view& campo, bool fine_nei_trattini) {
  prima_della_chiave_ = r_.estensione();
  numero_prima_ = ultimo_numero_;
  ultimo_numero_ = false;
  if (r_.fine()) return false;
  campo = r_.testo();
  if (r_.fine()) return false;
  for (int n = 0; n < trattini && contiene(campo, "-"); ++n) {
    scartato(campo);
    numero_prima_ = false;
    campo = r_.testo();
    if (fine_nei_trattini && r_.fine()) return false;
  }
  chiave_ = qui();
  testo_chiave_ = campo;
  estensione_chiave_ = r_.estensione();
  return true;
}

void LettoreSorgente::scartato(std::string_view campo) {
  // A separator line of dashes is meant to be dropped; a word with a hyphen in it hardly is.
  const bool parola = std::any_of(campo.begin(), campo.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  });
  if (!parola) return;
  reg().avviso(detto(IdCausa::kTrattino, {{"K", citazione(campo)}}), qui());
}

void LettoreSorgente::valori(TipoRecord tipo) {
  record_ = &record_sorgente(tipo);
  letti_ = 0;
  preso_.reset();
  r_.segna();
}

const CampoSorgente& LettoreSorgente::prossimo_campo(TipoCampo tipo) {
  if (record_ == nullptr || letti_ >= record_->campi.size() || record_->campi[letti_].tipo != tipo)
    throw std::logic_error(
        "a reader reads a field that its row of the source-record table "
        "does not describe");
  return record_->campi[letti_++];
}

template <typename F>
auto LettoreSorgente::leggi_valore(F leggi) -> decltype(leggi()) {
  const std::size_t i = letti_ - 1;
  const bool alla_fine = r_.fine();
  try {
    auto v = leggi();
    segna_preso();
    if (preso_ && letti_ == record_->campi.size()) {
      reg().avviso(corto(IdCausa::kCorto, i, true, {}), chiave_);
      // What is left of the line it took from is said by this warning already.
      riga_tacita_ = r_.estensione().riga_fine;
    }
    return v;
  } catch (const ErroreLettura& e) {
    if (!alla_fine) segna_preso();
    if (!preso_ && !alla_fine) throw;
    throw ErroreLettura(corto(IdCausa::kRecordCorto, i, false, e.what()), chiave_);
  }
}

void LettoreSorgente::segna_preso() {
  if (preso_ || r_.luogo().riga <= chiave_.riga) return;
  const Estensione& e = r_.estensione();
  preso_ = Preso{letti_ - 1, e.luogo.riga, r_.testo_intero().substr(e.inizio, e.fine - e.inizio)};
}

namespace {

std::string_view senza_spazi_finali(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// A keyword with a blank and a number in it: "pendenza 7000 3".
bool virgola_mancante(std::string_view chiave) {
  for (std::size_t i = 0; i + 1 < chiave.size(); ++i)
    if (chiave[i] == ' ' && chiave[i + 1] >= '0' && chiave[i + 1] <= '9') return true;
  return false;
}

}  // namespace

Detto LettoreSorgente::corto(IdCausa id, std::size_t fino_a, bool con_testo,
                             std::string_view errore) const {
  const std::size_t m = record_->campi.size();
  const std::size_t n = preso_ ? preso_->campo : fino_a;
  Dati dati{{"K", citazione(senza_spazi_finali(testo_chiave_))}, {"N", n}, {"M", m}};
  if (m != 1) dati.emplace_back("MANY", "");
  if (n == 0 && virgola_mancante(testo_chiave_)) dati.emplace_back("COMMA", "");
  if (preso_) {
    dati.emplace_back("FIELD", record_->campi[preso_->campo].nome);
    dati.emplace_back("LINE", preso_->riga);
    if (fino_a > preso_->campo) {
      dati.emplace_back("TO", "");
      dati.emplace_back("LAST", record_->campi[fino_a].nome);
    } else {
      dati.emplace_back("FROM", "");
      if (con_testo) dati.emplace_back("QUOTED", citazione(senza_spazi_finali(preso_->testo)));
    }
  }
  if (!errore.empty()) dati.emplace_back("WHY", errore);
  return detto(id, std::move(dati));
}

std::optional<Detto> LettoreSorgente::numero_spezzato(std::string_view campo) const {
  const Estensione& a = prima_della_chiave_;
  const Estensione& b = estensione_chiave_;
  if (!numero_prima_ || a.riga_fine != b.luogo.riga || b.inizio < a.fine) return std::nullopt;
  const std::string_view testo = r_.testo_intero();
  const std::string_view tra = testo.substr(a.fine, b.inizio - a.fine);
  const bool blank = !tra.empty() && tra.find_first_not_of(' ') == std::string_view::npos;
  if (!blank && tra != ",") return std::nullopt;
  return detto(IdCausa::kNumeroSpezzato,
               {{"T", citazione(senza_spazi_finali(testo.substr(a.inizio, b.fine - a.inizio)))},
                {"N", citazione(testo.substr(a.inizio, a.fine - a.inizio))},
                {"V", citazione(senza_spazi_finali(campo))}});
}

int32_t LettoreSorgente::campo_i32() {
  const CampoSorgente& c = prossimo_campo(TipoCampo::kI32);
  const auto v = leggi_valore([&] { return r_.numero(minimo(c.tipo), massimo(c.tipo), c.nome); });
  ultimo_numero_ = true;
  return static_cast<int32_t>(v);
}

int16_t LettoreSorgente::campo_i16() {
  const CampoSorgente& c = prossimo_campo(TipoCampo::kI16);
  const auto v = leggi_valore([&] { return r_.numero(minimo(c.tipo), massimo(c.tipo), c.nome); });
  ultimo_numero_ = true;
  return static_cast<int16_t>(v);
}

uint8_t LettoreSorgente::campo_u8() {
  const CampoSorgente& c = prossimo_campo(TipoCampo::kU8);
  const auto v = leggi_valore([&] { return r_.numero(minimo(c.tipo), massimo(c.tipo), c.nome); });
  ultimo_numero_ = true;
  return static_cast<uint8_t>(v);
}

std::string_view LettoreSorgente::campo_testo() {
  const CampoSorgente& c = prossimo_campo(TipoCampo::kTesto);
  ultimo_numero_ = false;
  return leggi_valore([&] { return testo_record(r_, c.nome); });
}

Luogo LettoreSorgente::qui() const {
  Luogo l = r_.luogo();
  l.file = file_;
  return l;
}

Luogo LettoreSorgente::valore(std::size_t i) const {
  Luogo l = r_.campo(i);
  l.file = file_;
  return l;
}

bool LettoreSorgente::dentro(int32_t posizione, int64_t margine, std::string_view cosa) {
  if (nella_griglia(c_.celle.ultimo(), posizione, margine)) return true;
  const int64_t fine = fine_griglia(c_.celle.ultimo());
  const Dati dati = {{"the record", cosa},
                     {"P", posizione},
                     {"G", fine},
                     {"L", st()[kVoceParametri].fine},
                     {"Q", fine - margine}};
  reg().errore_in(
      detto(margine == kMargineRecord ? IdCausa::kOltreGriglia : IdCausa::kStazioneOltreGriglia,
            dati),
      posizione, valore(0));
  return false;
}

void LettoreSorgente::oltre_linea(int32_t posizione, std::string_view cosa) {
  const int32_t lunghezza = st()[kVoceParametri].fine;
  if (posizione <= lunghezza) return;
  reg().avviso(
      detto(IdCausa::kOltreLinea, {{"the point", cosa}, {"P", posizione}, {"L", lunghezza}}),
      valore(0));
}

void LettoreSorgente::sconosciuta(std::string_view campo,
                                  std::span<const std::string_view> accettate,
                                  std::span<const std::string_view> testate,
                                  std::initializer_list<Altrove> altrove) {
  if (vuoto_o_separatore(campo)) return;
  for (const std::string_view t : testate)
    if (testata(campo) && contiene_ic(campo, t)) return;
  const bool valore = numerico(campo);
  if (valore && chiave_.riga == riga_tacita_) return;
  std::optional<Detto> spezzato = valore ? numero_spezzato(campo) : std::nullopt;
  reg().avviso(spezzato ? std::move(*spezzato) : avviso_parola(campo, accettate, testate, altrove),
               chiave_);
  if (!valore) tace_riga();
}

void LettoreSorgente::rifiutata(const Posa& posa, int32_t posizione) {
  if (posa.errore == kLettura)
    throw ErroreLettura(posa.motivo, valore(static_cast<std::size_t>(posa.argomento)));
  reg().errore_in(posa.motivo, posizione, valore(static_cast<std::size_t>(posa.argomento)),
                  c_.celle.correlati(posa.cella));
}

void LettoreSorgente::rilancia(const ErroreLettura& e) const {
  ErroreLettura completo = e;
  // Without a place of its own, the failure stands where the reading stopped.
  if (completo.luogo.riga == 0) completo.luogo = qui();
  completo.luogo.file = file_;
  throw completo;
}

SorgentiSuDisco::SorgentiSuDisco(std::filesystem::path linea, std::filesystem::path treno,
                                 bool cancella)
    : linea_(std::move(linea)), treno_(std::move(treno)), cancella_(cancella) {}

std::optional<std::string> SorgentiSuDisco::leggi_linea() {
  if (!esiste(linea_)) return std::nullopt;
  try {
    return leggi_file(linea_);
  } catch (const ErroreFile& e) {
    throw ErroreLettura(detto(IdCausa::kSorgenteIllegibile, {{"reason", e.what()}}),
                        Luogo{linea_.string()});
  }
}

std::string SorgentiSuDisco::leggi_treno() {
  try {
    return leggi_file(treno_);
  } catch (const ErroreFile& e) {
    throw ErroreLettura(detto(IdCausa::kSorgenteIllegibile, {{"reason", e.what()}}),
                        Luogo{treno_.string()});
  }
}

void SorgentiSuDisco::cancella_linea() {
  if (cancella_) cancella(linea_);
}

void SorgentiSuDisco::cancella_treno() {
  if (cancella_) cancella(treno_);
}

std::string SorgentiInMemoria::leggi_treno() {
  if (!treno_)
    throw ErroreLettura(detto(IdCausa::kTrenoMancante, {{"F", nome_treno_}}), Luogo{nome_treno_});
  return *treno_;
}

void memorizza_dati(Compilazione& c, Sorgenti& sorgenti) {
  try {
    const EsitoLinea linea = leggi_linea(c, sorgenti);
    if (linea.leggi_treno) leggi_treno(c, sorgenti, linea);
  } catch (const ErroreLettura& e) {
    c.registro.errore({e.causa, e.what()}, e.luogo);
    sorgenti.cancella_linea();
    sorgenti.cancella_treno();
  }
}

bool compila_in_memoria(Compilazione& c, Sorgenti& sorgenti) {
  memorizza_dati(c, sorgenti);
  // Without a grid there is nothing to place code points in.
  if (!c.celle.dimensionata()) return false;
  passa_codici(c.celle, c.registro);
  return true;
}

}  // namespace gs

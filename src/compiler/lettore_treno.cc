// The train source reader: general values, speed-limit and adhesion profiles, signals,
// slowdowns, code points and stations.
#include <array>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "common/numeri.h"
#include "compiler/lettori.h"

namespace gs {
namespace {

constexpr int kTrattini = 2;
constexpr int32_t kDistanzaStazioni = 350;  // m between one station's end and the next's start

// What the train reader does after a record: go on, go to its final steps, or stop.
enum class DopoRecordTreno { kAvanti, kPassiFinali, kFerma };

// The cursor and last value of one profile (speed limit or adhesion), and the record that
// set that value: a value is written only when a later record or the end fills the cells.
struct Profilo {
  int64_t cursore = 0;
  int32_t precedente = 0;
  int32_t da = 0;  // the position of the record that set it
  Luogo luogo;     // its value field
};

class LettoreTreno : LettoreSorgente {
 public:
  LettoreTreno(Compilazione& c, Sorgenti& sorgenti, std::string file, std::string_view testo,
               const EsitoLinea& linea)
      : LettoreSorgente(c, std::move(file), testo, "train"), sorgenti_(sorgenti), linea_(linea) {}

  void leggi() {
    try {
      leggi_tutto();
    } catch (const ErroreLettura& e) {
      rilancia(e);
    }
  }

 private:
  void leggi_tutto() {
    bool generale = false;
    while (!r_.fine() && !generale) generale = contiene_ic(r_.testo(), "[generale]");
    if (!generale) avvisa_senza_generale();
    std::string_view campo;
    bool fino_in_fondo = true;
    while (prossima(kTrattini, campo)) {
      bool letto = false;
      const DopoRecordTreno e = record(campo, letto);
      if (e == DopoRecordTreno::kFerma) return;
      if (e == DopoRecordTreno::kPassiFinali) {
        fino_in_fondo = false;
        break;
      }
      if (!letto)
        sconosciuta(campo, kParoleTreno, kTestateTreno, {kAltroveGenerale, kAltroveLinea});
    }
    passi_finali(generale);
    // Only a source read to its end has its whole speed-limit profile and every station.
    if (fino_in_fondo) controlla_percorrenze(c_, orari_);
  }

  void avvisa_senza_generale() {
    const std::string_view testo = r_.testo_intero();
    Dati forse;
    if (contiene_ic(testo, "[generale]"))
      forse.emplace_back("LAST", "");
    else if (contiene_ic(testo, "[general"))
      forse.emplace_back(kSuggerimento, "[generale]");
    reg().avviso(testo.empty() ? detto(IdCausa::kTrenoVuoto)
                               : detto(IdCausa::kTrenoSenzaGenerale, std::move(forse)),
                 Luogo{file_});
  }

  // Every record the keyword field names, in test order, until one stops the reading.
  DopoRecordTreno record(std::string_view campo, bool& letto) {
    DopoRecordTreno e = DopoRecordTreno::kAvanti;
    for (const RecordSorgente& r : record_di(Sezione::kTreno)) {
      if (e != DopoRecordTreno::kAvanti) break;
      if (!r.riconosce(campo)) continue;
      letto = true;
      e = record_treno(r.tipo);
    }
    return e;
  }

  DopoRecordTreno record_treno(TipoRecord tipo) {
    switch (tipo) {
      case TipoRecord::kMassaFrenata:
        valori(tipo);
        st()[kVoceParametri].inizio = campo_i32();
        return DopoRecordTreno::kAvanti;
      case TipoRecord::kVetture:
        valori(tipo);
        st()[kVoceParametri].posizione = campo_i32();
        return DopoRecordTreno::kAvanti;
      case TipoRecord::kVelocita:
        return profilo(velocita_, &LettoreTreno::scrivi_velocita, tipo, "speed limit", " km/h");
      case TipoRecord::kAderenza:
        return profilo(aderenza_, &LettoreTreno::scrivi_aderenza, tipo, "adhesion value", "");
      case TipoRecord::kOrologio:
        valori(tipo);
        st()[kVoceTreno].ore() = campo_i16();
        st()[kVoceTreno].minuti() = campo_i16();
        st()[kVoceTreno].secondi() = campo_i16();
        return DopoRecordTreno::kAvanti;
      case TipoRecord::kSabbia:
        valori(tipo);
        st()[kVoceTreno].sabbia() = campo_i16();
        return DopoRecordTreno::kAvanti;
      case TipoRecord::kSegnale:
        return segnale();
      case TipoRecord::kRallentamento:
        return rallentamento();
      case TipoRecord::kAbbattimento:
        return abbattimento();
      case TipoRecord::kStazione:
        return stazione();
      default:
        return DopoRecordTreno::kAvanti;
    }
  }

  // Stops the reading: the train source is done with and the profiles stay as they are.
  DopoRecordTreno ferma(Detto d, Luogo dove) {
    sorgenti_.cancella_treno();
    reg().errore(std::move(d), std::move(dove));
    return DopoRecordTreno::kFerma;
  }
  DopoRecordTreno ferma_in(Detto d, int32_t posizione, Luogo dove,
                           std::vector<Correlato> correlati = {}) {
    sorgenti_.cancella_treno();
    reg().errore_in(std::move(d), posizione, std::move(dove), std::move(correlati));
    return DopoRecordTreno::kFerma;
  }

  void scrivi_velocita(int64_t cella, const Profilo& p) {
    const int64_t quinti = arrotonda(static_cast<double>(p.precedente) / 5.0);
    if (quinti < 0 || quinti > 255)
      throw ErroreLettura(detto(IdCausa::kVelocitaCella, {{"V", p.precedente}, {"P", p.da}}),
                          p.luogo);
    c_.celle[cella].velocita = static_cast<uint8_t>(quinti);
  }
  void scrivi_aderenza(int64_t cella, const Profilo& p) {
    c_.celle[cella].aderenza = basso_8(p.precedente);
  }

  using Scrittura = void (LettoreTreno::*)(int64_t, const Profilo&);

  // Every cell before the record's cell receives the value of the record before it.
  DopoRecordTreno profilo(Profilo& p, Scrittura scrivi, TipoRecord tipo, const std::string& nome,
                          std::string_view unita) {
    valori(tipo);
    const int32_t posizione = campo_i32();
    const int32_t valore = campo_i32();
    if (!dentro(posizione, kMargineRecord, "the " + nome)) return DopoRecordTreno::kPassiFinali;
    const int64_t cella = cella_profilo(posizione);
    // A record whose cell the profile has reached writes nothing: it takes the place of the
    // value before it, which then holds nowhere.
    if (p.luogo.riga > 0 && cella <= p.cursore) {
      const auto quanto = [&](int32_t v) { return std::to_string(v) + std::string(unita); };
      fuori_ordine(detto(IdCausa::kOrdineProfilo, {{"what", nome},
                                                   {"V", quanto(valore)},
                                                   {"P", posizione},
                                                   {"W", quanto(p.precedente)},
                                                   {"Q", p.da},
                                                   {"R", metro_profilo(p.cursore)}}));
    }
    while (p.cursore < cella && p.cursore < ultima()) (this->*scrivi)(p.cursore++, p);
    p.precedente = valore;
    p.da = posizione;
    p.luogo = LettoreSorgente::valore(1);
    return DopoRecordTreno::kAvanti;
  }

  // The tail: the last value up to cell U - 3, at least one cell.
  void completa(Profilo& p, Scrittura scrivi) {
    do {
      (this->*scrivi)(p.cursore++, p);
    } while (p.cursore < ultima() - 2);
  }

  int64_t ultima() const { return c_.celle.ultimo(); }

  // After a placer call: the placer's own refusal, or an error an earlier step left, stops
  // the reading at this record's position.
  DopoRecordTreno dopo_posatore(const Posa& posa, int32_t posizione, std::string_view cosa) {
    if (!posa.riuscita()) {
      sorgenti_.cancella_treno();
      rifiutata(posa, posizione);
      return DopoRecordTreno::kFerma;
    }
    if (reg().n_errore <= 0) {
      oltre_linea(posizione, cosa);
      return DopoRecordTreno::kAvanti;
    }
    sorgenti_.cancella_treno();
    reg().nota_in(posizione, valore(0), detto(IdCausa::kLetturaFermata));
    return DopoRecordTreno::kFerma;
  }

  DopoRecordTreno segnale() {
    valori(TipoRecord::kSegnale);
    const int32_t posizione = campo_i32();
    const int32_t sx = campo_i32(), s1 = campo_i32(), s2 = campo_i32(), s3 = campo_i32();
    const int32_t rapp = campo_i32();
    const int32_t dx = campo_i32(), d1 = campo_i32(), d2 = campo_i32(), d3 = campo_i32();
    int32_t tempo = campo_i32();
    if (!dentro(posizione, kMargineRecord, "the signal")) return DopoRecordTreno::kPassiFinali;
    const uint32_t da = c_.celle.nuova_origine({chiave(), "the signal at " + metri(posizione)});
    const Segnale letto{.sx = sx,
                        .s1 = s1,
                        .s2 = s2,
                        .s3 = s3,
                        .rapp = rapp,
                        .dx = dx,
                        .d1 = d1,
                        .d2 = d2,
                        .d3 = d3};
    const Posa p = memo_segnale(c_.celle, posizione, letto, tempo, da);
    return dopo_posatore(p, posizione, "the signal");
  }

  DopoRecordTreno rallentamento() {
    valori(TipoRecord::kRallentamento);
    const int32_t x = campo_i32(), v = campo_i32();
    const int32_t l = campo_i32(), f_tt = campo_i32();
    const int32_t f_ta = campo_i32(), d_v = campo_i32();
    if (!dentro(x, kMargineRecord, "the slowdown")) return DopoRecordTreno::kPassiFinali;
    const uint32_t da = c_.celle.nuova_origine({chiave(), "the slowdown at " + metri(x)});
    const Posa p = memo_rallentamento(c_.celle, x, v, l, f_tt, f_ta, d_v, da);
    if (p.riuscita()) c_.rallentamenti.push_back({x, int64_t{x} + l, v});
    return dopo_posatore(p, x, "the slowdown");
  }

  DopoRecordTreno abbattimento() {
    valori(TipoRecord::kAbbattimento);
    const int32_t posizione = campo_i32();
    const int32_t valore = campo_i32();
    if (!dentro(posizione, kMargineRecord, "the code point")) return DopoRecordTreno::kPassiFinali;
    const std::string chi = "the code point at " + metri(posizione);
    const int64_t c = cella_profilo(posizione);
    if (!c_.celle.contiene(c))
      throw ErroreLettura(detto(IdCausa::kPrimaDellaGriglia, {{"the point", chi}}),
                          LettoreSorgente::valore(0));
    if (!libera(c_.celle[c])) {
      return ferma_in(detto(IdCausa::kAbbattimentoOccupato,
                            {{"P", posizione}, {"C", metro_cella(c)}, {"X", c_.celle.descrivi(c)}}),
                      posizione, LettoreSorgente::valore(0), c_.celle.correlati(c));
    }
    if (valore > 0) {
      c_.celle[c].tipo = kCodice;
      c_.celle[c].dato1 = basso_16(valore);
    } else {
      c_.celle[c].tipo = kAbbattimento;
    }
    c_.celle.segna(c, c_.celle.nuova_origine({chiave(), chi}));
    oltre_linea(posizione, "the code point");
    return DopoRecordTreno::kAvanti;
  }

  DopoRecordTreno stazione() {
    valori(TipoRecord::kStazione);
    Stazione& s = st()[static_cast<std::size_t>(j_)];
    s.posizione = campo_i32();
    const int32_t p = s.posizione;
    if (!dentro(p, kMargineStazione, "the station")) return DopoRecordTreno::kPassiFinali;
    if (!multiplo_cella(p))
      return ferma_in(detto(IdCausa::kStazioneNonMultipla, {{"P", p}}), p, valore(0));
    s.tipo = campo_u8();
    const int32_t lunghezza = campo_i32();
    if (lunghezza % kPassoLunghezzaStazione != 0)
      return ferma_in(detto(IdCausa::kLunghezzaStazione, {{"P", p}, {"L", lunghezza}}), p,
                      valore(2));
    const Orario o = campi_stazione(s);
    controlla_nome(s.nome, 16, "name",
                   "station " + std::to_string(j_) + " at " + metri(s.posizione));
    controlla_orario(s, o);
    campata(s, lunghezza);
    const std::string chi = "station " + citazione(s.nome);
    if (const DopoRecordTreno e = fermata(s, chi); e != DopoRecordTreno::kAvanti) return e;
    if (const DopoRecordTreno e = dopo_la_precedente(s); e != DopoRecordTreno::kAvanti) return e;
    luogo_precedente_ = chiave();
    ++j_;
    c_.stazioni_lette = j_ - 1;
    if (j_ >= linea_.limite_cartelli)
      return ferma(detto(IdCausa::kTroppeStazioni, {{"S", citazione(s.nome)},
                                                    {"J", j_ - 1},
                                                    {"B", kPrimoCartello - linea_.limite_cartelli},
                                                    {"M", linea_.limite_cartelli - 2}}),
                   chiave());
    oltre_linea(p, "the station");
    return DopoRecordTreno::kAvanti;
  }

  struct Orario {
    int32_t ore = 0, minuti = 0, secondi = 0;
  };

  // Fields 4 to 17, after the position, the kind and the length; the scheduled time as written.
  Orario campi_stazione(Stazione& s) {
    s.campo4 = campo_u8();
    s.campo5 = campo_u8();
    s.campo6 = campo_u8();
    s.campo7 = campo_i16();
    s.campo8 = campo_i16();
    s.campo9 = campo_u8();
    s.campo10 = campo_i16();
    s.campo11 = campo_i16();
    s.campo12 = campo_i16();
    s.campo13 = campo_u8();
    const int32_t ore = campo_i32(), minuti = campo_i32(), secondi = campo_i32();
    orari_[static_cast<std::size_t>(j_)] = valore(13);
    s.orario = orario(ore, minuti, secondi);
    s.nome = std::string(campo_testo());
    return {ore, minuti, secondi};
  }

  // A time of day, later than the previous timed station's. 0:00:00 is no scheduled time.
  void controlla_orario(const Stazione& s, const Orario& o) {
    if (o.ore == 0 && o.minuti == 0 && o.secondi == 0) return;
    const std::string scritto = testo_orario(o.ore, o.minuti, o.secondi);
    const struct {
      int32_t v, massimo;
      const char* nome;
      std::size_t campo;
    } parti[] = {
        {o.ore, 23, "hours", 13}, {o.minuti, 59, "minutes", 14}, {o.secondi, 59, "seconds", 15}};
    std::string fuori;
    std::size_t campo = 0;
    for (const auto& p : parti) {
      if (p.v >= 0 && p.v <= p.massimo) continue;
      if (fuori.empty())
        campo = p.campo;
      else
        fuori += ", and ";
      fuori += "its " + std::string(p.nome) + " are " + std::to_string(p.v) + ", outside 0 to " +
               std::to_string(p.massimo);
    }
    if (!fuori.empty())
      reg().avviso(
          detto(IdCausa::kOra,
                {{"T", scritto}, {"S", citazione(s.nome)}, {"parts", fuori}, {"X", s.orario}}),
          valore(campo));
    if (orario_precedente_ && s.orario < orario_precedente_->secondi)
      reg().avviso(detto(IdCausa::kOrdineOrari, {{"T", scritto},
                                                 {"S", citazione(s.nome)},
                                                 {"U", orario_precedente_->scritto},
                                                 {"R", orario_precedente_->nome},
                                                 {"L", orario_precedente_->riga}}),
                   valore(13));
    orario_precedente_ = OrarioLetto{s.orario, scritto, citazione(s.nome), chiave().riga};
  }

  // The span from the kind and length, and the fields its rules force.
  void campata(Stazione& s, int32_t lunghezza) {
    const Campata c = campata_stazione(s.tipo, s.posizione, lunghezza, s.campo6);
    const bool fine_dalla_posizione = s.tipo == 5 || s.tipo == 6;
    s.inizio = in_32_bit(c.inizio, "the station start", valore(2));
    s.fine = in_32_bit(c.fine, "the station end", valore(fine_dalla_posizione ? 0 : 2));
    if (s.tipo >= 5 && s.tipo <= 8) s.campo6 = 0;
    if (lunghezza < 600) s.campo5 = 0;
    if (j_ == 1) {
      s.campo5 = 0;
      s.campo6 = 0;
    }
  }

  // The approach markers and the stop cell, for the kinds that have them.
  DopoRecordTreno fermata(const Stazione& s, const std::string& chi) {
    const int64_t f = cella_fermata(s.fine);
    const auto cella = [&](int64_t c) -> Cella& {
      if (!c_.celle.contiene(c))
        throw ErroreLettura(detto(IdCausa::kStazioneFuori, {{"S", citazione(s.nome)},
                                                            {"P", s.posizione},
                                                            {"A", s.inizio},
                                                            {"B", s.fine},
                                                            {"G", fine_griglia(ultima())}}),
                            valore(2));
      return c_.celle[c];
    };
    if (ha_preavvisi(s.tipo)) {
      for (int64_t b = 1; b <= 4; ++b)
        if (f - b > 1) cella(f - b).preavviso = static_cast<uint8_t>(80 + b);
    }
    if (!ha_fermata(s.tipo)) return DopoRecordTreno::kAvanti;
    if (f <= 1)
      return ferma(
          detto(
              IdCausa::kStazioneInizioGriglia,
              {{"S", citazione(s.nome)}, {"P", s.posizione}, {"C", metro_cella(f)}, {"E", s.fine}}),
          valore(0));
    // A station's stop takes its cell whatever held it; the point that was there is lost to the
    // simulator, which an author should hear of.
    if (!libera(cella(f)))
      reg().avviso(
          detto(IdCausa::kFermata,
                {{"S", citazione(s.nome)}, {"C", metro_cella(f)}, {"X", c_.celle.descrivi(f)}}),
          valore(0));
    cella(f).tipo = kStazione;
    c_.celle.segna(f, c_.celle.nuova_origine({chiave(), chi}));
    c_.celle[f].dato1 = basso_16(j_);
    return DopoRecordTreno::kAvanti;
  }

  // At least 350 m between the previous station's end and this one's start.
  DopoRecordTreno dopo_la_precedente(const Stazione& s) {
    if (j_ <= 1) return DopoRecordTreno::kAvanti;
    const Stazione& prima = st()[static_cast<std::size_t>(j_ - 1)];
    const int32_t margine =
        in_32_bit(int64_t{s.inizio} - kDistanzaStazioni, "the station start - 350 m", valore(0));
    if (margine >= prima.fine) return DopoRecordTreno::kAvanti;
    const std::string distanza = s.inizio >= prima.fine
                                     ? "only " + metri(int64_t{s.inizio} - prima.fine) + " after"
                                     : metri(int64_t{prima.fine} - s.inizio) + " before";
    return ferma_in(
        detto(IdCausa::kStazioniVicine, {{"S", citazione(s.nome)},
                                         {"A", s.inizio},
                                         {"D", distanza},
                                         {"T", citazione(prima.nome)},
                                         {"E", prima.fine}}),
        s.posizione, valore(0),
        {{luogo_precedente_, detto(IdCausa::kLuogoCorrelato,
                                   {{"what", "the previous station " + citazione(prima.nome)}})
                                 .testo}});
  }

  // (hours x 60 + minutes) x 60 + seconds, each step in 32 bits.
  int32_t orario(int32_t ore, int32_t minuti, int32_t secondi) {
    const std::string cosa = "a step of the scheduled time, (hours x 60 + minutes) x 60 + seconds,";
    int32_t t = in_32_bit(int64_t{ore} * 60, cosa, valore(13));
    t = in_32_bit(int64_t{t} + minuti, cosa, valore(14));
    t = in_32_bit(int64_t{t} * 60, cosa, valore(14));
    return in_32_bit(int64_t{t} + secondi, cosa, valore(15));
  }

  void passi_finali(bool generale) {
    sorgenti_.cancella_treno();
    completa(velocita_, &LettoreTreno::scrivi_velocita);
    completa(aderenza_, &LettoreTreno::scrivi_aderenza);
    if (generale && j_ == 1) reg().avviso(detto(IdCausa::kSenzaStazioni), Luogo{file_});
    static constexpr const char* kVoce[] = {"81", "82", "83"};
    for (std::size_t i = 0; i < 3; ++i) {
      const Stazione& z = st()[static_cast<std::size_t>(kProgressivaTre) + i];
      const bool inizio = !multiplo_cella(z.inizio);
      if (!inizio && multiplo_cella(z.fine)) continue;
      reg().errore(
          inizio ? detto(IdCausa::kProgressivaInizio, {{"S", z.inizio}, {"N", kVoce[i]}})
                 : detto(IdCausa::kProgressivaValore, {{"S", z.inizio},
                                                       {"C", z.fine},
                                                       {z.posizione == 1 ? "DECREASING" : "", ""},
                                                       {"N", kVoce[i]}}),
          inizio ? linea_.inizio_sezione[i] : linea_.valore_sezione[i]);
      break;
    }
  }

  Sorgenti& sorgenti_;
  const EsitoLinea& linea_;
  int32_t j_ = 1;
  Profilo velocita_;
  Profilo aderenza_;
  Luogo luogo_precedente_;
  std::array<Luogo, kVociStazioni> orari_{};  // each station's time field, by entry
  // The last station with a scheduled time.
  struct OrarioLetto {
    int32_t secondi = 0;
    std::string scritto, nome;
    int32_t riga = 0;
  };
  std::optional<OrarioLetto> orario_precedente_;
};

}  // namespace

void leggi_treno(Compilazione& c, Sorgenti& sorgenti, const EsitoLinea& linea) {
  std::string testo = sorgenti.leggi_treno();
  const std::string file = sorgenti.nome_treno();
  auto citato = std::make_shared<const std::string>(std::move(testo));
  c.rallentamenti.clear();
  c.registro.cita(file, citato);
  LettoreTreno(c, sorgenti, file, *citato, linea).leggi();
}

}  // namespace gs

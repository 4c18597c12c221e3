// The train source reader: general values, speed-limit and adhesion profiles, signals,
// slowdowns, code points and stations.
#include <string>

#include "common/numeri.h"
#include "compiler/lettori.h"

namespace gs {
namespace {

constexpr int kTrattini = 2;
constexpr int32_t kDistanzaStazioni = 350;  // m between one station's end and the next's start
constexpr int32_t kStazioneSenzaFermata = 25;  // kinds from here on have no stop cell

enum class Esito { kAvanti, kPassiFinali, kFerma };

// The cursor and last value of one profile (speed limit or adhesion).
struct Profilo {
  int64_t cursore = 0;
  int32_t precedente = 0;
};

class LettoreTreno {
 public:
  LettoreTreno(Compilazione& c, Sorgenti& sorgenti, std::string_view testo, int32_t limite)
      : c_(c), sorgenti_(sorgenti), r_(testo), limite_cartelli_(limite) {}

  void leggi() {
    while (!r_.fine())
      if (contiene_ic(r_.testo(), "[generale]")) break;
    std::string_view campo;
    while (parola_chiave(r_, kTrattini, campo)) {
      reg().luogo.riga = r_.riga();
      const Esito e = record(campo);
      if (e == Esito::kFerma) return;
      if (e == Esito::kPassiFinali) break;
    }
    passi_finali();
  }

 private:
  Stazioni& st() { return c_.stazioni; }
  Registro& reg() { return c_.registro; }
  int64_t ultima() const { return c_.celle.ultimo(); }

  Esito record(std::string_view campo) {
    if (contiene_ic(campo, "massa") && contiene_ic(campo, "frenata"))
      st()[kVoceParametri].inizio = r_.i32("braked-mass percentage");
    if (contiene_ic(campo, "vetture")) st()[kVoceParametri].posizione = r_.i32("number of cars");
    Esito e = Esito::kAvanti;
    if (contiene_ic(campo, "velocit")) e = profilo(velocita_, &LettoreTreno::scrivi_velocita, "speed limit");
    if (e == Esito::kAvanti && contiene_ic(campo, "aderenza"))
      e = profilo(aderenza_, &LettoreTreno::scrivi_aderenza, "adhesion value");
    if (e != Esito::kAvanti) return e;
    if (contiene_ic(campo, "orologio")) {
      st()[kVoceTreno].campo10 = r_.i16("clock hours");
      st()[kVoceTreno].campo11 = r_.i16("clock minutes");
      st()[kVoceTreno].campo12 = r_.i16("clock seconds");
    }
    if (contiene_ic(campo, "sabbia")) st()[kVoceTreno].campo7 = r_.i16("sand");
    if (contiene_ic(campo, "segnale")) e = segnale();
    if (e == Esito::kAvanti && contiene_ic(campo, "rallentamento")) e = rallentamento();
    if (e == Esito::kAvanti && contiene_ic(campo, "abbattimento")) e = abbattimento();
    if (e == Esito::kAvanti && contiene_ic(campo, "stazione")) e = stazione();
    return e;
  }

  // Error 15: on to the end steps.
  bool dentro(int32_t posizione, int64_t margine) {
    if (raggiunge(c_.celle, posizione, margine)) return true;
    reg().registra_in(kOltreGriglia, posizione);
    return false;
  }

  // Stops the reading: the train source is done with and the profiles stay as they are.
  Esito ferma(int32_t errore) {
    sorgenti_.cancella_treno();
    reg().registra(errore);
    return Esito::kFerma;
  }
  Esito ferma_in(int32_t errore, int32_t posizione) {
    sorgenti_.cancella_treno();
    reg().registra_in(errore, posizione);
    return Esito::kFerma;
  }

  void scrivi_velocita(int64_t cella, int32_t kmh) {
    const int64_t quinti = arrotonda(static_cast<double>(kmh) / 5.0);
    if (quinti < 0 || quinti > 255)
      throw ErroreLettura("speed limit " + std::to_string(kmh) + " km/h is outside 0 to 1275");
    c_.celle[cella].velocita = static_cast<uint8_t>(quinti);
  }
  void scrivi_aderenza(int64_t cella, int32_t valore) { c_.celle[cella].aderenza = basso_8(valore); }

  using Scrittura = void (LettoreTreno::*)(int64_t, int32_t);

  // Every cell before the record's cell receives the value of the record before it.
  Esito profilo(Profilo& p, Scrittura scrivi, const char* nome) {
    const int32_t posizione = r_.i32(std::string(nome) + " position");
    const int32_t valore = r_.i32(nome);
    if (!dentro(posizione, 100)) return Esito::kPassiFinali;
    const int64_t cella = cella_di(posizione);
    while (p.cursore < cella && p.cursore < ultima()) (this->*scrivi)(p.cursore++, p.precedente);
    p.precedente = valore;
    return Esito::kAvanti;
  }

  // The tail: the last value up to cell U - 3, at least one cell.
  void completa(Profilo& p, Scrittura scrivi) {
    do {
      (this->*scrivi)(p.cursore++, p.precedente);
    } while (p.cursore < ultima() - 2);
  }

  // After a placer call: any error recorded by now stops the reading, at the record's position.
  Esito dopo_posatore(int32_t posizione, std::size_t prima) {
    if (reg().n_errore <= 0) return Esito::kAvanti;
    sorgenti_.cancella_treno();
    reg().posiziona(posizione, prima);
    return Esito::kFerma;
  }

  Esito segnale() {
    const int32_t posizione = r_.i32("signal position");
    const int32_t sx = r_.i32("sx"), s1 = r_.i32("s1"), s2 = r_.i32("s2"), s3 = r_.i32("s3");
    const int32_t rapp = r_.i32("rapp");
    const int32_t dx = r_.i32("dx"), d1 = r_.i32("d1"), d2 = r_.i32("d2"), d3 = r_.i32("d3");
    int32_t tempo = r_.i32("tempo");
    if (!dentro(posizione, 100)) return Esito::kPassiFinali;
    const std::size_t prima = reg().elenco().size();
    memo_segnale(c_.celle, reg(), posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo);
    return dopo_posatore(posizione, prima);
  }

  Esito rallentamento() {
    const int32_t x = r_.i32("slowdown start x"), v = r_.i32("slowdown speed v");
    const int32_t l = r_.i32("slowdown length l"), f_tt = r_.i32("f_tt");
    const int32_t f_ta = r_.i32("f_ta"), d_v = r_.i32("d_v");
    if (!dentro(x, 100)) return Esito::kPassiFinali;
    const std::size_t prima = reg().elenco().size();
    memo_rallentamento(c_.celle, reg(), x, v, l, f_tt, f_ta, d_v);
    return dopo_posatore(x, prima);
  }

  Esito abbattimento() {
    const int32_t posizione = r_.i32("code point position");
    const int32_t valore = r_.i32("code value");
    if (!dentro(posizione, 100)) return Esito::kPassiFinali;
    Cella& cella = c_.celle[cella_di(posizione)];
    if (!libera(cella)) return ferma_in(kAbbattimentoOccupato, posizione);
    if (valore > 0) {
      cella.tipo = kCodice;
      cella.dato1 = basso_16(valore);
    } else {
      cella.tipo = kAbbattimento;
    }
    return Esito::kAvanti;
  }

  Esito stazione() {
    Stazione& s = st()[j_];
    s.posizione = r_.i32("station position");
    const int32_t p = s.posizione;
    if (!dentro(p, 800)) return Esito::kPassiFinali;
    if (p % 50 != 0) return ferma_in(kStazioneNonMultipla, p);
    s.tipo = r_.u8("station kind");
    const int32_t lunghezza = r_.i32("station length");
    if (lunghezza % 100 != 0) return ferma_in(kLunghezzaStazioneNonMultipla, p);
    s.campo4 = r_.u8("station field 4");
    s.campo5 = r_.u8("station field 5");
    s.campo6 = r_.u8("station field 6");
    s.campo7 = r_.i16("station field 7");
    s.campo8 = r_.i16("station field 8");
    s.campo9 = r_.u8("station field 9");
    s.campo10 = r_.i16("station field 10");
    s.campo11 = r_.i16("station field 11");
    s.campo12 = r_.i16("station field 12");
    s.campo13 = r_.u8("station field 13");
    const int64_t ore = r_.i32("hours"), minuti = r_.i32("minutes"), secondi = r_.i32("seconds");
    s.orario = in_32_bit((ore * 60 + minuti) * 60 + secondi, "scheduled time in seconds");
    s.nome = std::string(testo_record(r_, "station name"));

    if (s.tipo == 5 || s.tipo == 6) {
      s.inizio = in_32_bit(int64_t{p} - lunghezza, "station start");
      s.fine = in_32_bit(int64_t{p} + 150, "station end");
      s.campo6 = 0;
    } else if (s.tipo == 7 || s.tipo == 8) {
      s.inizio = in_32_bit(int64_t{p} - lunghezza, "station start");
      s.fine = in_32_bit(int64_t{p} + lunghezza, "station end");
      s.campo6 = 0;
    } else {
      s.inizio = in_32_bit(int64_t{p} - lunghezza / 2, "station start");
      s.fine = in_32_bit(int64_t{p} + lunghezza / 2 + (s.campo6 != 0 ? 50 : 0), "station end");
    }
    if (lunghezza < 600) s.campo5 = 0;
    if (j_ == 1) {
      s.campo5 = 0;
      s.campo6 = 0;
    }

    const int64_t e = cella_di(s.fine);
    if (s.tipo < kStazioneSenzaFermata && s.tipo != 5 && s.tipo != 6) {
      for (int64_t b = 1; b <= 4; ++b)
        if (e - b - 1 > 1) c_.celle[e - b - 1].preavviso = static_cast<uint8_t>(80 + b);
    }
    if (s.tipo < kStazioneSenzaFermata) {
      if (e - 1 <= 1) return ferma(kStazioneInizioGriglia);
      c_.celle[e - 1].tipo = kStazione;
      c_.celle[e - 1].dato1 = basso_16(j_);
    }
    if (j_ > 1 && int64_t{s.inizio} - kDistanzaStazioni < st()[j_ - 1].fine)
      return ferma_in(kStazioniVicine, p);
    ++j_;
    c_.stazioni_lette = j_ - 1;
    if (j_ >= limite_cartelli_) return ferma(kTroppeStazioni);
    return Esito::kAvanti;
  }

  void passi_finali() {
    sorgenti_.cancella_treno();
    completa(velocita_, &LettoreTreno::scrivi_velocita);
    completa(aderenza_, &LettoreTreno::scrivi_aderenza);
    reg().luogo = {};
    for (const int voce : {kProgressivaTre, kProgressivaDue, kProgressivaUno}) {
      if (st()[voce].inizio % 50 != 0 || st()[voce].fine % 50 != 0) {
        reg().registra(kProgressivaNonMultipla);
        break;
      }
    }
  }

  Compilazione& c_;
  Sorgenti& sorgenti_;
  LettoreCampi r_;
  int32_t limite_cartelli_;
  int32_t j_ = 1;
  Profilo velocita_;
  Profilo aderenza_;
};

}  // namespace

void leggi_treno(Compilazione& c, Sorgenti& sorgenti, int32_t limite_cartelli) {
  const std::string testo = sorgenti.leggi_treno();
  c.registro.luogo = {sorgenti.nome_treno(), 0};
  LettoreTreno(c, sorgenti, testo, limite_cartelli).leggi();
}

}  // namespace gs

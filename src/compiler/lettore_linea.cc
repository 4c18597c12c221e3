// The line source reader: general parameters, chainage sections, the grid's size, the
// plan-view geometry, gradients, mountain spans, speed boards and indication boards.
#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include "common/numeri.h"
#include "compiler/lettori.h"

namespace gs {
namespace {

constexpr int32_t kLunghezzaMassima = 1000000;
constexpr int32_t kMetroMassimo = 1000000;  // the plan view never computes past this metre
constexpr int kTrattiniGenerale = 10;
constexpr int kTrattiniRecord = 2;

// Curvature in radians per metre of the classes 1 to 6.
constexpr std::array<double, 6> kCurvature = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

// What the line reader does after a record: go on, end its reading as at the end of the file,
// or stop.
enum class DopoRecordLinea { kAvanti, kFineLettura, kFerma };

class LettoreLinea : LettoreSorgente {
 public:
  LettoreLinea(Compilazione& c, Sorgenti& sorgenti, std::string file, std::string_view testo)
      : LettoreSorgente(c, std::move(file), testo, "line"), sorgenti_(sorgenti), testo_(testo) {}

  EsitoLinea leggi() {
    try {
      return leggi_tutto();
    } catch (const ErroreLettura& e) {
      rilancia(e);
    }
  }

 private:
  EsitoLinea leggi_tutto() {
    if (!cerca_generale()) {
      ferma(senza_generale(), Luogo{file_});
      return {};
    }
    if (!leggi_generale()) return {};
    ordina_sezioni();
    if (c_.con_pianta()) c_.linea.imposta_origine();
    if (!leggi_record()) return {};
    concludi();
    esito_.leggi_treno = true;
    esito_.limite_cartelli = prossimo_cartello_;
    return esito_;
  }

  // An error of the line part: the line source is done with and the train source is not read.
  bool ferma(Detto d, Luogo dove) {
    sorgenti_.cancella_linea();
    reg().errore(std::move(d), std::move(dove));
    return false;
  }
  DopoRecordLinea ferma_record(Detto d, Luogo dove) {
    ferma(std::move(d), std::move(dove));
    return DopoRecordLinea::kFerma;
  }

  bool cerca_generale() {
    for (;;) {
      if (r_.fine()) return false;
      const std::string_view campo = r_.testo();
      if (r_.fine()) return false;
      if (contiene_ic(campo, "[generale]")) {
        generale_ = qui();
        return true;
      }
    }
  }

  // Why no "[generale]" was found, in the words of the file's content.
  Detto senza_generale() const {
    const char* perche = testo_.empty()                                ? "EMPTY"
                         : testo_.find('\0') != std::string_view::npos ? "NUL"
                         : contiene_ic(testo_, "[generale]")           ? "LAST"
                                                                       : "UNSEEN";
    return detto(IdCausa::kGeneraleMancante, {{perche, ""}});
  }

  // False when a general-section error stopped the line part.
  bool leggi_generale() {
    std::string_view campo;
    while (prossima(kTrattiniGenerale, campo, false)) {
      bool letto = false;
      for (const RecordSorgente& record : record_di(Sezione::kLineaGenerale)) {
        if (!record.riconosce(campo)) continue;
        letto = true;
        if (!generale(record.tipo, campo)) return false;
      }
      if (fine_generale(campo)) {
        // Any bracketed field ends the section, a misspelt head too.
        if (!letto && testata(campo)) sconosciuta(campo, {}, kTestateLinea, {});
        break;
      }
      if (!letto)
        sconosciuta(campo, kParoleGenerale, kTestateLinea, {kAltroveLinea, kAltroveTreno});
    }
    if (!c_.celle.dimensionata())
      throw ErroreLettura(detto(IdCausa::kSenzaLunghezza, {{"N", generale_.riga}}),
                          r_.fine() ? qui() : chiave());
    return true;
  }

  // One record of the general section; false when its error stopped the line part.
  bool generale(TipoRecord tipo, std::string_view campo) {
    switch (tipo) {
      case TipoRecord::kLunghezza:
        return lunghezza();
      case TipoRecord::kProgressivaChilometricaTre:
        sezione(0, tipo);
        return true;
      case TipoRecord::kProgressivaChilometricaDue:
        sezione(1, tipo);
        return true;
      case TipoRecord::kProgressivaChilometricaUno:
        sezione(2, tipo);
        return true;
      case TipoRecord::kSfondoUno:
        valori(tipo);
        st()[kVoceLinea].inizio = campo_i32();
        return true;
      case TipoRecord::kSfondoDue:
        valori(tipo);
        st()[kVoceLinea].posizione = campo_i32();
        return true;
      case TipoRecord::kSfondoTre:
        valori(tipo);
        st()[kVoceLinea].fine = campo_i32();
        return true;
      case TipoRecord::kRipetizione:
        return ripetizione(campo);
      default:
        return true;
    }
  }

  static bool fine_generale(std::string_view campo) {
    if (!contiene(campo, "[") || !contiene(campo, "]")) return false;
    const std::size_t primo = campo.find_first_not_of(' ');
    return primo == std::string_view::npos || campo[primo] != '-';
  }

  bool lunghezza() {
    valori(TipoRecord::kLunghezza);
    const int32_t letta = campo_i32();
    st()[kVoceParametri].fine = letta;
    if (letta > kLunghezzaMassima)
      return ferma(detto(IdCausa::kLineaTroppoLunga, {{"L", letta}}), valore(0));
    const int64_t esteso = int64_t{letta} + kMetriOltreLinea;
    const int64_t ultima = cella_profilo(esteso);
    if (ultima < 1) throw ErroreLettura(detto(IdCausa::kLineaCorta, {{"L", letta}}), valore(0));
    c_.celle.dimensiona(static_cast<int32_t>(ultima));
    if (c_.con_pianta()) c_.linea.dimensiona(static_cast<int32_t>(esteso));
    return true;
  }

  // Chainage section `i`: 0 "tre" (entry 81), 1 "due" (82), 2 "uno" (83).
  void sezione(int i, TipoRecord tipo) {
    valori(tipo);
    Stazione& voce = st()[static_cast<std::size_t>(kProgressivaTre + i)];
    voce.inizio = campo_i32();
    voce.fine = campo_i32();
    voce.posizione = campo_i32();
    letti_inizio_[static_cast<std::size_t>(i)] = valore(0);
    letti_valore_[static_cast<std::size_t>(i)] = valore(1);
  }

  void ordina_sezioni() {
    const std::array<int, 3> da = progressive_ordina(st(), {letti_inizio_, letti_valore_});
    for (std::size_t i = 0; i < 3; ++i) {
      if (da[i] < 0) continue;
      esito_.inizio_sezione[i] = letti_inizio_[static_cast<std::size_t>(da[i])];
      esito_.valore_sezione[i] = letti_valore_[static_cast<std::size_t>(da[i])];
    }
  }

  bool ripetizione(std::string_view campo) {
    valori(TipoRecord::kRipetizione);
    Stazione& voce = st()[kVoceTreno];
    voce.inizio = campo_i32();
    voce.fine = campo_i32();
    if (!multiplo_cella(voce.inizio))
      return ferma(detto(IdCausa::kRipetizioneUno, {{"D", voce.inizio}}), valore(0));
    if (!multiplo_cella(voce.fine))
      return ferma(detto(IdCausa::kRipetizioneDue, {{"D", voce.fine}}), valore(1));
    if (contiene(campo, "4"))
      voce.posizione = 4;
    else if (contiene(campo, "9"))
      voce.posizione = 9;
    else
      return ferma(detto(IdCausa::kRipetizioneCodici, {{"K", citazione(campo)}}), chiave());
    if (voce.fine == 0) voce.posizione = 0;
    return true;
  }

  // The records after the general section; false when an error stopped the line part.
  bool leggi_record() {
    std::string_view campo;
    while (prossima(kTrattiniRecord, campo)) {
      DopoRecordLinea e = DopoRecordLinea::kAvanti;
      bool letto = false;
      for (const RecordSorgente& record : record_di(Sezione::kLinea)) {
        if (e != DopoRecordLinea::kAvanti) break;
        if (!record.riconosce(campo)) continue;
        letto = true;
        e = record_linea(record.tipo, campo);
      }
      if (e == DopoRecordLinea::kFerma) return false;
      if (e == DopoRecordLinea::kFineLettura) break;
      if (!letto)
        sconosciuta(campo, kParoleLinea, kTestateLinea, {kAltroveGenerale, kAltroveTreno});
    }
    return true;
  }

  DopoRecordLinea record_linea(TipoRecord tipo, std::string_view campo) {
    switch (tipo) {
      case TipoRecord::kPendenza:
        return pendenza();
      case TipoRecord::kCurva:
        // Without the plan view a curve is not a record: its values are skipped one by one.
        if (c_.con_pianta()) return curva(campo);
        tace_riga();
        return DopoRecordLinea::kAvanti;
      case TipoRecord::kMontagna:
        return montagna();
      case TipoRecord::kIndicatori:
        return indicatore();
      case TipoRecord::kCartello:
        return cartello();
      default:
        return DopoRecordLinea::kAvanti;
    }
  }

  void scrivi_pendenza(int64_t cella) {
    const int64_t valore = int64_t{pendenza_} + 100;
    if (valore < 0 || valore > 255)
      throw ErroreLettura(
          detto(IdCausa::kPendenzaCella, {{"G", pendenza_}, {"P", inizio_pendenza_}}),
          luogo_pendenza_);
    c_.celle[cella].pendenza = static_cast<uint8_t>(valore);
  }

  DopoRecordLinea pendenza() {
    valori(TipoRecord::kPendenza);
    const int32_t inizio = campo_i32();
    const int32_t valore = campo_i32();
    if (!dentro(inizio, kMargineRecord, "the gradient")) return DopoRecordLinea::kFineLettura;
    const int64_t n = cella_profilo(inizio);
    if (luogo_pendenza_.riga > 0 && n <= cursore_pendenza_)
      pendenza_fuori_ordine(inizio, valore, n);
    if (n > 0) {
      do {
        scrivi_pendenza(cursore_pendenza_++);
      } while (cursore_pendenza_ < n);
    }
    pendenza_ = valore;
    inizio_pendenza_ = inizio;
    luogo_pendenza_ = LettoreSorgente::valore(1);
    return DopoRecordLinea::kAvanti;
  }

  // A gradient whose cell the profile has reached: one more cell of the gradient before it
  // is written (none from cell 0), and its own holds from the cell after.
  void pendenza_fuori_ordine(int32_t inizio, int32_t valore, int64_t n) {
    fuori_ordine(detto(IdCausa::kOrdinePendenza, {{"G", valore},
                                                  {"P", inizio},
                                                  {"H", pendenza_},
                                                  {"Q", inizio_pendenza_},
                                                  {n > 0 ? "ONE" : "NONE", ""},
                                                  {"A", metro_profilo(cursore_pendenza_)},
                                                  {"B", metro_profilo(cursore_pendenza_ + 1)}}));
  }

  // A curve that starts before the metres the curves before it reach: the plan view is
  // computed in order, so it turns only the metres after them, or none.
  void curva_fuori_ordine(int32_t inizio, int32_t lunghezza) {
    const int64_t cursore = c_.linea.cursore();
    if (!curva_letta_ || lunghezza <= 0 || inizio >= cursore - 1) return;
    const int64_t fine = int64_t{inizio} + lunghezza;
    fuori_ordine(detto(IdCausa::kOrdineCurva,
                       {{"S", inizio},
                        {"L", lunghezza},
                        {"ends", fine < cursore ? "ends" : "starts"},
                        {"M", cursore - 1},
                        {"turns", fine < cursore ? "no metre"
                                                 : "only metres " + std::to_string(cursore) +
                                                       " to " + std::to_string(fine)}}));
  }

  DopoRecordLinea curva(std::string_view campo) {
    valori(TipoRecord::kCurva);
    const int32_t inizio = campo_i32();
    const int32_t lunghezza = campo_i32();
    if (!dentro(inizio, kMargineRecord, "the curve")) return DopoRecordLinea::kFineLettura;
    double k = 0.0;
    for (std::size_t classe = 0; classe < kCurvature.size() && k == 0.0; ++classe)
      if (contiene(campo, std::string(1, static_cast<char>('1' + classe)))) k = kCurvature[classe];
    if (k == 0.0)
      return ferma_record(detto(IdCausa::kCurvaSenzaClasse, {{"K", citazione(campo)}}), chiave());
    if (contiene_ic(campo, "s")) k = -k;
    curva_fuori_ordine(inizio, lunghezza);
    curva_letta_ = true;
    const int64_t fine = int64_t{inizio} + lunghezza;
    const struct {
      int64_t fino_a;
      double k;
      std::size_t campo;
    } corse[] = {{inizio, 0.0, 0}, {fine, k, 1}};
    for (const auto& corsa : corse) {
      try {
        c_.linea.prolunga(std::min<int64_t>(corsa.fino_a, kMetroMassimo), corsa.k);
      } catch (const ErroreLettura&) {
        throw ErroreLettura(
            detto(IdCausa::kCurvaOltrePianta,
                  {{"P", inizio}, {"L", lunghezza}, {"M", c_.linea.ultimo_metro()}}),
            LettoreSorgente::valore(corsa.campo));
      }
      // Metre 1000000 is the last the plan view computes: a run that writes it ends the line.
      if (c_.linea.cursore() > kMetroMassimo)
        return ferma_record(detto(IdCausa::kCurvaMetroMassimo, {{"P", inizio}, {"L", lunghezza}}),
                            LettoreSorgente::valore(corsa.campo));
    }
    return DopoRecordLinea::kAvanti;
  }

  DopoRecordLinea montagna() {
    valori(TipoRecord::kMontagna);
    const int32_t inizio = campo_i32();
    const int32_t fine = campo_i32();
    int32_t tipo = campo_i32();
    if (!dentro(inizio, kMargineRecord, "the mountain span")) return DopoRecordLinea::kFineLettura;
    const uint32_t da =
        c_.celle.nuova_origine({chiave(), "the mountain span from " + metri(inizio)});
    const int32_t n = montagne_.conta;
    const Posa p = memo_montagna(c_.celle, montagne_, inizio, fine, tipo, da);
    if (!p.riuscita()) rifiutata(p, inizio);
    if (n > 0 && inizio <= montagne_.inizi[static_cast<std::size_t>(n)])
      montagna_fuori_ordine(inizio, n);
    return DopoRecordLinea::kAvanti;
  }

  // A span that does not start after the one before it.
  void montagna_fuori_ordine(int32_t inizio, int32_t n) {
    const int32_t prima = montagne_.inizi[static_cast<std::size_t>(n)],
                  fine_prima = montagne_.fini[static_cast<std::size_t>(n)];
    fuori_ordine(detto(IdCausa::kOrdineMontagna,
                       {{"S", inizio},
                        {"P", prima},
                        {"E", fine_prima},
                        {int64_t{inizio} - fine_prima <= 150 ? "NEAR" : "ORDER", ""}}));
  }

  DopoRecordLinea indicatore() {
    valori(TipoRecord::kIndicatori);
    const int32_t posizione = campo_i32();
    const int32_t vas = campo_i32(), vbs = campo_i32(), vcs = campo_i32();
    const int32_t strisces = campo_i32();
    const int32_t vad = campo_i32(), vbd = campo_i32(), vcd = campo_i32();
    const int32_t strisced = campo_i32();
    if (!dentro(posizione, kMargineRecord, "the speed board")) return DopoRecordLinea::kFineLettura;
    const uint32_t da =
        c_.celle.nuova_origine({chiave(), "the speed board at " + metri(posizione)});
    const IndicatoreVelocita letto{.vas = vas,
                                   .vbs = vbs,
                                   .vcs = vcs,
                                   .strisces = strisces,
                                   .vad = vad,
                                   .vbd = vbd,
                                   .vcd = vcd,
                                   .strisced = strisced};
    const Posa p = memo_indicatori_v_max(c_.celle, posizione, letto, da);
    if (!p.riuscita()) {
      sorgenti_.cancella_linea();
      rifiutata(p, posizione);
      return DopoRecordLinea::kFerma;
    }
    oltre_linea(posizione, "the speed board");
    return DopoRecordLinea::kAvanti;
  }

  DopoRecordLinea cartello() {
    valori(TipoRecord::kCartello);
    const int32_t posizione = campo_i32();
    const std::string_view testo = campo_testo();
    if (!dentro(posizione, kMargineRecord, "the indication board"))
      return DopoRecordLinea::kFineLettura;
    const std::string chi = "the indication board at " + metri(posizione);
    const int64_t c = cella_punto(posizione);
    if (!c_.celle.contiene(c))
      throw ErroreLettura(detto(IdCausa::kPrimaDellaGriglia, {{"the point", chi}}), valore(0));
    if (!libera(c_.celle[c])) {
      sorgenti_.cancella_linea();
      reg().errore_in(detto(IdCausa::kCartelloOccupato,
                            {{"P", posizione}, {"C", metro_cella(c)}, {"X", c_.celle.descrivi(c)}}),
                      posizione, valore(0), c_.celle.correlati(c));
      return DopoRecordLinea::kFerma;
    }
    // Entry 1 belongs to the first station: at most 79 boards, from entry 80 down to 2.
    if (prossimo_cartello_ < 2)
      throw ErroreLettura(detto(IdCausa::kTroppiCartelli, {{"P", posizione}}), chiave());
    controlla_nome(testo, 1, "text", chi);
    c_.celle[c].tipo = kCartelloIndicatore;
    c_.celle.segna(c, c_.celle.nuova_origine({chiave(), chi}));
    c_.celle[c].dato1 = static_cast<int16_t>(prossimo_cartello_);
    st()[static_cast<std::size_t>(prossimo_cartello_)].nome = std::string(testo);
    --prossimo_cartello_;
    oltre_linea(posizione, "the indication board");
    return DopoRecordLinea::kAvanti;
  }

  void concludi() {
    sorgenti_.cancella_linea();
    const int64_t ultima = c_.celle.ultimo();
    do {
      scrivi_pendenza(cursore_pendenza_++);
    } while (cursore_pendenza_ <= ultima - 3);
    if (c_.con_pianta()) {
      c_.linea.prolunga(int64_t{c_.linea.ultimo_metro()} - 2, 0.0);
    }
  }

  Sorgenti& sorgenti_;
  std::string_view testo_;
  Luogo generale_;  // the field that holds "[generale]"
  EsitoLinea esito_;
  std::array<Luogo, 3> letti_inizio_{};
  std::array<Luogo, 3> letti_valore_{};
  Montagne montagne_;
  bool curva_letta_ = false;
  int32_t prossimo_cartello_ = kPrimoCartello;
  int64_t cursore_pendenza_ = 0;
  int32_t pendenza_ = 0;
  int32_t inizio_pendenza_ = 0;
  Luogo luogo_pendenza_;
};

}  // namespace

EsitoLinea leggi_linea(Compilazione& c, Sorgenti& sorgenti) {
  c.stazioni[kVoceLinea].nome = c.nome_linea;
  c.stazioni[kVoceTreno].nome = c.nome_treno;
  std::optional<std::string> testo = sorgenti.leggi_linea();
  const std::string file = sorgenti.nome_linea();
  if (!testo) {
    c.registro.errore(detto(IdCausa::kLineaMancante, {{"F", file}}), Luogo{file});
    return {};
  }
  auto citato = std::make_shared<const std::string>(std::move(*testo));
  c.registro.cita(file, citato);
  return LettoreLinea(c, sorgenti, file, *citato).leggi();
}

}  // namespace gs

// The line source reader: general parameters, chainage sections, the grid's size, the
// plan-view geometry, gradients, mountain spans, speed boards and indication boards.
#include <algorithm>
#include <array>
#include <string>

#include "common/numeri.h"
#include "compiler/lettori.h"

namespace gs {
namespace {

constexpr int32_t kLunghezzaMassima = 1000000;
constexpr int32_t kOltreLaFine = 7000;     // the grid and the plan view run this far past the end
constexpr int32_t kMetroMassimo = 1000000;  // the plan view never computes past this metre
constexpr int kTrattiniGenerale = 10;
constexpr int kTrattiniRecord = 2;

// Curvature in radians per metre of the classes 1 to 6.
constexpr std::array<double, 6> kCurvature = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

enum class Esito { kAvanti, kFineLettura, kFerma };

class LettoreLinea {
 public:
  LettoreLinea(Compilazione& c, Sorgenti& sorgenti, std::string_view testo)
      : c_(c), sorgenti_(sorgenti), r_(testo) {}

  EsitoLinea leggi() {
    if (!cerca_generale()) {
      ferma(kGeneraleMancante);
      return {};
    }
    if (!leggi_generale()) return {};
    progressive_ordina(c_.stazioni);
    if (c_.j != 0) c_.linea.imposta_origine();
    if (!leggi_record()) return {};
    concludi();
    return {true, prossimo_cartello_};
  }

 private:
  Stazioni& st() { return c_.stazioni; }
  Registro& reg() { return c_.registro; }

  // An error of the line part: the line source is done with and the train source is not read.
  bool ferma(int32_t errore) {
    sorgenti_.cancella_linea();
    reg().registra(errore);
    return false;
  }
  Esito ferma_record(int32_t errore) {
    ferma(errore);
    return Esito::kFerma;
  }

  bool cerca_generale() {
    for (;;) {
      if (r_.fine()) return false;
      const std::string_view campo = r_.testo();
      if (r_.fine()) return false;
      if (contiene_ic(campo, "[generale]")) return true;
    }
  }

  // False when a general-section error stopped the line part.
  bool leggi_generale() {
    for (;;) {
      if (r_.fine()) break;
      std::string_view campo = r_.testo();
      reg().luogo.riga = r_.riga();
      if (r_.fine()) break;
      for (int n = 0; n < kTrattiniGenerale && contiene(campo, "-"); ++n) {
        campo = r_.testo();
        reg().luogo.riga = r_.riga();
      }
      if (contiene_ic(campo, "percorso") && contiene_ic(campo, "lunghezza")) {
        if (!lunghezza()) return false;
      }
      if (contiene(campo, "tre") && contiene(campo, "progressiva")) sezione(st()[kProgressivaTre]);
      if (contiene(campo, "due") && contiene(campo, "progressiva")) sezione(st()[kProgressivaDue]);
      if (contiene(campo, "uno") && contiene(campo, "progressiva")) sezione(st()[kProgressivaUno]);
      if (contiene(campo, "sfondo") && contiene(campo, "uno"))
        st()[kVoceLinea].inizio = r_.i32("background value one");
      if (contiene(campo, "sfondo") && contiene(campo, "due"))
        st()[kVoceLinea].posizione = r_.i32("background value two");
      if (contiene(campo, "sfondo") && contiene(campo, "tre"))
        st()[kVoceLinea].fine = r_.i32("background value three");
      if (contiene(campo, "segnali") && contiene(campo, "ripetizione")) {
        if (!ripetizione(campo)) return false;
      }
      if (fine_generale(campo)) break;
    }
    if (!c_.celle.dimensionata())
      throw ErroreLettura("the line source has no \"lunghezza percorso\" record");
    return true;
  }

  static bool fine_generale(std::string_view campo) {
    if (!contiene(campo, "[") || !contiene(campo, "]")) return false;
    const std::size_t primo = campo.find_first_not_of(' ');
    return primo == std::string_view::npos || campo[primo] != '-';
  }

  bool lunghezza() {
    const int32_t metri = r_.i32("line length");
    st()[kVoceParametri].fine = metri;
    if (metri > kLunghezzaMassima) return ferma(kLunghezzaEccessiva);
    const int64_t esteso = int64_t{metri} + kOltreLaFine;
    const int64_t ultima = cella_di(esteso);
    if (ultima < 1)
      throw ErroreLettura("a line length of " + std::to_string(metri) +
                          " m gives a track grid without cell 1");
    c_.celle.dimensiona(static_cast<int32_t>(ultima));
    if (c_.j != 0) c_.linea.dimensiona(static_cast<int32_t>(esteso));
    return true;
  }

  void sezione(Stazione& voce) {
    voce.inizio = r_.i32("chainage section start");
    voce.fine = r_.i32("chainage value");
    voce.posizione = r_.i32("chainage direction flag");
  }

  bool ripetizione(std::string_view campo) {
    Stazione& voce = st()[kVoceTreno];
    voce.inizio = r_.i32("first repetition distance");
    voce.fine = r_.i32("second repetition distance");
    if (voce.inizio % 50 != 0) return ferma(kRipetizioneUnoNonMultipla);
    if (voce.fine % 50 != 0) return ferma(kRipetizioneDueNonMultipla);
    if (contiene(campo, "4")) voce.posizione = 4;
    else if (contiene(campo, "9")) voce.posizione = 9;
    else return ferma(kRipetizioneSenzaCodici);
    if (voce.fine == 0) voce.posizione = 0;
    return true;
  }

  // The records after the general section; false when an error stopped the line part.
  bool leggi_record() {
    std::string_view campo;
    while (parola_chiave(r_, kTrattiniRecord, campo)) {
      reg().luogo.riga = r_.riga();
      Esito e = Esito::kAvanti;
      if (contiene_ic(campo, "pendenza")) e = pendenza();
      if (e == Esito::kAvanti && c_.j != 0 && contiene_ic(campo, "curva")) e = curva(campo);
      if (e == Esito::kAvanti && contiene_ic(campo, "montagna")) e = montagna();
      if (e == Esito::kAvanti && contiene_ic(campo, "indicatori_v")) e = indicatore();
      if (e == Esito::kAvanti && contiene_ic(campo, "cartello") && contiene_ic(campo, "indicat"))
        e = cartello();
      if (e == Esito::kFerma) return false;
      if (e == Esito::kFineLettura) break;
    }
    return true;
  }

  // Error 15: the reading of the line source ends here as at its normal end.
  bool dentro(int32_t posizione) {
    if (raggiunge(c_.celle, posizione, 100)) return true;
    reg().registra_in(kOltreGriglia, posizione);
    return false;
  }

  void scrivi_pendenza(int64_t cella) {
    const int64_t valore = int64_t{pendenza_} + 100;
    if (valore < 0 || valore > 255)
      throw ErroreLettura("gradient " + std::to_string(pendenza_) + " is outside -100 to 155");
    c_.celle[cella].pendenza = static_cast<uint8_t>(valore);
  }

  Esito pendenza() {
    const int32_t inizio = r_.i32("gradient start");
    const int32_t valore = r_.i32("gradient");
    if (!dentro(inizio)) return Esito::kFineLettura;
    const int64_t n = cella_di(inizio);
    if (n > 0) {
      do {
        scrivi_pendenza(cursore_pendenza_++);
      } while (cursore_pendenza_ < n);
    }
    pendenza_ = valore;
    return Esito::kAvanti;
  }

  Esito curva(std::string_view campo) {
    const int32_t inizio = r_.i32("curve start");
    const int32_t lunghezza = r_.i32("curve length");
    if (!dentro(inizio)) return Esito::kFineLettura;
    double k = 0.0;
    for (std::size_t classe = 0; classe < kCurvature.size() && k == 0.0; ++classe)
      if (contiene(campo, std::string(1, static_cast<char>('1' + classe)))) k = kCurvature[classe];
    if (k == 0.0) return ferma_record(kCurvaNonValida);
    if (contiene_ic(campo, "s")) k = -k;
    const int64_t fine = int64_t{inizio} + lunghezza;
    for (const auto& [fino_a, curvatura] : {std::pair{int64_t{inizio}, 0.0}, std::pair{fine, k}}) {
      // No metre past 1000000 is computed: the record is refused where it would be.
      c_.linea.prolunga(std::min<int64_t>(fino_a, kMetroMassimo), curvatura);
      if (fino_a > kMetroMassimo && fino_a >= c_.linea.cursore()) return ferma_record(kCurvaNonValida);
    }
    return Esito::kAvanti;
  }

  Esito montagna() {
    const int32_t inizio = r_.i32("mountain span start");
    const int32_t fine = r_.i32("mountain span end");
    int32_t tipo = r_.i32("mountain span kind");
    if (!dentro(inizio)) return Esito::kFineLettura;
    memo_montagna(c_.celle, montagne_, inizio, fine, tipo);
    return Esito::kAvanti;
  }

  Esito indicatore() {
    const int32_t posizione = r_.i32("speed board position");
    const int32_t vas = r_.i32("vas"), vbs = r_.i32("vbs"), vcs = r_.i32("vcs");
    const int32_t strisces = r_.i32("strisces");
    const int32_t vad = r_.i32("vad"), vbd = r_.i32("vbd"), vcd = r_.i32("vcd");
    const int32_t strisced = r_.i32("strisced");
    if (!dentro(posizione)) return Esito::kFineLettura;
    const std::size_t prima = reg().elenco().size();
    memo_indicatori_v_max(c_.celle, reg(), posizione, vas, vbs, vcs, strisces, vad, vbd, vcd,
                          strisced);
    if (reg().n_errore != 0) {
      sorgenti_.cancella_linea();
      reg().posiziona(posizione, prima);
      return Esito::kFerma;
    }
    return Esito::kAvanti;
  }

  Esito cartello() {
    const int32_t posizione = r_.i32("indication board position");
    const std::string_view testo = testo_record(r_, "indication board text");
    // Entry 1 belongs to the first station: at most 79 boards, from entry 80 down to 2.
    if (prossimo_cartello_ < 2) throw ErroreLettura("more than 79 indication boards");
    if (!dentro(posizione)) return Esito::kFineLettura;
    Cella& cella = c_.celle[arrotonda(static_cast<double>(posizione) / 50.0 + 1.0)];
    if (!libera(cella)) {
      sorgenti_.cancella_linea();
      reg().registra_in(kCartelloOccupato, posizione);
      return Esito::kFerma;
    }
    cella.tipo = kCartelloIndicatore;
    cella.dato1 = static_cast<int16_t>(prossimo_cartello_);
    st()[prossimo_cartello_].nome = std::string(testo);
    --prossimo_cartello_;
    return Esito::kAvanti;
  }

  void concludi() {
    sorgenti_.cancella_linea();
    const int64_t ultima = c_.celle.ultimo();
    do {
      scrivi_pendenza(cursore_pendenza_++);
    } while (cursore_pendenza_ <= ultima - 3);
    if (c_.j != 0) {
      c_.linea.prolunga(int64_t{c_.linea.ultimo_metro()} - 2, 0.0);
    }
  }

  Compilazione& c_;
  Sorgenti& sorgenti_;
  LettoreCampi r_;
  Montagne montagne_;
  int32_t prossimo_cartello_ = kPrimoCartello;
  int64_t cursore_pendenza_ = 0;
  int32_t pendenza_ = 0;
};

}  // namespace

EsitoLinea leggi_linea(Compilazione& c, Sorgenti& sorgenti) {
  c.stazioni[kVoceLinea].nome = c.nome_linea;
  c.stazioni[kVoceTreno].nome = c.nome_treno;
  const std::optional<std::string> testo = sorgenti.leggi_linea();
  if (!testo) {
    c.registro.luogo = {};
    c.registro.registra(kLineaMancante, "the line source " + sorgenti.nome_linea() + " does not exist");
    return {};
  }
  c.registro.luogo = {sorgenti.nome_linea(), 0};
  return LettoreLinea(c, sorgenti, *testo).leggi();
}

}  // namespace gs

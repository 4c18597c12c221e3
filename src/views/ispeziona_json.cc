// The JSON view of compiled files, for scripts: the same content as the text view, every
// raw field next to its decoded meaning.
#include <charconv>
#include <cmath>
#include <numbers>
#include <string>
#include <type_traits>
#include <vector>

#include "common/nomi_file.h"
#include "format/codici_gara.h"
#include "views/ispeziona.h"

namespace gs {
namespace {

// Valid UTF-8 is kept; any other byte becomes U+FFFD, so that a file name given in another
// encoding still yields a valid document.
std::string utf8_sicuro(std::string_view s) {
  std::string o;
  for (std::size_t i = 0; i < s.size();) {
    const auto car = leggi_utf8(s, i);
    const std::size_t n = car ? car->lunghezza : 1;
    o += car ? s.substr(i, n) : std::string_view("\xEF\xBF\xBD");
    i += n;
  }
  return o;
}

// A small writer: commas and nesting are kept here, so the views only name keys and values.
class Json {
 public:
  void apri_oggetto() { apri('{'); }
  void chiudi_oggetto() { chiudi('}'); }
  void apri_lista() { apri('['); }
  void chiudi_lista() { chiudi(']'); }

  void chiave(std::string_view k) {
    separa();
    testo_utf8(k);
    t_ += ':';
    dopo_chiave_ = true;
  }
  void valore(int64_t v) {
    separa();
    t_ += std::to_string(v);
  }
  void valore(double v) {
    separa();
    if (!std::isfinite(v)) {
      t_ += "null";
      return;
    }
    char b[40];
    const auto r = std::to_chars(b, b + sizeof b, v);
    t_.append(b, r.ptr);
  }
  void valore(bool v) {
    separa();
    t_ += v ? "true" : "false";
  }
  void nullo() {
    separa();
    t_ += "null";
  }
  // Text from the compiled files: Windows-1252.
  void testo_1252(std::string_view s) {
    separa();
    testo_utf8(utf8_da_1252(s));
  }
  void testo(std::string_view s) {
    separa();
    testo_utf8(utf8_sicuro(s));
  }

  template <typename T>
  void campo(std::string_view k, T v) {
    chiave(k);
    if constexpr (std::is_same_v<T, bool>)
      valore(v);
    else if constexpr (std::is_floating_point_v<T>)
      valore(static_cast<double>(v));
    else
      valore(static_cast<int64_t>(v));
  }
  void campo_testo(std::string_view k, std::string_view v) {
    chiave(k);
    testo(v);
  }
  void campo_1252(std::string_view k, std::string_view v) {
    chiave(k);
    testo_1252(v);
  }

  std::string fine() { return std::move(t_) + "\n"; }

 private:
  void apri(char c) {
    separa();
    t_ += c;
    primi_.push_back(true);
  }
  void chiudi(char c) {
    const bool vuoto = primi_.back();
    const bool su_righe = primi_.size() < kRighe;
    primi_.pop_back();
    if (!vuoto && su_righe) a_capo();
    t_ += c;
  }
  void a_capo() {
    t_ += '\n';
    t_.append(2 * primi_.size(), ' ');
  }
  // One element per line down to the lists of entries and cells; each entry or cell on one.
  static constexpr std::size_t kRighe = 5;
  void separa() {
    if (dopo_chiave_) {
      dopo_chiave_ = false;
      return;
    }
    if (primi_.empty()) return;
    if (!primi_.back()) t_ += ',';
    primi_.back() = false;
    if (primi_.size() < kRighe) a_capo();
  }
  void testo_utf8(std::string_view s) {
    t_ += '"';
    for (const char ch : s) {
      const auto b = static_cast<unsigned char>(ch);
      switch (ch) {
        case '"':
          t_ += "\\\"";
          break;
        case '\\':
          t_ += "\\\\";
          break;
        case '\n':
          t_ += "\\n";
          break;
        case '\r':
          t_ += "\\r";
          break;
        case '\t':
          t_ += "\\t";
          break;
        default:
          if (b < 0x20) {
            static constexpr char kEsa[] = "0123456789abcdef";
            t_ += "\\u00";
            t_ += kEsa[b >> 4];
            t_ += kEsa[b & 15];
          } else {
            t_ += ch;
          }
      }
    }
    t_ += '"';
  }

  std::string t_;
  std::vector<bool> primi_;
  bool dopo_chiave_ = false;
};

// Every raw field of a record, by its name in the field list; texts as UTF-8.
template <typename Record, typename Campi>
void campi(Json& j, const Record& r, const Campi& lista) {
  per_ogni_campo(lista, [&](const auto& c) {
    if constexpr (std::is_same_v<typename std::decay_t<decltype(c)>::Tipo, std::string>)
      j.campo_1252(c.nome, r.*c.membro);
    else
      j.campo(c.nome, r.*c.membro);
  });
}

void voce_stazione(Json& j, const Stazione& s, int i) {
  j.testo("station");
  j.campo("station", i);
  j.campo_1252("name", s.nome);
  j.campo("kind", s.tipo);
  j.campo_testo("layout", std::string(regola_campata(s.tipo)));
  j.campo("span_start_m", s.inizio);
  j.campo("span_end_m", s.fine);
  j.campo("position_m", s.posizione);
  j.chiave("time");
  if (s.orario == 0)
    j.nullo();
  else
    j.testo(formatta_orario(s.orario));
  j.chiave("stop_cell");
  if (ha_fermata(s.tipo))
    j.valore(cella_fermata(s.fine));
  else
    j.nullo();
}

// Entries 81 to 86: the chainage sections, the general parameters, the line and the train.
void voce_di_coda(Json& j, const Stazioni& t, const Stazione& s, Ruolo ruolo) {
  switch (ruolo) {
    case Ruolo::kProgressiva:
      j.testo("chainage section");
      j.campo("start_m", s.inizio);
      j.campo("chainage_m", s.fine);
      j.campo_testo("chainage", formatta_progressiva(s.fine));
      j.campo("decreasing", s.posizione == 1);
      j.campo("unused", s.inizio == 0 && s.fine == 0 && s.posizione == 0);
      break;
    case Ruolo::kParametri:
      j.testo("general parameters");
      j.campo("braked_mass_percent", s.inizio);
      j.campo("line_length_m", s.fine);
      j.campo("cars", s.posizione);
      break;
    case Ruolo::kLinea:
      j.testo("line");
      j.campo_1252("line_name", s.nome);
      j.campo("background_one", s.inizio);
      j.campo("background_two", s.posizione);
      j.campo("background_three", s.fine);
      j.campo("marker", s.marcatore());
      j.campo("marker_ok", s.marcatore() == kMarcatoreTabella);
      j.campo("race_code", s.orario);
      j.campo("race_code_of_names", codice_gara_st(t));
      break;
    default:
      j.testo("train");
      j.campo_1252("train_name", s.nome);
      j.campo("repetition_one_m", s.inizio);
      j.campo("repetition_two_m", s.fine);
      j.campo("codes", s.posizione);
      j.campo("sand", s.sabbia());
      j.campo_testo("clock", formatta_orario(orologio_treno(s)));
      break;
  }
}

void tabella(Json& j, const Stazioni& t) {
  const auto ruoli = ruoli_voci(t);
  j.chiave("entries");
  j.apri_lista();
  for (int i = 0; i < kVociStazioni; ++i) {
    const Stazione& s = t[static_cast<std::size_t>(i)];
    j.apri_oggetto();
    j.campo("entry", i);
    j.chiave("role");
    const Ruolo ruolo = ruoli[static_cast<std::size_t>(i)];
    if (ruolo == Ruolo::kVuota) {
      j.testo(voce_vuota(s) ? "empty" : "unexpected");
    } else if (ruolo == Ruolo::kStazione) {
      voce_stazione(j, s, i);
    } else if (ruolo == Ruolo::kCartello) {
      j.testo("indication board");
      j.campo("board", kPrimoCartello + 1 - i);
      j.campo_1252("text", s.nome);
    } else {
      voce_di_coda(j, t, s, ruolo);
    }
    j.chiave("fields");
    j.apri_oggetto();
    campi(j, s, kCampiStazione);
    j.chiudi_oggetto();
    j.chiudi_oggetto();
  }
  j.chiudi_lista();
}

void nome_voce(Json& j, const std::optional<Stazioni>& t, int32_t voce) {
  j.chiave("name");
  if (t && voce >= 0 && voce < kVociStazioni)
    j.testo_1252((*t)[static_cast<std::size_t>(voce)].nome);
  else
    j.nullo();
}

void punto(Json& j, const Cella& c, const std::optional<Stazioni>& t) {
  switch (c.tipo) {
    case kSegnale: {
      const Segnale s = decodifica_segnale(c);
      j.chiave("signal");
      j.apri_oggetto();
      j.campo("sx", s.sx);
      j.campo("s1", s.s1);
      j.campo("s2", s.s2);
      j.campo("s3", s.s3);
      j.campo("dx", s.dx);
      j.campo("d1", s.d1);
      j.campo("d2", s.d2);
      j.campo("d3", s.d3);
      j.campo("rapp", s.rapp);
      j.campo("time_value", c.tempo);
      j.chiudi_oggetto();
      break;
    }
    case kInizioRallentamento:
    case kFineRallentamento:
    case kAvvisoRallentamento:
      j.chiave("slowdown");
      j.apri_oggetto();
      j.campo("speed_kmh", c.dato1);
      j.campo("d_v", c.dato2);
      if (c.tipo != kAvvisoRallentamento) j.campo("f_tt", c.dato3);
      j.chiudi_oggetto();
      break;
    case kPreavvisoRallentamento:
      j.campo("cells_from_warning", c.dato1);
      break;
    case kIndicatoreVelocita: {
      const IndicatoreVelocita v = decodifica_indicatore(c);
      j.chiave("speed_board");
      j.apri_oggetto();
      j.campo("vas_kmh", v.vas);
      j.campo("vbs_kmh", v.vbs);
      j.campo("vcs_kmh", v.vcs);
      j.campo("strisces", v.strisces);
      j.campo("vad_kmh", v.vad);
      j.campo("vbd_kmh", v.vbd);
      j.campo("vcd_kmh", v.vcd);
      j.campo("strisced", v.strisced);
      j.chiudi_oggetto();
      break;
    }
    case kStazione:
    case kCartelloIndicatore:
      j.campo("entry", c.dato1);
      nome_voce(j, t, c.dato1);
      break;
    case kCodice:
      j.campo("code", c.dato1);
      break;
    default:
      break;
  }
}

void griglia(Json& j, const FileIspezionato& f, const std::vector<Cella>& celle, bool tutto) {
  j.campo("cells_total", celle.size());
  if (celle.size() > 1) {
    j.campo("marker", celle[1].dato1);
    j.campo("marker_ok", celle[1].dato1 == kMarcatoreGriglia);
    j.campo("race_code", celle[1].dato2);
  }
  j.chiave("race_code_of_names");
  if (f.tabella)
    j.valore(int64_t{codice_gara_og(*f.tabella)});
  else
    j.nullo();
  j.chiave("cells");
  j.apri_lista();
  for (std::size_t k = 0; k < celle.size(); ++k) {
    const Cella& c = celle[k];
    if (!tutto && c.tipo == kLibera && k != 1) continue;
    j.apri_oggetto();
    j.campo("cell", k);
    j.campo("position_m", metro_cella(static_cast<int64_t>(k)));
    j.campo_testo("kind", nome_tipo_cella(c.tipo));
    punto(j, c, f.tabella);
    j.campo("gradient_per_mille", int{c.pendenza} - 100);
    j.campo("speed_limit_kmh", int{c.velocita} * 5);
    j.campo("adhesion", c.aderenza);
    j.campo("mountain", c.montagna);
    j.campo("approach", c.preavviso);
    j.chiave("fields");
    j.apri_oggetto();
    campi(j, c, kCampiCella);
    j.chiudi_oggetto();
    j.chiudi_oggetto();
  }
  j.chiudi_lista();
}

void geometria(Json& j, const Geometria& g, bool tutto) {
  const RiassuntoGeometria r = riassumi_geometria(g);
  j.campo("metres", r.metri);
  j.campo("positioned", r.posizionati);
  if (r.posizionati > 0) {
    j.campo("first_positioned", r.primo);
    j.campo("last_positioned", r.ultimo);
    j.campo("column0_min", r.min0);
    j.campo("column0_max", r.max0);
    j.campo("column1_min", r.min1);
    j.campo("column1_max", r.max1);
    j.campo("turning_rad", r.svolta_totale);
    j.campo("turning_deg", r.svolta_totale * 180 / std::numbers::pi);
    j.campo("net_turning_rad", r.svolta_netta);
    j.campo("net_turning_deg", r.svolta_netta * 180 / std::numbers::pi);
    j.campo("plan_length_m", r.lunghezza_pianta);
    j.campo("last_step_m", r.ultimo_passo);
  }
  if (!tutto) return;
  // One [column 0, column 1] pair per metre; an empty value is null.
  j.chiave("values");
  j.apri_lista();
  for (std::size_t m = 0; m < r.metri; ++m) {
    j.apri_lista();
    for (const ValoreGeometria* v : {&g.colonna0[m], &g.colonna1[m]}) {
      if (v->tipo == kVuoto)
        j.nullo();
      else
        j.valore(v->valore);
    }
    j.chiudi_lista();
  }
  j.chiudi_lista();
}

}  // namespace

std::string ispezione_json(const std::vector<FileIspezionato>& file, bool tutto) {
  Json j;
  j.apri_oggetto();
  j.chiave("files");
  j.apri_lista();
  for (const FileIspezionato& f : file) {
    j.apri_oggetto();
    j.campo_testo("file", f.nome);
    j.campo("bytes", f.byte);
    j.chiave("type");
    if (const auto* t = std::get_if<Stazioni>(&f.contenuto)) {
      j.testo("table");
      tabella(j, *t);
    } else if (const auto* c = std::get_if<std::vector<Cella>>(&f.contenuto)) {
      j.testo("grid");
      griglia(j, f, *c, tutto);
    } else {
      j.testo("geometry");
      geometria(j, std::get<Geometria>(f.contenuto), tutto);
    }
    j.chiudi_oggetto();
  }
  j.chiudi_lista();
  j.chiudi_oggetto();
  return j.fine();
}

}  // namespace gs

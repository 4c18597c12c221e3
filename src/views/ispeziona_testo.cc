// The plain-text view of compiled files: one line per table entry, per grid cell that holds a
// point, and a summary of the geometry.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <string>
#include <type_traits>

#include "common/nomi_file.h"
#include "format/codici_gara.h"
#include "views/ispeziona.h"

namespace gs {
namespace {

// A Windows-1252 text quoted as UTF-8; control bytes are shown as escapes so that a garbage
// name cannot drive the terminal.
std::string citato(std::string_view testo) {
  std::string s = "\"";
  for (const char ch : utf8_da_1252(testo)) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x20 || b == 0x7F) {
      char e[8];
      std::snprintf(e, sizeof e, "\\x%02X", b);
      s += e;
    } else if (ch == '"' || ch == '\\') {
      s += '\\';
      s += ch;
    } else {
      s += ch;
    }
  }
  return s + "\"";
}

std::string n(int64_t v) { return std::to_string(v); }

std::string con_segno(int64_t v) { return (v > 0 ? "+" : "") + std::to_string(v); }

std::string reale(double v, int cifre = 3) {
  char b[64];
  std::snprintf(b, sizeof b, "%.*f", cifre, v);
  return b;
}

// Every raw field of an entry by its name in the field list; the name as its length.
std::string campi(const Stazione& s) {
  std::string t;
  per_ogni_campo(kCampiStazione, [&](const auto& c) {
    t += t.empty() ? "    " : ", ";
    t += c.nome;
    if constexpr (std::is_same_v<typename std::decay_t<decltype(c)>::Tipo, std::string>)
      t += " " + n(static_cast<int64_t>((s.*c.membro).size())) + " bytes";
    else
      t += " " + n(s.*c.membro);
  });
  return t + "\n";
}

std::string orario_stazione(int32_t orario) {
  return orario == 0 ? "no time" : "time " + formatta_orario(orario);
}

std::string voce_stazione(const Stazione& s, int j) {
  std::string t = "station " + n(j) + " " + citato(s.nome) + ", kind " + n(s.tipo) + " (" +
                  std::string(regola_campata(s.tipo)) + "), span " + n(s.inizio) + " to " +
                  n(s.fine) + " m, position " + n(s.posizione) + " m, " + orario_stazione(s.orario);
  if (ha_fermata(s.tipo)) t += ", stop cell " + n(cella_fermata(s.fine));
  return t;
}

std::string voce_progressiva(const Stazione& s, int i) {
  static constexpr const char* kQuale[] = {"largest", "middle", "smallest"};
  std::string t =
      "chainage section with the " + std::string(kQuale[i - kProgressivaTre]) + " start";
  if (s.inizio == 0 && s.fine == 0 && s.posizione == 0) return t + ": unused (all zero)";
  return t + ": from " + n(s.inizio) + " m on the line, chainage " + n(s.fine) + " m (" +
         formatta_progressiva(s.fine) + ") there, " +
         (s.posizione == 1 ? "decreasing" : "increasing") + " along the line" +
         (s.posizione == 0 || s.posizione == 1
              ? ""
              : " (flag " + n(s.posizione) + ", read as increasing)");
}

std::string voce_linea(const Stazioni& t) {
  const Stazione& s = t[kVoceLinea];
  const int32_t atteso = codice_gara_st(t);
  return "line " + citato(s.nome) + ": backgrounds one " + n(s.inizio) + ", two " + n(s.posizione) +
         ", three " + n(s.fine) + "; marker " + n(s.marcatore()) + " in campo7 " +
         (s.marcatore() == kMarcatoreTabella ? "(as expected)"
                                             : "(should be " + n(kMarcatoreTabella) + ")") +
         "; race code " + n(s.orario) + " in orario " +
         (s.orario == atteso ? "(the position-weighted code of the train and line names)"
                             : "(the train and line names give " + n(atteso) + ")");
}

std::string voce_treno(const Stazione& s) {
  return "train " + citato(s.nome) + ": signal repetition " + n(s.inizio) + " m and " + n(s.fine) +
         " m, " + n(s.posizione) + " codes; sand " + n(s.sabbia()) + "; clock " +
         formatta_orario(orologio_treno(s));
}

// What a non-empty entry means, by its role.
std::string senso_voce(const Stazioni& t, int i, Ruolo r) {
  const Stazione& s = t[static_cast<std::size_t>(i)];
  switch (r) {
    case Ruolo::kVuota:
      return "neither a station nor a board entry, yet not empty: " + citato(s.nome);
    case Ruolo::kStazione:
      return voce_stazione(s, i);
    case Ruolo::kCartello:
      return "indication board " + n(kPrimoCartello + 1 - i) + " " + citato(s.nome);
    case Ruolo::kProgressiva:
      return voce_progressiva(s, i);
    case Ruolo::kParametri:
      return "general parameters: braked mass " + n(s.inizio) + " %, line length " + n(s.fine) +
             " m, " + n(s.posizione) + " cars";
    case Ruolo::kLinea:
      return voce_linea(t);
    case Ruolo::kTreno:
      return voce_treno(s);
  }
  return {};
}

std::string vista_tabella(const FileIspezionato& f, const Stazioni& t, bool tutto) {
  const auto ruoli = ruoli_voci(t);
  const auto ruolo = [&](int i) { return ruoli[static_cast<std::size_t>(i)]; };
  const auto vuota = [&](int i) {
    return ruolo(i) == Ruolo::kVuota && voce_vuota(t[static_cast<std::size_t>(i)]);
  };
  int stazioni = 0, cartelli = 0, primo_cartello = 0;
  for (int i = 0; i < kVociStazioni; ++i) {
    stazioni += ruolo(i) == Ruolo::kStazione;
    if (ruolo(i) == Ruolo::kCartello && cartelli++ == 0) primo_cartello = i;
  }
  std::string o = f.nome + ": scenario table, " + n(kVociStazioni) + " entries, " +
                  n(static_cast<int64_t>(f.byte)) + " bytes\n";
  o += n(stazioni) + " stations" + (stazioni > 0 ? " in entries 1 to " + n(stazioni) : "") + ", " +
       n(cartelli) + " indication boards" +
       (cartelli > 0 ? " in entries " + n(primo_cartello) + " to " + n(kPrimoCartello) : "") + "\n";
  for (int i = 0; i < kVociStazioni; ++i) {
    if (vuota(i)) {
      // A run of empty entries is one line unless every entry is asked for.
      int fine = i;
      while (!tutto && fine + 1 < kVociStazioni && vuota(fine + 1)) ++fine;
      o += (fine == i ? "entry " + n(i) : "entries " + n(i) + " to " + n(fine)) + ": empty\n";
      i = fine;
      continue;
    }
    const Stazione& s = t[static_cast<std::size_t>(i)];
    o += "entry " + n(i) + ": " + senso_voce(t, i, ruolo(i)) + "\n";
    // A board carries only its text; its other fields are shown when something is there.
    Stazione senza_nome = s;
    senza_nome.nome.clear();
    if (ruolo(i) != Ruolo::kCartello || !voce_vuota(senza_nome)) o += campi(s);
  }
  return o;
}

std::string nome_voce(const std::optional<Stazioni>& t, int32_t voce) {
  if (!t || voce < 0 || voce >= kVociStazioni) return "";
  return " " + citato((*t)[static_cast<std::size_t>(voce)].nome);
}

std::string punto(const Cella& c, const std::optional<Stazioni>& t) {
  const std::string nome = nome_tipo_cella(c.tipo);
  const auto d_v = [&] { return c.dato2 != 0 ? ", d_v " + n(c.dato2) : std::string(); };
  switch (c.tipo) {
    case kSegnale: {
      const Segnale s = decodifica_segnale(c);
      std::string x = nome + ": left (sx " + n(s.sx) + ") aspects " + n(s.s1) + "/" + n(s.s2) +
                      "/" + n(s.s3) + ", right (dx " + n(s.dx) + ") aspects " + n(s.d1) + "/" +
                      n(s.d2) + "/" + n(s.d3) + ", rapp " + n(s.rapp);
      if (c.tempo != 0) x += ", time value " + n(c.tempo);
      return x;
    }
    case kInizioRallentamento:
    case kFineRallentamento:
      return nome + ": " + n(c.dato1) + " km/h" + d_v() + ", f_tt " + n(c.dato3);
    case kAvvisoRallentamento:
      return nome + " (" + n(kMetriAvviso) + " m before its start): " + n(c.dato1) + " km/h" +
             d_v();
    case kPreavvisoRallentamento:
      return nome + ", " + n(c.dato1) + " of 4 counted away from it" +
             (c.dato2 != 0 ? " (d_v set)" : "");
    case kIndicatoreVelocita: {
      const IndicatoreVelocita v = decodifica_indicatore(c);
      std::string x = nome + ": " + n(v.vas) + "/" + n(v.vbs) + "/" + n(v.vcs) + " km/h, stripes " +
                      n(v.strisces);
      if (v.vad != 0 || v.vbd != 0 || v.vcd != 0 || v.strisced != 0) {
        x += "; second group " + n(v.vad) + "/" + n(v.vbd) + "/" + n(v.vcd) + " km/h, stripes " +
             n(v.strisced);
      }
      return x;
    }
    case kStazione:
      return nome + ": station entry " + n(c.dato1) + nome_voce(t, c.dato1);
    case kCodice:
      return nome + ": code " + n(c.dato1);
    case kAbbattimento:
      return nome + " (the source gave one not above 0)";
    case kCartelloIndicatore:
      return nome + ": entry " + n(c.dato1) + nome_voce(t, c.dato1);
    case kLibera:
    case kMarcaMontagna:
      return nome;
    default:
      return nome + ": dato1 " + n(c.dato1) + ", dato2 " + n(c.dato2) + ", dato3 " + n(c.dato3) +
             ", dato4 " + n(c.dato4);
  }
}

std::string passo(const Cella& c) {
  std::string x = "gradient " + con_segno(int{c.pendenza} - 100) + " per mille, limit " +
                  n(int{c.velocita} * 5) + " km/h, adhesion " + n(c.aderenza);
  if (c.montagna != 0) x += ", mountain side " + n(c.montagna);
  if (c.preavviso != 0) x += ", approach marker " + n(c.preavviso);
  return x;
}

std::string vista_griglia(const FileIspezionato& f, const std::vector<Cella>& celle, bool tutto) {
  const int64_t ultimo = static_cast<int64_t>(celle.size()) - 1;
  std::string o = f.nome + ": track grid, " + n(ultimo + 1) + " cells (0 to " + n(ultimo) + "), " +
                  n(static_cast<int64_t>(f.byte)) + " bytes\n";
  std::map<int, int> conta;
  for (const Cella& c : celle) {
    if (c.tipo != kLibera) ++conta[c.tipo];
  }
  std::string elenco;
  for (const auto& [tipo, quante] : conta) {
    elenco += (elenco.empty() ? "" : ", ") + nome_tipo_cella(static_cast<uint8_t>(tipo)) + " " +
              n(quante);
  }
  o += "points: " + (elenco.empty() ? std::string("none") : elenco) + "\n";
  o += "a point in cell k stands at 50 x (k - 1) m; the gradient, limit and adhesion of cell k "
       "hold from 50 x k m\n";
  if (celle.size() > 1) {
    const Cella& c = celle[1];
    o += "cell 1: marker " + n(c.dato1) + " in dato1 " +
         (c.dato1 == kMarcatoreGriglia ? "(as expected)"
                                       : "(should be " + n(kMarcatoreGriglia) + ")") +
         "; plain race code " + n(c.dato2) + " in dato2";
    if (f.tabella) {
      const int16_t atteso = codice_gara_og(*f.tabella);
      o += c.dato2 == atteso ? " (the code of the train and line names in the table)"
                             : " (the names in the table give " + n(atteso) + ")";
    }
    o += "\n";
  } else {
    o += "no cell 1: the marker and the race code are missing\n";
  }
  for (std::size_t k = 0; k < celle.size(); ++k) {
    const Cella& c = celle[k];
    if (!tutto && c.tipo == kLibera && k != 1) continue;
    char testa[64];
    std::snprintf(testa, sizeof testa, "cell %5zu at %7" PRId64 " m: ", k,
                  metro_cella(static_cast<int64_t>(k)));
    o += testa + punto(c, f.tabella) + " | " + passo(c) + "\n";
  }
  return o;
}

std::string vista_geometria(const FileIspezionato& f, const Geometria& g, bool tutto) {
  const RiassuntoGeometria r = riassumi_geometria(g);
  std::string o = f.nome + ": line geometry, " + n(static_cast<int64_t>(r.metri)) +
                  " metres (0 to " + n(static_cast<int64_t>(r.metri) - 1) + "), " +
                  n(static_cast<int64_t>(f.byte)) + " bytes\n";
  if (r.posizionati == 0) return o + "no metre has a plan position\n";
  o += "metres with a plan position: " + n(static_cast<int64_t>(r.posizionati)) + " (" +
       n(static_cast<int64_t>(r.primo)) + " to " + n(static_cast<int64_t>(r.ultimo)) + "), " +
       n(static_cast<int64_t>(r.metri - r.posizionati)) + " empty\n";
  o += "column 0 from " + reale(r.min0) + " to " + reale(r.max0) + " m, column 1 from " +
       reale(r.min1) + " to " + reale(r.max1) + " m\n";
  o += "total turning " + reale(r.svolta_totale, 4) + " rad (" +
       reale(r.svolta_totale * 180 / std::numbers::pi, 2) + " degrees); net " +
       reale(r.svolta_netta, 4) + " rad (" + reale(r.svolta_netta * 180 / std::numbers::pi, 2) +
       " degrees, right-hand positive)\n";
  o += "plan length " + reale(r.lunghezza_pianta, 1) + " m; the last step is " +
       reale(r.ultimo_passo, 4) + " m long\n";
  if (tutto) {
    const auto valore = [](const ValoreGeometria& v) {
      if (v.tipo == kVuoto) return std::string("empty");
      if (v.tipo == kIntero) return n(static_cast<int64_t>(v.valore)) + " (integer)";
      char b[64];
      std::snprintf(b, sizeof b, "%.6f", v.valore);
      return std::string(b);
    };
    for (std::size_t m = 0; m < r.metri; ++m) {
      o += "metre " + n(static_cast<int64_t>(m)) + ": " + valore(g.colonna0[m]) + ", " +
           valore(g.colonna1[m]) + "\n";
    }
  }
  return o;
}

}  // namespace

std::string ispezione_testo(const std::vector<FileIspezionato>& file, bool tutto) {
  std::string o;
  for (const FileIspezionato& f : file) {
    if (!o.empty()) o += "\n";
    if (const auto* t = std::get_if<Stazioni>(&f.contenuto))
      o += vista_tabella(f, *t, tutto);
    else if (const auto* c = std::get_if<std::vector<Cella>>(&f.contenuto))
      o += vista_griglia(f, *c, tutto);
    else
      o += vista_geometria(f, std::get<Geometria>(f.contenuto), tutto);
  }
  return o;
}

}  // namespace gs

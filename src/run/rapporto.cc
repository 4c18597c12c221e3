#include "run/rapporto.h"

#include <unistd.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>

#include "common/nomi_file.h"

namespace gs {
namespace {

constexpr std::size_t kFinestra = 100;  // bytes of a long source line shown around the caret

const char* parola(const Diagnostica& d, bool werror) {
  switch (d.gravita) {
    case Gravita::kErrore:
      return "error";
    case Gravita::kAvviso:
      return werror ? "error" : "warning";
    case Gravita::kNota:
      return "note";
  }
  return "error";
}

// A note that shows a related record (no error recorded with it) has no bracket: only the
// errors and the notes that say where reading stopped carry the run's state.
std::string parentesi(const Diagnostica& d, bool werror) {
  if (d.gravita == Gravita::kAvviso)
    return werror ? "[-Werror=" + d.avviso + "]" : "[" + d.avviso + "]";
  if (d.gravita == Gravita::kNota && d.n_errore == 0) return "";
  std::string s = "[" + codice_errore(d.n_errore);
  if (d.pos_errore) s += " at " + std::to_string(*d.pos_errore) + " m";
  return s + "]";
}

std::string prefisso(const Luogo& l) {
  const std::string d = dove(l);
  return d.empty() ? "genera_scenario" : d;
}

// The source line under a diagnostic and the caret under its column, in the gutter form
// "   10 | text" / "      |    ^". Control bytes show as blanks, tabs stay tabs so that the
// caret lines up.
void eco(std::ostream& o, const Luogo& l, std::string_view riga, const OpzioniRapporto& op) {
  std::size_t colonna = l.colonna > 0 ? static_cast<std::size_t>(l.colonna - 1) : 0;
  std::string_view mostrata = riga;
  std::string prima, dopo;
  if (riga.size() > kFinestra) {
    const std::size_t da =
        colonna > kFinestra / 2 ? std::min(colonna - kFinestra / 2, riga.size() - kFinestra) : 0;
    mostrata = riga.substr(da, kFinestra);
    colonna -= std::min(colonna, da);
    if (da > 0) prima = "...";
    if (da + kFinestra < riga.size()) dopo = "...";
  }
  std::string testo, sotto;
  for (std::size_t i = 0; i < mostrata.size(); ++i) {
    const auto b = static_cast<unsigned char>(mostrata[i]);
    testo += b == '\t' ? '\t' : (b < 0x20 || b == 0x7F) ? ' ' : static_cast<char>(b);
    if (i < colonna) sotto += b == '\t' ? '\t' : ' ';
  }
  const std::string numero = std::to_string(l.riga);
  const std::string margine(std::max<std::size_t>(numero.size(), 4), ' ');
  o << std::string(margine.size() - numero.size(), ' ') << numero << " | " << prima
    << utf8_da_1252(testo) << dopo << "\n";
  o << margine << " | " << std::string(prima.size(), ' ') << sotto
    << (op.colore ? "\033[1;32m^\033[0m" : "^") << "\n";
}

void stampa(std::ostream& o, const Luogo& l, const char* gravita, const std::string& messaggio,
            const std::string& tra_parentesi, std::string_view riga, const OpzioniRapporto& op) {
  const char* colore = gravita[0] == 'e'   ? "\033[1;31m"
                       : gravita[0] == 'w' ? "\033[1;35m"
                                           : "\033[1;36m";
  if (op.colore) {
    o << "\033[1m" << prefisso(l) << ":\033[0m " << colore << gravita << ":\033[0m \033[1m"
      << messaggio << "\033[0m";
  } else {
    o << prefisso(l) << ": " << gravita << ": " << messaggio;
  }
  if (!tra_parentesi.empty()) o << " " << tra_parentesi;
  o << "\n";
  if (op.caret && l.riga > 0 && !riga.empty()) eco(o, l, riga, op);
}

// 379964 as "379 964".
std::string con_gruppi(uint64_t n) {
  const std::string cifre = std::to_string(n);
  std::string s;
  for (std::size_t i = 0; i < cifre.size(); ++i) {
    if (i > 0 && (cifre.size() - i) % 3 == 0) s += ' ';
    s += cifre[i];
  }
  return s;
}

nlohmann::json luogo_json(const Luogo& l) {
  nlohmann::json j;
  j["file"] = l.file.empty() ? nlohmann::json() : nlohmann::json(l.file);
  j["line"] = l.riga > 0 ? nlohmann::json(l.riga) : nlohmann::json();
  j["column"] = l.colonna > 0 ? nlohmann::json(l.colonna) : nlohmann::json();
  return j;
}

}  // namespace

bool colore_per(int fd) {
  const char* no = std::getenv("NO_COLOR");
  if (no != nullptr && no[0] != '\0') return false;
  return isatty(fd) != 0;
}

std::string riga_diagnostica(const Diagnostica& d, bool werror) {
  const std::string p = parentesi(d, werror);
  return prefisso(d.luogo) + ": " + parola(d, werror) + ": " + d.messaggio +
         (p.empty() ? "" : " " + p);
}

void riporta(const Registro& registro, const OpzioniRapporto& op, std::ostream& uscita) {
  // Gathered in blocks: standard error is unbuffered, and a write for every piece of every
  // diagnostic costs more than the rest of a report of thousands.
  constexpr std::size_t kBlocco = 1 << 16;
  std::ostringstream o;
  const auto svuota = [&](bool sempre) {
    if (!sempre && o.tellp() < static_cast<std::streamoff>(kBlocco)) return;
    uscita << o.str();
    o.str({});
  };
  for (const Diagnostica& d : registro.elenco()) {
    stampa(o, d.luogo, parola(d, op.werror), d.messaggio, parentesi(d, op.werror),
           registro.riga_di(d.luogo), op);
    for (const Correlato& c : d.correlati)
      stampa(o, c.luogo, "note", c.messaggio, "", registro.riga_di(c.luogo), op);
    svuota(false);
  }
  if (op.werror && registro.ha_avvisi())
    stampa(o, Luogo{}, "note", detto(IdCausa::kAvvisiComeErrori).testo, "", {}, op);
  svuota(true);
  uscita.flush();
}

std::string riga_scritto(const FileScritto& f) {
  return "wrote " + f.percorso.string() + " (" + con_gruppi(f.byte) + " bytes)";
}

std::string rapporto_json(const Registro& registro, const std::string& nome_linea,
                          const std::string& nome_treno, const std::vector<FileScritto>& scritti,
                          bool werror, int esito) {
  using nlohmann::json;
  json diagnostiche = json::array();
  for (const Diagnostica& d : registro.elenco()) {
    json j = luogo_json(d.luogo);
    j["severity"] = parola(d, werror);
    j["error"] = d.gravita == Gravita::kAvviso ? json() : json(d.n_errore);
    j["warning"] = d.gravita == Gravita::kAvviso ? json(d.avviso) : json();
    j["cause"] = d.causa != nullptr ? json(d.causa->nome) : json();
    j["title"] = d.causa != nullptr ? json(voce_di(d.causa->id).titolo) : json();
    j["position_m"] = d.gravita != Gravita::kAvviso && d.pos_errore ? json(*d.pos_errore) : json();
    j["message"] = d.messaggio;
    j["suggestion"] = d.suggerimento.empty() ? json() : json(d.suggerimento);
    json correlati = json::array();
    for (const Correlato& c : d.correlati) {
      json r = luogo_json(c.luogo);
      r["message"] = c.messaggio;
      correlati.push_back(std::move(r));
    }
    j["related"] = std::move(correlati);
    diagnostiche.push_back(std::move(j));
  }
  json file = json::array();
  for (const FileScritto& f : scritti)
    file.push_back({{"path", f.percorso.string()}, {"bytes", f.byte}});
  json tutto;
  tutto["line_name"] = utf8_da_1252(nome_linea);
  tutto["train_name"] = utf8_da_1252(nome_treno);
  tutto["n_errore"] = registro.n_errore;
  tutto["pos_errore"] = registro.pos_errore;
  tutto["warnings_as_errors"] = werror;
  tutto["exit_status"] = esito;
  tutto["diagnostics"] = std::move(diagnostiche);
  tutto["files_written"] = std::move(file);
  return tutto.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace gs

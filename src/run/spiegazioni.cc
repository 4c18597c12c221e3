// `explain` and the two forms of an entry: for the terminal and for the authors' guide.
#include "run/spiegazioni.h"

#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include "common/errori.h"
#include "common/nomi_file.h"
#include "run/comandi.h"
#include "run/riga_comando.h"

namespace gs {
namespace {

// "error 16", "warning unknown-record", and a tool's message by its severity and name.
std::string nome(const Spiegazione& v) {
  if (v.numerato()) return "error " + std::to_string(v.numero);
  const char* gravita = v.gravita == Gravita::kErrore   ? "error "
                        : v.gravita == Gravita::kAvviso ? "warning "
                                                        : "note ";
  return gravita + std::string(v.avviso);
}

// A paragraph broken at blanks into lines of at most 80 columns, each after `margine`.
std::string a_capo(std::string_view testo, std::string_view margine = "") {
  std::string s, riga;
  std::size_t i = 0;
  while (i < testo.size()) {
    const std::size_t fine = std::min(testo.find(' ', i), testo.size());
    const std::string_view parola = testo.substr(i, fine - i);
    if (!riga.empty() && margine.size() + riga.size() + 1 + parola.size() > 80) {
      s += std::string(margine) + riga + "\n";
      riga.clear();
    }
    if (!riga.empty()) riga += ' ';
    riga += parola;
    i = fine + 1;
  }
  return s + std::string(margine) + riga + "\n";
}

std::string rientra(std::string_view testo, std::string_view margine) {
  std::string s;
  std::size_t inizio = 0;
  while (inizio <= testo.size()) {
    const std::size_t fine = std::min(testo.find('\n', inizio), testo.size());
    if (fine > inizio) s += margine;
    s += testo.substr(inizio, fine - inizio);
    s += '\n';
    inizio = fine + 1;
  }
  return s;
}

// Where an example goes, in words, and as the kind of block the guide's tests compile.
struct Parte {
  std::string_view testo;
  const char* dove;
  const char* blocco;
};

std::vector<Parte> parti(const Causa& c) {
  std::vector<Parte> p;
  if (!c.generale.empty())
    p.push_back({c.generale, "added to the general section of the line source", "line-general"});
  if (c.linea_intera)
    p.push_back({c.linea, "in place of the line source", "line-source"});
  else if (!c.linea.empty())
    p.push_back({c.linea, "added to the records of the line source", "line-records"});
  if (c.treno_intera)
    p.push_back({c.treno, "in place of the train source", "train-source"});
  else if (!c.treno.empty())
    p.push_back({c.treno, "added to the records of the train source", "train-records"});
  return p;
}

}  // namespace

std::string numeri_errori() {
  // Runs of consecutive numbers as "1 to 13", the last two joined by "and".
  std::vector<std::string> tratti;
  for (std::size_t i = 0; i < std::size(kErrori);) {
    std::size_t j = i;
    while (j + 1 < std::size(kErrori) && kErrori[j + 1] == kErrori[j] + 1) ++j;
    std::string t = std::to_string(kErrori[i]);
    if (j == i + 1) {
      tratti.push_back(t);
      t = std::to_string(kErrori[j]);
    } else if (j > i) {
      t += " to " + std::to_string(kErrori[j]);
    }
    tratti.push_back(t);
    i = j + 1;
  }
  std::string s;
  for (std::size_t i = 0; i < tratti.size(); ++i) {
    if (i > 0) s += i + 1 == tratti.size() ? " and " : ", ";
    s += tratti[i];
  }
  return s;
}

const Spiegazione* voce(std::string_view chiave) {
  if (chiave.size() > 1 && chiave[0] == 'E' && chiave[1] >= '0' && chiave[1] <= '9')
    chiave.remove_prefix(1);
  int32_t n = 0;
  const auto [fine, ec] = std::from_chars(chiave.data(), chiave.data() + chiave.size(), n);
  const bool numero = ec == std::errc() && fine == chiave.data() + chiave.size() && !chiave.empty();
  for (const Spiegazione& v : voci()) {
    if (numero ? (v.avviso.empty() && v.numero == n) : (!v.avviso.empty() && v.avviso == chiave))
      return &v;
  }
  return nullptr;
}

std::string testo_voce(const Spiegazione& v) {
  std::string s = a_capo(nome(v) + ": " + std::string(v.titolo)) + "\n" + a_capo(v.accade);
  for (std::size_t i = 0; i < v.cause.size(); ++i) {
    const Causa& c = v.cause[i];
    s += "\n";
    if (v.cause.size() > 1)
      s += "Cause " + std::to_string(i + 1) + " of " + std::to_string(v.cause.size()) + ": " +
           std::string(c.nome) + ".\n";
    else
      s += "Cause: " + std::string(c.nome) + ".\n";
    s += "Message:\n" + a_capo(c.modello, "    ");
    for (const Parte& p : parti(c))
      s += a_capo(std::string("Example, ") + p.dove + " that `genera_scenario new` writes:") +
           rientra(utf8_da_1252(p.testo), "    ");
    if (!c.situazione.empty()) s += a_capo("When: " + std::string(c.situazione));
    s += a_capo("Fix: " + std::string(c.rimedio));
  }
  return s;
}

std::string markdown_voce(const Spiegazione& v) {
  const std::string codice = gs::codice(v);
  std::string s =
      "### " + codice + ": " + std::string(v.titolo) + "\n\n" + std::string(v.accade) + "\n";
  for (const Causa& c : v.cause) {
    s += "\n- Cause `" + std::string(c.nome) + "`, message: `" + std::string(c.modello) + "`\n";
    if (!c.situazione.empty()) s += "\n  When: " + std::string(c.situazione) + "\n";
    const std::vector<Parte> p = parti(c);
    for (std::size_t i = 0; i < p.size(); ++i) {
      s += std::string("\n  Example, ") + p[i].dove + " of the first scenario:\n\n";
      if (i == 0)
        s += "  <!-- expect: " + (v.avviso.empty() ? codice : "warning " + codice) + " -->\n";
      s += std::string("  ```") + p[i].blocco + "\n" + rientra(utf8_da_1252(p[i].testo), "  ") +
           "  ```\n";
    }
    s += "\n  Fix: " + std::string(c.rimedio) + "\n";
  }
  return s;
}

std::string elenco_voci(bool markdown) {
  std::string s = markdown ? "| diagnostic | what it is |\n|---|---|\n" : "";
  for (const Spiegazione& v : voci()) {
    const std::string codice = gs::codice(v);
    if (markdown) {
      s += "| `";
      s += codice;
      s += "` | ";
    } else {
      s += codice;
      s.append(codice.size() < 21 ? 21 - codice.size() : 1, ' ');
    }
    s += v.titolo;
    s += markdown ? " |\n" : "\n";
  }
  return s;
}

std::string elenco_voci_man() {
  std::string s;
  for (const Spiegazione& v : voci()) {
    s += ".TP\n.B ";
    s += codice(v);
    s += '\n';
    for (const char c : v.titolo) {
      if (c == '\\')
        s += "\\e";
      else
        s += c;
    }
    s += "\n";
  }
  return s;
}

int comando_explain(const Argomenti& a) {
  const bool tutto = a.ha(Bandiera::kAll), markdown = a.ha(Bandiera::kMarkdown),
             elenco = a.ha(Bandiera::kList);
  const std::vector<std::string>& chiavi = a.posizionali;
  if (elenco && (tutto || !chiavi.empty()))
    return uso_errato("explain --list takes no entry and no --all");
  if (elenco) {
    std::cout << elenco_voci(markdown);
    return 0;
  }
  if (!tutto && chiavi.empty())
    return uso_errato("explain expects an error number, a warning's name, --all or --list");
  std::vector<const Spiegazione*> scelte;
  if (tutto) {
    for (const Spiegazione& v : voci()) scelte.push_back(&v);
  }
  for (const std::string& k : chiavi) {
    const Spiegazione* v = voce(k);
    if (v == nullptr)
      return uso_errato("no error or warning is called " + k + "; the errors are " +
                        numeri_errori() + " (see explain --all)");
    scelte.push_back(v);
  }
  for (std::size_t i = 0; i < scelte.size(); ++i) {
    if (i > 0) std::cout << (markdown ? "\n" : "\n\n");
    std::cout << (markdown ? markdown_voce(*scelte[i]) : testo_voce(*scelte[i]));
  }
  return 0;
}

}  // namespace gs

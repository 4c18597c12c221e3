#include "common/diagnostica.h"

#include <algorithm>

#include "common/nomi_file.h"

namespace gs {

void Registro::aggiungi(Gravita g, Luogo luogo, Detto detto, std::vector<Correlato> correlati) {
  Diagnostica d;
  d.gravita = g;
  d.n_errore = n_errore;
  if (pos_impostata_) d.pos_errore = pos_errore;
  d.luogo = std::move(luogo);
  d.messaggio = std::move(detto.testo);
  d.correlati = std::move(correlati);
  d.causa = &causa(detto.causa);
  d.suggerimento = std::move(detto.suggerimento);
  elenco_.push_back(std::move(d));
}

void Registro::errore(Detto d, Luogo luogo, std::vector<Correlato> correlati) {
  const Spiegazione& v = voce_di(d.causa);
  n_errore = v.numero;
  ++errori_;
  aggiungi(Gravita::kErrore, std::move(luogo), std::move(d), std::move(correlati));
}

void Registro::errore_in(Detto d, int32_t posizione, Luogo luogo,
                         std::vector<Correlato> correlati) {
  pos_errore = posizione;
  pos_impostata_ = true;
  errore(std::move(d), std::move(luogo), std::move(correlati));
}

void Registro::avviso(Detto d, Luogo luogo) {
  const Spiegazione& v = voce_di(d.causa);
  aggiungi(Gravita::kAvviso, std::move(luogo), std::move(d), {});
  elenco_.back().avviso = std::string(v.avviso);
}

void Registro::nota_in(int32_t posizione, Luogo luogo, Detto d) {
  pos_errore = posizione;
  pos_impostata_ = true;
  ++note_;
  aggiungi(Gravita::kNota, std::move(luogo), std::move(d), {});
}

void Registro::cita(std::string file, std::shared_ptr<const std::string> testo) {
  std::vector<std::size_t> a_capo;
  if (testo) {
    for (std::size_t i = testo->find_first_of("\r\n"); i != std::string::npos;
         i = testo->find_first_of("\r\n", i + 1))
      a_capo.push_back(i);
  }
  citate_.push_back({std::move(file), std::move(testo), std::move(a_capo)});
}

std::string_view Registro::riga_di(const Luogo& luogo) const {
  if (luogo.riga <= 0) return {};
  for (const Citata& c : citate_) {
    if (c.file != luogo.file || !c.testo || luogo.inizio_riga > c.testo->size()) continue;
    const auto fine = std::lower_bound(c.a_capo.begin(), c.a_capo.end(), luogo.inizio_riga);
    const std::size_t a = fine == c.a_capo.end() ? c.testo->size() : *fine;
    return std::string_view(*c.testo).substr(luogo.inizio_riga, a - luogo.inizio_riga);
  }
  return {};
}

std::string citazione(std::string_view testo, std::size_t massimo) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string grezzo;
  for (std::size_t i = 0; i < testo.size() && i < massimo; ++i) {
    const auto b = static_cast<unsigned char>(testo[i]);
    if (b < 0x20 || b == 0x7F) {
      grezzo += "\\x";
      grezzo += kHex[b >> 4];
      grezzo += kHex[b & 0xF];
    } else {
      grezzo += static_cast<char>(b);
    }
  }
  std::string s = utf8_da_1252(grezzo);
  if (testo.size() > massimo) s += "...";
  return s;
}

std::string codice(const Diagnostica& d) {
  return d.causa != nullptr ? codice(voce_di(d.causa->id)) : codice_errore(d.n_errore);
}

std::string dove(const Luogo& luogo) {
  std::string s = luogo.file;
  if (luogo.riga > 0) {
    s += ':' + std::to_string(luogo.riga);
    if (luogo.colonna > 0) s += ':' + std::to_string(luogo.colonna);
  }
  return s;
}

}  // namespace gs

#include <string>

#include "common/file_system.h"
#include "compiler/lettori.h"

namespace gs {

bool parola_chiave(LettoreCampi& r, int trattini, std::string_view& campo) {
  if (r.fine()) return false;
  campo = r.testo();
  if (r.fine()) return false;
  for (int n = 0; n < trattini && contiene(campo, "-"); ++n) {
    campo = r.testo();
    if (r.fine()) return false;
  }
  return true;
}

bool raggiunge(const Celle& celle, int64_t posizione, int64_t margine) {
  return static_cast<double>(posizione + margine) / 50.0 <= static_cast<double>(celle.ultimo());
}

std::string_view testo_record(LettoreCampi& r, std::string_view campo) {
  const std::string_view testo = r.testo();
  if (testo.size() > kTestoMassimo)
    throw ErroreLettura(std::string(campo) + " of " + std::to_string(testo.size()) +
                        " bytes is longer than 65535 bytes");
  return testo;
}

SorgentiSuDisco::SorgentiSuDisco(std::filesystem::path linea, std::filesystem::path treno,
                                 bool cancella)
    : linea_(std::move(linea)), treno_(std::move(treno)), cancella_(cancella) {}

std::optional<std::string> SorgentiSuDisco::leggi_linea() {
  if (!esiste(linea_)) return std::nullopt;
  try {
    return leggi_file(linea_);
  } catch (const ErroreFile& e) {
    throw ErroreLettura(e.what());
  }
}

std::string SorgentiSuDisco::leggi_treno() {
  try {
    return leggi_file(treno_);
  } catch (const ErroreFile& e) {
    throw ErroreLettura(e.what());
  }
}

void SorgentiSuDisco::cancella_linea() {
  if (cancella_) cancella(linea_);
}

void SorgentiSuDisco::cancella_treno() {
  if (cancella_) cancella(treno_);
}

std::string SorgentiInMemoria::leggi_treno() {
  if (!treno_) throw ErroreLettura("the train source " + nome_treno_ + " does not exist");
  return *treno_;
}

void memorizza_dati(Compilazione& c, Sorgenti& sorgenti) {
  try {
    const EsitoLinea linea = leggi_linea(c, sorgenti);
    if (linea.leggi_treno) leggi_treno(c, sorgenti, linea.limite_cartelli);
  } catch (const ErroreLettura& e) {
    c.registro.registra(kLettura, e.what());
    sorgenti.cancella_linea();
    sorgenti.cancella_treno();
  }
}

}  // namespace gs

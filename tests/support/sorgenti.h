// Small source texts and an in-memory compile for the tests.
#ifndef GS_TESTS_SUPPORT_SORGENTI_H
#define GS_TESTS_SUPPORT_SORGENTI_H

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "compiler/compilatore.h"

namespace gs::test {

// Lines joined with CR LF, the last one included.
inline std::string righe(std::initializer_list<std::string_view> r) {
  std::string s;
  for (const std::string_view l : r) {
    s += l;
    s += "\r\n";
  }
  return s;
}

// `n` copies of a record, each on its own line.
inline std::string ripeti(std::string_view record, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) {
    if (i > 0) s += "\r\n";
    s += record;
  }
  return s;
}

// A line source: a general section of the given length, then the records.
inline std::string linea(std::initializer_list<std::string_view> record, int lunghezza = 100000) {
  std::string s =
      "[generale]\r\nlunghezza percorso,    " + std::to_string(lunghezza) + "\r\n[curve]\r\n";
  for (const std::string_view l : record) {
    s += l;
    s += "\r\n";
  }
  return s + "[fine]\r\n";
}

// A train source with the given records after "[generale]".
inline std::string treno(std::initializer_list<std::string_view> record) {
  std::string s = "[generale]\r\n";
  for (const std::string_view l : record) {
    s += l;
    s += "\r\n";
  }
  return s + "[fine]\r\n";
}

// What memorizza_dati made of two sources.
struct Lettura {
  Compilazione c;
  std::unique_ptr<SorgentiInMemoria> sorgenti;
  int32_t n() const { return c.registro.n_errore; }
  int32_t pos() const { return c.registro.pos_errore; }
  const Cella& cella(int64_t i) const { return c.celle[i]; }
};

// memorizza_dati on the two texts (a missing train source when `t` is nothing).
inline std::unique_ptr<Lettura> leggi(std::optional<std::string> l,
                                      std::optional<std::string> t = treno({}), int32_t j = 1) {
  auto e = std::make_unique<Lettura>();
  e->c.nome_linea = "BELMONZA VALICO - SOLMA";
  e->c.nome_treno = "D 237";
  e->c.j = j;
  e->sorgenti = std::make_unique<SorgentiInMemoria>(std::move(l), std::move(t));
  memorizza_dati(e->c, *e->sorgenti);
  return e;
}

}  // namespace gs::test

#endif  // GS_TESTS_SUPPORT_SORGENTI_H

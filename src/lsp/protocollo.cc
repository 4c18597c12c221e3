#include "lsp/protocollo.h"

#include <algorithm>

namespace gs::lsp {

using nlohmann::json;

const json& membro(const json& oggetto, const char* nome, const char* dove) {
  if (!oggetto.is_object() || !oggetto.contains(nome))
    throw ParametriNonValidi(std::string(dove) + " has no " + nome);
  return oggetto[nome];
}

std::string stringa(const json& oggetto, const char* nome, const char* dove) {
  const json& v = membro(oggetto, nome, dove);
  if (!v.is_string()) throw ParametriNonValidi(std::string(dove) + "." + nome + " is not a string");
  return v.get<std::string>();
}

int64_t intero(const json& oggetto, const char* nome, const char* dove) {
  const json& v = membro(oggetto, nome, dove);
  if (v.is_number_unsigned())
    return static_cast<int64_t>(std::min<uint64_t>(v.get<uint64_t>(), INT64_MAX));
  if (v.is_number_integer()) return v.get<int64_t>();
  throw ParametriNonValidi(std::string(dove) + "." + nome + " is not an integer");
}

Posizione posizione_da(const json& p, const char* dove) {
  return {intero(p, "line", dove), intero(p, "character", dove)};
}

Intervallo intervallo_da(const json& r, const char* dove) {
  return {posizione_da(membro(r, "start", dove), "a range's start"),
          posizione_da(membro(r, "end", dove), "a range's end")};
}

json json_di(const Posizione& p) { return {{"line", p.riga}, {"character", p.colonna}}; }

json json_di(const Intervallo& i) {
  return {{"start", json_di(i.inizio)}, {"end", json_di(i.fine)}};
}

}  // namespace gs::lsp

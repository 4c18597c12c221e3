// The one reading of a command line that every command shares.
#include <iostream>

#include "run/riga_comando.h"

namespace gs {

std::optional<int> analizza_opzioni(const std::vector<std::string>& argomenti, std::string_view uso,
                                    std::span<const Opzione> opzioni,
                                    std::vector<std::string>& operandi) {
  for (std::size_t i = 0; i < argomenti.size(); ++i) {
    const std::string& a = argomenti[i];
    if (a == "--help" || a == "-h") {
      std::cout << uso;
      return 0;
    }
    const Opzione* o = nullptr;
    for (const Opzione& candidata : opzioni)
      if (candidata.parola == a) o = &candidata;
    if (o == nullptr) {
      if (a.size() > 1 && a[0] == '-') return uso_errato("unknown option " + a);
      operandi.push_back(a);
      continue;
    }
    if (o->con_valore && i + 1 >= argomenti.size()) return uso_errato(a + " needs a value");
    const std::string valore = o->con_valore ? argomenti[++i] : std::string();
    if (const auto motivo = o->azione(valore)) return uso_errato(*motivo);
  }
  return std::nullopt;
}

Opzione opzione_nome_linea(std::optional<std::string>& nome) {
  return {"--line-name", true, [&nome](const std::string& v) {
            nome = in_1252(v);
            return std::optional<std::string>();
          }};
}

Opzione opzione_nome_treno(std::optional<std::string>& nome) {
  return {"--train-name", true, [&nome](const std::string& v) {
            nome = in_1252(v);
            return std::optional<std::string>();
          }};
}

Opzione opzione_segnale(std::string_view parola, bool& acceso) {
  return {parola, false, [&acceso](const std::string&) {
            acceso = true;
            return std::optional<std::string>();
          }};
}

}  // namespace gs

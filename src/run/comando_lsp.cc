// `lsp`: the language server on standard input and output, compiling as `check` does.
#include "run/comando_lsp.h"

#include <utility>

#include "run/comandi.h"
#include "run/esecuzione.h"
#include "run/opzioni_compila.h"
#include "run/riga_comando.h"
#include "run/spiegazioni.h"

namespace gs {

lsp::Servizi servizi_lsp() {
  lsp::Servizi s;
  s.compila = [](Compilazione& c, lsp::TestoSorgente linea,
                 std::optional<lsp::TestoSorgente> treno) -> std::optional<std::string> {
    if (!treno) {
      // Without a train source the compile stops after the line reader.
      SorgentiInMemoria sorgenti(std::move(linea.byte), std::nullopt, linea.nome, std::string());
      memorizza_percorso(c, 1, sorgenti, nullptr);
      return std::nullopt;
    }
    Opzioni o;
    o.scrivi = false;
    o.sorgenti = {linea.nome, treno->nome};
    std::optional<std::string> motivo;
    try {
      motivo = prepara_nomi(o);
    } catch (const ErroreUso& e) {
      motivo = e.what();
    }
    compila_testi(c, o, std::move(linea.byte), std::move(treno->byte));
    return motivo;
  };
  s.spiega = [](std::string_view codice, std::string_view causa) {
    const Spiegazione* v = voce(codice);
    if (v == nullptr) return std::string();
    Spiegazione una = *v;
    for (const Causa& c : v->cause)
      if (c.nome == causa) una.cause = std::span(&c, 1);
    return markdown_voce(una);
  };
  return s;
}

int comando_lsp(const Argomenti& a) {
  if (!a.posizionali.empty()) return uso_errato("lsp takes no arguments, not " + a.posizionali[0]);
  return lsp::esegui(servizi_lsp());
}

}  // namespace gs

// A message's body read into JSON as the server takes it. Its nesting is bounded: every step of
// the server that walks a value (a copy, a dump, a comparison) goes as deep as the value does, on
// a stack that is not endless. And a lone UTF-16 surrogate escaped in a string ("\ud800"), which
// an editor's text may hold and JSON's decoders refuse, is read as a character of its own
// (kSurrogatoSolo), as an editor reads it as one: the text stays in step with the editor's.
#ifndef GS_LSP_LETTURA_H
#define GS_LSP_LETTURA_H

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace gs::lsp {

// Far deeper than any message of the protocol goes.
constexpr std::size_t kProfonditaMassima = 512;

struct Letto {
  enum class Esito { kLetto, kNonJson, kTroppoProfondo };
  Esito esito = Esito::kNonJson;
  nlohmann::json valore;  // the message, when it was read
  // Of a message too deep, read to its end all the same: whether it is an object, whether that
  // has an id, a method, a result or an error, and its id when that is no container.
  bool oggetto = false, con_id = false, con_metodo = false, risposta = false;
  nlohmann::json id;
};

Letto leggi_messaggio(std::string_view corpo);

// The JSON text with every escape of a lone surrogate made the escape of kSurrogatoSolo (the two
// have the same length) in `sostituito`; false, and `sostituito` untouched, when it has none.
bool surrogati_soli(std::string_view corpo, std::string& sostituito);

}  // namespace gs::lsp

#endif  // GS_LSP_LETTURA_H

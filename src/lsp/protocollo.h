// The protocol's shapes, written once: positions and ranges to and from their JSON, the reading
// of a message's members with the reason a member is wrong, and the error codes of JSON-RPC and
// of the protocol. Every handler reads and writes them through here.
#ifndef GS_LSP_PROTOCOLLO_H
#define GS_LSP_PROTOCOLLO_H

#include <cstdint>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "lsp/testo.h"

namespace gs::lsp {

// The error codes of an answer.
inline constexpr int kErroreAnalisi = -32700;
inline constexpr int kRichiestaNonValida = -32600;
inline constexpr int kMetodoSconosciuto = -32601;
inline constexpr int kParametriNonValidi = -32602;
inline constexpr int kErroreInterno = -32603;
inline constexpr int kNonInizializzato = -32002;

// A message's params that do not hold what its method needs: a request is answered with
// kParametriNonValidi, a notification's is logged.
class ParametriNonValidi : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A member of an object, or ParametriNonValidi saying that `dove` lacks it.
const nlohmann::json& membro(const nlohmann::json& oggetto, const char* nome, const char* dove);
std::string stringa(const nlohmann::json& oggetto, const char* nome, const char* dove);
// A whole number; an unsigned one past int64_t's range is held to its largest.
int64_t intero(const nlohmann::json& oggetto, const char* nome, const char* dove);

// Position {line, character} and Range {start, end}.
Posizione posizione_da(const nlohmann::json& p, const char* dove);
Intervallo intervallo_da(const nlohmann::json& r, const char* dove);
nlohmann::json json_di(const Posizione& p);
nlohmann::json json_di(const Intervallo& i);

}  // namespace gs::lsp

#endif  // GS_LSP_PROTOCOLLO_H

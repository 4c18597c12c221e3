// `genera_scenario lsp`: a language server for the line and train sources. It speaks the
// Language Server Protocol (3.17) over standard input and output, checks the sources as they are
// typed and publishes what `check` finds at the fields it points at. It never writes a file.
#ifndef GS_LSP_LSP_H
#define GS_LSP_LSP_H

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

struct Compilazione;

namespace lsp {

// One source text as the compile reads it: its name (the file's, or the URI of a document
// without one) and its Windows-1252 bytes.
struct TestoSorgente {
  std::string nome;
  std::string byte;
};

// One compile in memory as `check` does it, writing no file, given by the command line: the
// line source with its train source, the names (and so the race codes) drawn from the file
// names; or the line source alone, as far as the line reader goes. Returns why the names could
// not be drawn from the file names, when they could not; the compile is done all the same.
using Compila = std::function<std::optional<std::string>(Compilazione& c, TestoSorgente linea,
                                                         std::optional<TestoSorgente> treno)>;

// What the command line gives the server: the compile, and explain's entry for a diagnostic's
// code (E16, unknown-record) and its cause's name as Markdown: its title, what the compile does,
// and that cause (every cause when the name is none of them); empty when there is no entry.
struct Servizi {
  Compila compila;
  std::function<std::string(std::string_view codice, std::string_view causa)> spiega;
};

// The server without its streams: it is handed each message's body as read and hands back the
// bodies to write. The program's loop, the tests, the benchmark and the fuzz target drive it
// alike.
class Servitore {
 public:
  using Uscita = std::function<void(std::string_view corpo)>;
  Servitore(Uscita uscita, Servizi servizi);
  ~Servitore();
  Servitore(const Servitore&) = delete;
  Servitore& operator=(const Servitore&) = delete;

  // One message's body. Whatever it holds, the server answers as the protocol says and goes on.
  void ricevi(std::string_view corpo);
  // A header that could not be read (cornice.h): answered as a parse error.
  void guasto_cornice(std::string_view motivo);
  // Compiles what the messages since the last call changed and publishes the diagnostics. The
  // loop calls it when no message is waiting, so that the edits of fast typing are compiled
  // once.
  void aggiorna();

  // After `exit`: the exit status, 0 when `shutdown` came first.
  bool finito() const;
  int esito() const;

  struct Stato;

 private:
  std::unique_ptr<Stato> s_;
};

// The methods the server handles, from the one table that makes both initialize's capabilities
// and the dispatch: each with the capability it announces (a JSON pointer into capabilities,
// empty for none) and whether it is a request and has its handler.
struct MetodoServito {
  std::string_view nome;
  std::string_view capacita;
  bool richiesta = false;
  bool gestito = false;
};
std::vector<MetodoServito> metodi_serviti();

// The server on standard input and output until `exit` or the input's end: its exit status.
int esegui(Servizi servizi);

}  // namespace lsp
}  // namespace gs

#endif  // GS_LSP_LSP_H

// The entry point on Windows: the arguments come as UTF-16 and go on as UTF-8, and a command
// gets a console that shows UTF-8 and the same bytes as on POSIX. Without arguments (a double
// click) the program needs no console: the built-in run shows a window.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include "platform/piattaforma.h"

namespace {

// Text for a console, a line at a time and in whole characters. The C runtime hands a console
// one byte per write, and the console reads a UTF-8 character split between two writes as
// two unknown ones.
class UscitaConsole : public std::streambuf {
 public:
  explicit UscitaConsole(HANDLE console) : console_(console) {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    testo_ += traits_type::to_char_type(c);
    if (c == '\n') scrivi();
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    testo_.append(s, static_cast<std::size_t>(n));
    if (std::memchr(s, '\n', static_cast<std::size_t>(n)) != nullptr) scrivi();
    return n;
  }
  int sync() override {
    scrivi();
    return 0;
  }

 private:
  // Everything up to a character that has not arrived whole; that one waits for the rest.
  void scrivi() {
    std::size_t fine = testo_.size();
    for (std::size_t indietro = 1; indietro <= 3 && indietro <= testo_.size(); ++indietro) {
      const auto b = static_cast<unsigned char>(testo_[testo_.size() - indietro]);
      if ((b & 0xC0) != 0x80) {  // the first byte of the last character
        const std::size_t lunghezza = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        if (lunghezza > indietro) fine = testo_.size() - indietro;
        break;
      }
    }
    if (fine == 0) return;
    // Once: some consoles report the characters written, not the bytes, for UTF-8.
    DWORD scritti = 0;
    WriteFile(console_, testo_.data(), static_cast<DWORD>(fine), &scritti, nullptr);
    testo_.erase(0, fine);
  }

  HANDLE console_;
  std::string testo_;
};

UINT pagina_console_prima = 0;

// The console's code page outlives the program: the user gets back the one they had, after
// the last of the program's text has gone out in UTF-8.
void ripristina_pagina_console() {
  std::cout.flush();
  std::cerr.flush();
  SetConsoleOutputCP(pagina_console_prima);
}

bool maniglia_valida(DWORD quale) {
  const HANDLE h = GetStdHandle(quale);
  return h != nullptr && h != INVALID_HANDLE_VALUE;
}

// One output stream: "\n" stays "\n" (no CR added, the same bytes as on POSIX), and on a
// console the text is read as UTF-8 and colours as escape sequences.
void prepara(std::ostream& flusso, std::FILE* c, DWORD quale) {
  _setmode(_fileno(c), _O_BINARY);
  const HANDLE h = GetStdHandle(quale);
  DWORD modo = 0;
  if (!GetConsoleMode(h, &modo)) return;  // a file or a pipe: bytes as they are
  if (pagina_console_prima == 0) {
    pagina_console_prima = GetConsoleOutputCP();
    if (pagina_console_prima != CP_UTF8 && SetConsoleOutputCP(CP_UTF8))
      std::atexit(ripristina_pagina_console);
  }
  if (!SetConsoleMode(h, modo | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING))
    _putenv("NO_COLOR=1");  // a console older than escape sequences would print them
  // Never freed: std::cout and std::cerr are flushed once more after every destructor has run.
  flusso.rdbuf(new UscitaConsole(h));
}

void prepara_console() {
  // genera_scenario.exe is a GUI program and has no console of its own: started with a command
  // from a console, it writes to that one, unless its output goes to a file or a pipe already.
  // (genera_scenario.com, the console program, is what cmd.exe and PowerShell run and wait for.)
  if (!maniglia_valida(STD_OUTPUT_HANDLE) && !maniglia_valida(STD_ERROR_HANDLE) &&
      AttachConsole(ATTACH_PARENT_PROCESS)) {
    const HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    SetStdHandle(STD_OUTPUT_HANDLE, console);
    SetStdHandle(STD_ERROR_HANDLE, console);
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
  }
  prepara(std::cout, stdout, STD_OUTPUT_HANDLE);
  prepara(std::cerr, stderr, STD_ERROR_HANDLE);
}

std::string utf8(const wchar_t* w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w, -1, s.data(), n, nullptr, nullptr);
  s.pop_back();  // the terminating NUL
  return s;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 1) prepara_console();
  gs::piattaforma::pulisci_alle_interruzioni();
  std::vector<std::string> argomenti;
  for (int i = 0; i < argc; ++i) argomenti.push_back(utf8(argv[i]));
  std::vector<char*> puntatori;
  for (std::string& a : argomenti) puntatori.push_back(a.data());
  puntatori.push_back(nullptr);
  return gs::programma(argc, puntatori.data());
}

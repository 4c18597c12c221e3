// Runs the built program and captures its exit status and output: tests/support/processo.h
// for the unit tests built for Windows, which find this one first. The arguments are the same
// POSIX shell text, split into words as sh splits them (quotes and backslashes), and the
// program starts without a shell; text that needs a shell (a substitution, a redirection, a
// pipe) gives status -1 and says so.
#ifndef GS_TESTS_SUPPORT_PROCESSO_H
#define GS_TESTS_SUPPORT_PROCESSO_H

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/cartella.h"

namespace gs::test {

struct Uscita {
  int stato = -1;
  std::string out;
  std::string err;
};

// sh's words of `testo`, or nothing when it holds more than words and quotes.
inline std::optional<std::vector<std::string>> parole_shell(const std::string& testo) {
  std::vector<std::string> parole;
  std::string parola;
  bool in_parola = false;
  for (std::size_t i = 0; i < testo.size(); ++i) {
    const char c = testo[i];
    if (c == ' ' || c == '\t' || c == '\n') {
      if (in_parola) parole.push_back(std::move(parola));
      parola.clear();
      in_parola = false;
      continue;
    }
    in_parola = true;
    if (c == '\'') {
      const std::size_t fine = testo.find('\'', i + 1);
      if (fine == std::string::npos) return std::nullopt;
      parola += testo.substr(i + 1, fine - i - 1);
      i = fine;
    } else if (c == '"') {
      for (++i; i < testo.size() && testo[i] != '"'; ++i) {
        if (testo[i] == '$' || testo[i] == '`') return std::nullopt;
        if (testo[i] == '\\' && i + 1 < testo.size() && std::strchr("\"\\$`", testo[i + 1])) ++i;
        parola += testo[i];
      }
      if (i >= testo.size()) return std::nullopt;
    } else if (c == '\\') {
      if (++i < testo.size()) parola += testo[i];
    } else if (std::strchr("$`|&;<>()*?[]{}~#", c) != nullptr) {
      return std::nullopt;
    } else {
      parola += c;
    }
  }
  if (in_parola) parole.push_back(std::move(parola));
  return parole;
}

// One argument quoted so that the C runtime's parser gives it back as it is.
inline std::wstring argomento_citato(const std::wstring& a) {
  if (!a.empty() && a.find_first_of(L" \t\n\v\"") == std::wstring::npos) return a;
  std::wstring s = L"\"";
  for (auto it = a.begin();; ++it) {
    std::size_t barre = 0;
    for (; it != a.end() && *it == L'\\'; ++it) ++barre;
    if (it == a.end()) {
      s.append(barre * 2, L'\\');
      break;
    }
    if (*it == L'"') {
      s.append(barre * 2 + 1, L'\\');
    } else {
      s.append(barre, L'\\');
    }
    s += *it;
  }
  return s + L"\"";
}

inline std::wstring utf16(const std::string& s) {
  if (s.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

// `argomenti` is shell text; the program runs in `cartella`, its output is kept there too.
inline Uscita esegui(const std::filesystem::path& programma, const std::string& argomenti,
                     const std::filesystem::path& cartella) {
  Uscita u;
  const auto parole = parole_shell(argomenti);
  if (!parole) {
    u.err = "this command line needs a POSIX shell: " + argomenti;
    return u;
  }
  std::wstring riga = argomento_citato(programma.native());
  for (const std::string& p : *parole) riga += L" " + argomento_citato(utf16(p));

  const auto out = cartella / ".stdout";
  const auto err = cartella / ".stderr";
  SECURITY_ATTRIBUTES ereditabile{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const auto apri = [&](const std::filesystem::path& f, DWORD accesso, DWORD come) {
    return CreateFileW(f.c_str(), accesso, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       &ereditabile, come, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  const HANDLE h_out = apri(out, GENERIC_WRITE, CREATE_ALWAYS);
  const HANDLE h_err = apri(err, GENERIC_WRITE, CREATE_ALWAYS);
  const HANDLE h_in = apri(L"NUL", GENERIC_READ, OPEN_EXISTING);
  STARTUPINFOW avvio{};
  avvio.cb = sizeof avvio;
  avvio.dwFlags = STARTF_USESTDHANDLES;
  avvio.hStdInput = h_in;
  avvio.hStdOutput = h_out;
  avvio.hStdError = h_err;
  PROCESS_INFORMATION processo{};
  if (CreateProcessW(programma.c_str(), riga.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                     nullptr, cartella.c_str(), &avvio, &processo)) {
    WaitForSingleObject(processo.hProcess, INFINITE);
    DWORD codice = 0;
    if (GetExitCodeProcess(processo.hProcess, &codice)) u.stato = static_cast<int>(codice);
    CloseHandle(processo.hThread);
    CloseHandle(processo.hProcess);
  }
  for (const HANDLE h : {h_in, h_out, h_err}) CloseHandle(h);
  u.out = contenuto(out);
  u.err += contenuto(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return u;
}

}  // namespace gs::test

#endif  // GS_TESTS_SUPPORT_PROCESSO_H

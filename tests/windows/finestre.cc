// The window test's hands inside Wine: it reads what the program's window and message boxes
// show, presses OK, and raises the built-in run's window and errore()'s box itself.
//   finestre descrivi TITLE   the window's class and its text (a message box's message, or the
//                             label's)
//   finestre ok TITLE         presses OK in the message box of that title
//   finestre attesa           shows the "Attendere" window and describes it, with the label's
//                             font (face, points, weight), which only its own process can read
//   finestre errore N         the "Attendere" window, then errore(N)
// Exit status 3 when no window has that title.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/piattaforma.h"
#include "run/esecuzione.h"

namespace {

std::string utf8(const std::wstring& w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr,
                      nullptr);
  return s;
}

std::wstring testo_di(HWND h) {
  std::wstring t(static_cast<std::size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
  t.resize(static_cast<std::size_t>(GetWindowTextW(h, t.data(), static_cast<int>(t.size()))));
  return t;
}

std::wstring classe_di(HWND h) {
  wchar_t c[256] = {};
  GetClassNameW(h, c, 256);
  return c;
}

int descrivi(HWND finestra) {
  std::printf("class: %s\n", utf8(classe_di(finestra)).c_str());
  // A message box's message is its static control 0xFFFF; a window's label, its first one.
  HWND etichetta = GetDlgItem(finestra, 0xFFFF);
  if (etichetta == nullptr) etichetta = FindWindowExW(finestra, nullptr, L"STATIC", nullptr);
  if (etichetta == nullptr) return 0;
  std::printf("text: %s\n", utf8(testo_di(etichetta)).c_str());
  const auto carattere = reinterpret_cast<HFONT>(SendMessageW(etichetta, WM_GETFONT, 0, 0));
  LOGFONTW lf{};
  if (carattere != nullptr && GetObjectW(carattere, sizeof lf, &lf) == sizeof lf) {
    const HDC schermo = GetDC(nullptr);
    const int punti = MulDiv(lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight, 72,
                             GetDeviceCaps(schermo, LOGPIXELSY));
    ReleaseDC(nullptr, schermo);
    std::printf("font: %s, %d points, weight %ld\n", utf8(lf.lfFaceName).c_str(), punti,
                static_cast<long>(lf.lfWeight));
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  SetProcessDPIAware();  // points measured as the program measured them
  const std::wstring comando = argc > 1 ? argv[1] : L"";
  if (comando == L"attesa") {
    gs::piattaforma::mostra_attesa();
    const HWND finestra = FindWindowW(nullptr, L"Attendere");
    return finestra == nullptr ? 3 : descrivi(finestra);
  }
  if (argc != 3) {
    std::fputs("usage: finestre descrivi|ok TITLE | attesa | errore N\n", stderr);
    return 2;
  }
  if (comando == L"errore") {
    gs::piattaforma::mostra_attesa();
    gs::errore(utf8(argv[2]));
  }
  const HWND finestra = FindWindowW(nullptr, argv[2]);
  if (finestra == nullptr) return 3;
  if (comando == L"descrivi") return descrivi(finestra);
  if (comando == L"ok") {
    PostMessageW(finestra, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(finestra, IDOK)));
    return 0;
  }
  return 2;
}

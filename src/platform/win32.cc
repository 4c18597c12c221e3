// The platform on Windows: file names are UTF-16 and go through the wide-character API, files
// are handles, and the built-in run, which a double click starts without a console, speaks
// through a window and message boxes.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
// after winsock2.h
#include <windows.h>
// after windows.h
#include <shellapi.h>
// the C runtime's descriptors
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/impronte.h"
#include "platform/piattaforma.h"
#include "platform/temporanei.h"

namespace gs::piattaforma {
namespace {

std::wstring utf16(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
  return w;
}

std::string utf8(std::wstring_view w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                      nullptr);
  return s;
}

// GetLastError() codes, worded by the system in the user's language ("Access is denied").
class CategoriaWin32 : public std::error_category {
 public:
  const char* name() const noexcept override { return "win32"; }
  std::string message(int codice) const override {
    wchar_t* testo = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(codice), 0, reinterpret_cast<wchar_t*>(&testo), 0, nullptr);
    std::wstring w = n > 0 ? std::wstring(testo, n) : L"error " + std::to_wstring(codice);
    if (testo != nullptr) LocalFree(testo);
    // "cannot write X: Access is denied", as the POSIX reasons read: no end of line, no stop.
    while (!w.empty() &&
           (w.back() == L'\r' || w.back() == L'\n' || w.back() == L' ' || w.back() == L'.'))
      w.pop_back();
    return utf8(w);
  }
  // The failures a caller may tell apart, as the portable conditions POSIX codes give.
  std::error_condition default_error_condition(int codice) const noexcept override {
    switch (static_cast<DWORD>(codice)) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
        return std::errc::no_such_file_or_directory;
      case ERROR_ACCESS_DENIED:
        return std::errc::permission_denied;
      case ERROR_FILE_EXISTS:
      case ERROR_ALREADY_EXISTS:
        return std::errc::file_exists;
      case ERROR_DISK_FULL:
      case ERROR_HANDLE_DISK_FULL:
        return std::errc::no_space_on_device;
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION:
        return std::errc::device_or_resource_busy;
      default:
        return {codice, *this};
    }
  }
};

std::error_code ultimo_errore() {
  // Read before anything else: the first call's initialisation of the category may reset it.
  const DWORD codice = GetLastError();
  static const CategoriaWin32 categoria;
  return {static_cast<int>(codice), categoria};
}

HANDLE maniglia(std::intptr_t m) { return reinterpret_cast<HANDLE>(m); }

// The window of the built-in run, once it is shown: the message boxes belong to it.
HWND finestra_attesa = nullptr;

// Ctrl-C, Ctrl-Break, the console closed: the files go (deleted once the program's handles
// close, as it ends), and the system's own handler then ends the program. It runs on a thread
// of its own while the program goes on.
BOOL WINAPI all_interruzione(DWORD) {
  per_ogni_registrato([](const wchar_t* nome) { DeleteFileW(nome); });
  return FALSE;
}

}  // namespace

std::filesystem::path percorso(std::string_view testo) { return utf16(testo); }

std::filesystem::path cartella_programma() {
  std::wstring nome(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, nome.data(), static_cast<DWORD>(nome.size()));
    if (n == 0) return std::filesystem::current_path();
    if (n < nome.size()) {
      nome.resize(n);
      return std::filesystem::path(nome).parent_path();
    }
    nome.resize(nome.size() * 2);  // cut short: a long path
  }
}

bool esiste(const std::filesystem::path& file) {
  return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::error_code leggi_tutto(const std::filesystem::path& file, std::string& dati,
                            std::uint64_t massimo) {
  dati.clear();
  const DWORD attributi = GetFileAttributesW(file.c_str());
  if (attributi != INVALID_FILE_ATTRIBUTES && (attributi & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return std::make_error_code(std::errc::is_a_directory);
  const HANDLE h = CreateFileW(
      file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return ultimo_errore();
  std::error_code ec;
  LARGE_INTEGER dimensione{};
  // A pipe, a console or a device such as NUL is no file to read a source from.
  if (GetFileType(h) != FILE_TYPE_DISK) {
    ec = Rifiuto::kNonRegolare;
  } else if (!GetFileSizeEx(h, &dimensione)) {
    ec = ultimo_errore();
  } else if (static_cast<std::uint64_t>(dimensione.QuadPart) > massimo) {
    ec = Rifiuto::kTroppoGrande;
  }
  if (ec) {
    CloseHandle(h);
    return ec;
  }
  dati.reserve(static_cast<std::size_t>(dimensione.QuadPart));
  char blocco[1 << 16];
  for (;;) {
    DWORD letti = 0;
    if (!ReadFile(h, blocco, sizeof blocco, &letti, nullptr)) {
      ec = ultimo_errore();
      break;
    }
    if (letti == 0) break;
    // A file that grows while it is read is held to the same limit.
    if (dati.size() + letti > massimo) {
      ec = Rifiuto::kTroppoGrande;
      break;
    }
    dati.append(blocco, letti);
  }
  CloseHandle(h);
  if (ec) dati.clear();
  return ec;
}

std::error_code rimuovi(const std::filesystem::path& file) {
  if (DeleteFileW(file.c_str())) return {};
  const DWORD e = GetLastError();
  if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) return {};
  return ultimo_errore();
}

std::error_code FileTemporaneo::crea(const std::filesystem::path& destinazione) {
  scarta();
  destinazione_ = destinazione;
  // As mkstemp: a fresh name, created only if no file has it. Shared for deletion, so that the
  // console's Ctrl-C handler can remove it while it is open.
  return dai_nome(
      destinazione, percorso_, registro_,
      [&](const std::filesystem::path& nome, std::error_code& ec) {
        const HANDLE h = CreateFileW(nome.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_DELETE,
                                     nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
          maniglia_ = reinterpret_cast<std::intptr_t>(h);
          return Tentativo::kFatto;
        }
        ec = ultimo_errore();
        const DWORD e = static_cast<DWORD>(ec.value());
        return e == ERROR_FILE_EXISTS || e == ERROR_ALREADY_EXISTS ? Tentativo::kNomePreso
                                                                   : Tentativo::kFallito;
      });
}

std::error_code FileTemporaneo::apri_diretto(const std::filesystem::path& file) {
  scarta();
  destinazione_ = file;
  const HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return ultimo_errore();
  maniglia_ = reinterpret_cast<std::intptr_t>(h);
  diretto_ = true;
  return {};
}

std::error_code FileTemporaneo::scrivi(const char* dati, std::size_t n) {
  while (n > 0) {
    const DWORD blocco = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
    DWORD scritti = 0;
    if (!WriteFile(maniglia(maniglia_), dati, blocco, &scritti, nullptr)) return ultimo_errore();
    if (scritti == 0) return std::make_error_code(std::errc::io_error);  // never a busy loop
    dati += scritti;
    n -= scritti;
  }
  return {};
}

std::error_code FileTemporaneo::chiudi() {
  const HANDLE h = maniglia(maniglia_);
  maniglia_ = kNessuna;
  if (!CloseHandle(h)) return ultimo_errore();
  return {};
}

std::error_code FileTemporaneo::sposta_su(const std::filesystem::path& destinazione) {
  if (diretto_) return {};
  if (scritture_interrotte()) {
    scarta();
    return std::make_error_code(std::errc::operation_canceled);
  }
  if (!MoveFileExW(percorso_.c_str(), destinazione.c_str(), MOVEFILE_REPLACE_EXISTING))
    return ultimo_errore();
  segna_passo(PassoScrittura::kSpostato);
  percorso_.clear();
  dimentica(registro_);
  return {};
}

void FileTemporaneo::scarta() {
  if (aperto()) CloseHandle(maniglia(maniglia_));
  maniglia_ = kNessuna;
  diretto_ = false;
  if (!percorso_.empty()) DeleteFileW(percorso_.c_str());
  percorso_.clear();
  dimentica(registro_);
}

void pulisci_alle_interruzioni() { SetConsoleCtrlHandler(all_interruzione, TRUE); }

// A lock file that only one handle may have open at a time, deleted by the system when that
// handle closes, however the program ends.
bool BloccoCartella::prova(const std::filesystem::path& cartella) {
  rilascia();
  const HANDLE h = CreateFileW(
      (cartella / L"genera_scenario.lock").c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0,
      nullptr, OPEN_ALWAYS,
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    maniglia_ = reinterpret_cast<std::intptr_t>(h);
    return true;
  }
  const DWORD e = GetLastError();
  // Held, or being deleted by the one that held it a moment ago ("access denied" too).
  return e != ERROR_SHARING_VIOLATION && e != ERROR_ACCESS_DENIED;
}

void BloccoCartella::aspetta(const std::filesystem::path& cartella) {
  // "Access denied" also means a folder the program may not write into: after a second of it,
  // there is no lock to wait for and the writing will say what is wrong.
  int negato = 0;
  while (!prova(cartella) && !scritture_interrotte()) {
    if (GetLastError() == ERROR_ACCESS_DENIED && ++negato > 100) return;
    Sleep(10);
  }
}

void BloccoCartella::rilascia() {
  if (maniglia_ != kNessuna) CloseHandle(maniglia(maniglia_));
  maniglia_ = kNessuna;
}

// Windows has ReadDirectoryChangesW, but a look at the files' times every few milliseconds is
// as quick for two files and needs no thread of its own.
struct Osservatore::Stato {
  Impronte impronte;
};

Osservatore::Osservatore(std::vector<std::filesystem::path> file)
    : s_(std::make_unique<Stato>(Stato{Impronte(std::move(file))})) {}

Osservatore::~Osservatore() = default;

bool Osservatore::aspetta(int millisecondi) { return s_->impronte.aspetta(millisecondi); }

void ignora_pipe_chiusa() {}

void flussi_binari() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

std::size_t leggi_ingresso(char* dati, std::size_t n) {
  const int letti = _read(0, dati, static_cast<unsigned>(std::min<std::size_t>(n, 1u << 20)));
  return letti > 0 ? static_cast<std::size_t>(letti) : 0;
}

bool scrivi_uscita(std::string_view dati) {
  while (!dati.empty()) {
    const int scritti =
        _write(1, dati.data(), static_cast<unsigned>(std::min<std::size_t>(dati.size(), 1u << 20)));
    if (scritti <= 0) return false;
    dati.remove_prefix(static_cast<std::size_t>(scritti));
  }
  return true;
}

void prepara_ascolto(std::intptr_t socket) {
  const BOOL si = TRUE;
  setsockopt(static_cast<SOCKET>(socket), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
             reinterpret_cast<const char*>(&si), sizeof si);
}

void apri_indirizzo(const std::string& url) {
  ShellExecuteW(nullptr, L"open", utf16(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::string per_la_shell(std::string_view argomento) {
  // cmd.exe and PowerShell both take a double-quoted word whole; a name has no '"' in it.
  if (!argomento.empty() &&
      argomento.find_first_of(" \t&()[]{}^=;!'+,`~$@#%|<>") == std::string_view::npos)
    return std::string(argomento);
  std::string citato = "\"";
  citato += argomento;
  citato += '"';
  return citato;
}

void mostra_attesa() {
  static constexpr wchar_t kTesto[] = L"Attendere";
  static constexpr wchar_t kClasse[] = L"genera_scenario.attesa";
  // Text drawn at the screen's own resolution, not scaled up and blurred by the system.
  SetProcessDPIAware();
  const HINSTANCE istanza = GetModuleHandleW(nullptr);
  WNDCLASSW classe{};
  classe.lpfnWndProc = DefWindowProcW;
  classe.hInstance = istanza;
  classe.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
  classe.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  classe.lpszClassName = kClasse;
  RegisterClassW(&classe);

  const HDC schermo = GetDC(nullptr);
  const HFONT carattere =
      CreateFontW(-MulDiv(24, GetDeviceCaps(schermo, LOGPIXELSY), 72), 0, 0, 0, FW_BOLD, FALSE,
                  FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif");
  const HGDIOBJ prima = SelectObject(schermo, carattere);
  SIZE testo{};
  GetTextExtentPoint32W(schermo, kTesto, static_cast<int>(std::size(kTesto) - 1), &testo);
  SelectObject(schermo, prima);
  ReleaseDC(nullptr, schermo);

  // The label with a margin of half its height all round, in a window with a title bar and no
  // close box: the work cannot be interrupted halfway through a file.
  constexpr DWORD kStile = WS_POPUP | WS_CAPTION | WS_BORDER;
  const int margine = testo.cy / 2;
  RECT r{0, 0, testo.cx + 4 * margine, testo.cy + 2 * margine};
  AdjustWindowRectEx(&r, kStile, FALSE, 0);
  const int larghezza = r.right - r.left, altezza = r.bottom - r.top;
  // Centred across, a third of the way down: a message box, which stands at the centre, leaves
  // it in sight.
  const HWND finestra =
      CreateWindowExW(0, kClasse, kTesto, kStile, (GetSystemMetrics(SM_CXSCREEN) - larghezza) / 2,
                      GetSystemMetrics(SM_CYSCREEN) / 3 - altezza / 2, larghezza, altezza, nullptr,
                      nullptr, istanza, nullptr);
  if (finestra == nullptr) return;  // no desktop to show it on: the work goes on all the same
  const HWND etichetta = CreateWindowExW(
      0, L"STATIC", kTesto, WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, 0, 0,
      testo.cx + 4 * margine, testo.cy + 2 * margine, finestra, nullptr, istanza, nullptr);
  SendMessageW(etichetta, WM_SETFONT, reinterpret_cast<WPARAM>(carattere), FALSE);
  ShowWindow(finestra, SW_SHOWNORMAL);
  // Painted now: the work that follows gives the window no time to paint itself.
  RedrawWindow(finestra, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  MSG messaggio;
  while (PeekMessageW(&messaggio, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&messaggio);
    DispatchMessageW(&messaggio);
  }
  GdiFlush();
  finestra_attesa = finestra;
}

void mostra_messaggio(std::string_view testo) {
  while (!testo.empty() && testo.back() == '\n') testo.remove_suffix(1);
  const std::wstring w = utf16(testo);
  // No title: the box carries the system's default one. OK (or Esc) is the only answer.
  if (MessageBoxW(finestra_attesa, w.c_str(), nullptr, MB_OK) == IDOK) return;
  // No desktop to show it on (a service, a session without one): standard error, if any.
  std::fwrite(testo.data(), 1, testo.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

bool messaggi_in_finestra() { return true; }

}  // namespace gs::piattaforma

// The few POSIX calls that the unit tests make for their own set-up, on the C runtime of
// Windows, so that their files compile there as they are. Included before every test source
// of the Windows build; the tests that need POSIX itself are skipped there.
#ifndef GS_TESTS_WINDOWS_POSIX_PER_PROVE_H
#define GS_TESTS_WINDOWS_POSIX_PER_PROVE_H

#include <sys/stat.h>

#include <cstdlib>
#include <string>

inline int setenv(const char* nome, const char* valore, int) {
  return _putenv((std::string(nome) + "=" + valore).c_str());
}
inline int unsetenv(const char* nome) { return _putenv((std::string(nome) + "=").c_str()); }

// Mode bits do not keep a Windows user from reading their own file, as they do not keep root
// from it: the cases that rely on them are left out, as they are for root.
inline unsigned geteuid() { return 0; }

// stat() of a wide path (what path::c_str() gives on Windows): the mode alone.
inline int stat(const wchar_t* file, struct stat* st) {
  struct _stat64 w {};
  const int r = _wstat64(file, &w);
  st->st_mode = static_cast<decltype(st->st_mode)>(w.st_mode);
  return r;
}

#endif  // GS_TESTS_WINDOWS_POSIX_PER_PROVE_H

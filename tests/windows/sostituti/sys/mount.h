// No mounting on Windows: the test that wants a small file system of its own skips itself, as
// it does on a POSIX system that refuses it.
#ifndef GS_TESTS_WINDOWS_SYS_MOUNT_H
#define GS_TESTS_WINDOWS_SYS_MOUNT_H

#include <cerrno>

inline int mount(const char*, const wchar_t*, const char*, unsigned long, const void*) {
  errno = ENOSYS;
  return -1;
}
inline int umount(const wchar_t*) { return 0; }

#endif  // GS_TESTS_WINDOWS_SYS_MOUNT_H

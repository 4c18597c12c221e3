// What tells a changed file from the same one without the system's help: whether it is there,
// its time and its size.
#ifndef GS_PLATFORM_IMPRONTE_H
#define GS_PLATFORM_IMPRONTE_H

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace gs::piattaforma {

class Impronte {
 public:
  explicit Impronte(std::vector<std::filesystem::path> file);
  // True when any file differs from when it was last looked at.
  bool cambiate();
  // Looks at them every few milliseconds until one differs (true) or the time is up (false).
  bool aspetta(int millisecondi);

 private:
  struct Impronta {
    bool c_e = false;
    std::filesystem::file_time_type quando{};
    std::uintmax_t byte = 0;
    bool operator==(const Impronta&) const = default;
  };
  static Impronta di(const std::filesystem::path& file);

  std::vector<std::filesystem::path> file_;
  std::vector<Impronta> viste_;
};

}  // namespace gs::piattaforma

#endif  // GS_PLATFORM_IMPRONTE_H

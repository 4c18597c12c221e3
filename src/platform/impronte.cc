#include "platform/impronte.h"

#include <thread>

namespace gs::piattaforma {

Impronte::Impronte(std::vector<std::filesystem::path> file) : file_(std::move(file)) {
  for (const auto& f : file_) viste_.push_back(di(f));
}

Impronte::Impronta Impronte::di(const std::filesystem::path& file) {
  std::error_code ec;
  Impronta i;
  const auto stato = std::filesystem::status(file, ec);
  i.c_e = !ec && std::filesystem::exists(stato);
  if (!i.c_e) return i;
  i.quando = std::filesystem::last_write_time(file, ec);
  i.byte = std::filesystem::is_regular_file(stato) ? std::filesystem::file_size(file, ec) : 0;
  return i;
}

bool Impronte::cambiate() {
  bool cambiata = false;
  for (std::size_t i = 0; i < file_.size(); ++i) {
    Impronta ora = di(file_[i]);
    if (!(ora == viste_[i])) cambiata = true;
    viste_[i] = ora;
  }
  return cambiata;
}

bool Impronte::aspetta(int millisecondi) {
  // Often enough that a save shows at once, seldom enough to cost nothing.
  constexpr auto kPasso = std::chrono::milliseconds(20);
  const auto fine = std::chrono::steady_clock::now() + std::chrono::milliseconds(millisecondi);
  for (;;) {
    if (cambiate()) return true;
    if (std::chrono::steady_clock::now() >= fine) return false;
    std::this_thread::sleep_for(kPasso);
  }
}

}  // namespace gs::piattaforma

// A scratch folder for tests that touch the disk.
#ifndef GS_TESTS_SUPPORT_CARTELLA_H
#define GS_TESTS_SUPPORT_CARTELLA_H

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace gs::test {

// A fresh folder under the system's temporary directory, removed with everything in it.
class CartellaTemporanea {
 public:
  CartellaTemporanea() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::random_device caso;
    percorso_ = std::filesystem::temp_directory_path() /
                ("gs_" + std::string(info ? info->name() : "prova") + "_" + std::to_string(caso()) +
                 std::to_string(caso()));
    std::filesystem::create_directories(percorso_);
  }
  ~CartellaTemporanea() {
    std::error_code ec;
    std::filesystem::permissions(percorso_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(percorso_, ec);
  }
  CartellaTemporanea(const CartellaTemporanea&) = delete;
  CartellaTemporanea& operator=(const CartellaTemporanea&) = delete;

  const std::filesystem::path& percorso() const { return percorso_; }
  std::filesystem::path operator/(const std::string& nome) const { return percorso_ / nome; }

 private:
  std::filesystem::path percorso_;
};

// A text file cut at CR LF; false when a CR or LF stands anywhere else or the text does not
// end with CR LF.
inline bool righe_crlf(std::string_view testo, std::vector<std::string>& righe) {
  righe.clear();
  while (!testo.empty()) {
    const auto cr = testo.find("\r\n");
    if (cr == std::string_view::npos) return false;
    const auto riga = testo.substr(0, cr);
    if (riga.find_first_of("\r\n") != std::string_view::npos) return false;
    righe.emplace_back(riga);
    testo.remove_prefix(cr + 2);
  }
  return true;
}

inline std::string contenuto(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void scrivi(const std::filesystem::path& file, const std::string& dati) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << dati;
}

}  // namespace gs::test

#endif  // GS_TESTS_SUPPORT_CARTELLA_H

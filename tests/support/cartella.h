// A scratch folder for tests that touch the disk.
#ifndef GS_TESTS_SUPPORT_CARTELLA_H
#define GS_TESTS_SUPPORT_CARTELLA_H

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

namespace gs::prova {

// A fresh folder under the system's temporary directory, removed with everything in it.
class CartellaTemporanea {
 public:
  CartellaTemporanea() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::random_device caso;
    percorso_ = std::filesystem::temp_directory_path() /
                ("gs_" + std::string(info ? info->name() : "prova") + "_" +
                 std::to_string(caso()) + std::to_string(caso()));
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

inline std::string contenuto(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void scrivi(const std::filesystem::path& file, const std::string& dati) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << dati;
}

}  // namespace gs::prova

#endif  // GS_TESTS_SUPPORT_CARTELLA_H

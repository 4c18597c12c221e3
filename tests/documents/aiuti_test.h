// Helpers shared by the document tests: a scratch folder and the split of a written file.
#ifndef GS_TESTS_DOCUMENTS_AIUTI_TEST_H
#define GS_TESTS_DOCUMENTS_AIUTI_TEST_H

#include <gtest/gtest.h>

#include "support/cartella.h"

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gs::test {

// Blanks at the end of a line.
inline std::size_t spazi_finali(std::string_view riga) {
  const auto ultimo = riga.find_last_not_of(' ');
  return ultimo == std::string_view::npos ? riga.size() : riga.size() - ultimo - 1;
}

// Blanks at the start of a line.
inline std::size_t spazi_iniziali(std::string_view riga) {
  const auto primo = riga.find_first_not_of(' ');
  return primo == std::string_view::npos ? riga.size() : primo;
}

}  // namespace gs::test

#endif  // GS_TESTS_DOCUMENTS_AIUTI_TEST_H

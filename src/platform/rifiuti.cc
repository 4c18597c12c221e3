// The reasons leggi_tutto gives for a file it opened and would not read, worded for the
// messages that name the file first ("cannot read F: it is not a regular file").
#include <string>
#include <system_error>

#include "platform/piattaforma.h"

namespace gs::piattaforma {
namespace {

class CategoriaRifiuti : public std::error_category {
 public:
  const char* name() const noexcept override { return "genera_scenario"; }
  std::string message(int codice) const override {
    switch (static_cast<Rifiuto>(codice)) {
      case Rifiuto::kNonRegolare:
        return "it is not a regular file";
      case Rifiuto::kTroppoGrande:
        return "it is larger than the most a file read may be";
    }
    return "refused";
  }
};

}  // namespace

std::error_code make_error_code(Rifiuto r) {
  static const CategoriaRifiuti categoria;
  return {static_cast<int>(r), categoria};
}

}  // namespace gs::piattaforma

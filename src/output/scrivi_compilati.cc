// Writing the three compiled files to disk; their bytes come from the encoders in format/.
#include "common/file_system.h"
#include "format/griglia.h"
#include "format/immagine_geometria.h"
#include "format/tabella.h"
#include "output/uscita.h"

namespace gs {

void scrivi_geometria(const std::filesystem::path& destinazione, const Linea& linea) {
  FileNuovo file(destinazione);
  codifica_geometria(linea, [&](const std::string& blocco) { file.scrivi(blocco); });
  file.conferma();
}

std::vector<FileScritto> scrivi_compilati(const Compilazione& c, const NomiFile& nomi) {
  std::vector<FileScritto> scritti;
  if (c.con_pianta()) {
    scrivi_geometria(nomi.geometria, c.linea);
    scritti.push_back({nomi.geometria, 2 * forma_geometria(c.linea).byte()});
  }
  const std::string tabella = immagine_tabella(c.stazioni);
  scrivi_file(nomi.tabella, tabella);
  scritti.push_back({nomi.tabella, tabella.size()});
  const std::string griglia = immagine_griglia(c.celle.tutte());
  scrivi_file(nomi.griglia, griglia);
  scritti.push_back({nomi.griglia, griglia.size()});
  return scritti;
}

}  // namespace gs

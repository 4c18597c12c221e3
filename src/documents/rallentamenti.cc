// The slowdown order form. Its figures are typed with the letter O for zero, as on the paper
// form it copies; nothing here is derived from the slowdown records of the train source.
#include <iterator>

#include "documents/documenti.h"
#include "scenario/scrittore_testo.h"

namespace gs {
namespace {

constexpr std::string_view kRigheRallentamenti[] = {
    "",
    " ",
    "                               Modulo M. 3",
    "                           ORDINE DI RALLENTAMENTO",
    " ________________________________________________________________________________",
    "  Linea  BELMONZA VALICO-SOLMA",
    "",
    "  Si ordina al macchinista del treno 237 di effettuare i seguenti rallentamenti",
    "  _______________________________________________________________________________",
    " |   |                            |Inizio dopo |          |         |            |",
    " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
    " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
    " |___|____________________________|____________|__________|_________|____________|",
    " |O1 |BELMONZA CENTRALE-CAMPOROSSO|  89+35O    |   3O     |   3OO   |     A      |",
    " |O2 |MALBORGHETTO-BAGNI LUSNIZZA |  77+65O    |   65     |    5O   |    A-D     |",
    " |O3 |MALBORGHETTO-BAGNI LUSNIZZA |  76+65O    |   3O     |   8OO   |   A-B-D    |",
    " |O4 |DOGNA-CHIUSAFORTE           |  57+25O    |   65     |   35O   |     A      |",
    " |O5 |CARNIA-VENZONE              |  39+3OO    |   75     |   35O   |     A      |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |___|____________________________|____________|__________|_________|____________|",
    "",
    "              Prescrizioni specifiche",
    " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
    " B - Interessa anche la stazione di BAGNI DI LUSNIZZA",
    " D - Avviso come da disposizioni varie localita' di servizio",
    " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
    "     i giorni esclusi i seguenti:.........                          ",
    kFineFile,
};

static_assert(std::size(kRigheRallentamenti) == 48);
static_assert(kRigheRallentamenti[12] == kRigheRallentamenti[39]);
static_assert(kRigheRallentamenti[47] == kFineFile);

}  // namespace

std::span<const std::string_view> righe_rallentamenti() { return kRigheRallentamenti; }

void dati_rallentamenti(const std::filesystem::path& file) {
  scrivi_testo(file, kRigheRallentamenti);
}

}  // namespace gs

// The train card: the train's boxes, then the timetable from the border down to the plain.
// Its columns are drawn with blanks, so the trailing blanks of a few rows are kept as they
// were typed.
#include <iterator>

#include "documents/documenti.h"
#include "scenario/scrittore_testo.h"

namespace gs {
namespace {

constexpr std::string_view kRigheScheda[] = {
    "",
    "",
    "  ___________________                                               ______________",
    " |                   |                    SCHEDA TRENO             |              |",
    " |   TRENO n.237     |                   da: BELMONZA VALICO       |    V140 B    |",
    " |___________________|                    a: SOLMA                 |     125%     |",
    "                                                                   |______________|",
    "  ___________________                ___________________",
    " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ",
    " |      DIRETTO      |              |      600T         |",
    " |___________________|              |___________________|",
    "",
    "  _________________________________________________________________________________",
    " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |",
    " | Lim.|Marc.|          |  Rs |                            |                |     |",
    " |_____|_____|__________|_____|____________________________|________________|_____|",
    " |  75 |  60 |   99+986 |     |BELMONZA VALICO(SIMULATA)   |          05.27 |     | ",
    " |  60 |     |   94+050 |     |sc.ingr.Belmonza Centrale   |                |     |",
    " |     |     |   93+586 |     |BELMONZA CENTRALE...........|05.35     05.37 |     |",
    " |  75 |     |   92+450 |     |cippo Km 92+450             |                |     |  ",
    " |     |  65 |   91+672 |     |Belmonza citta'.............|05.40     05.41 |     |",
    " |     |     |   88+233 |     |CAMPOROSSO IN VALCANALE     |     05.46      |     |",
    " |     |     |   86+790 |     |culmine                     |     05.48      |     |",
    " |     |     |   85+059 |     |Valbruna-Lussari            |     05.50      |     |",
    " |     |     |   82+651 |     |UGOVIZZA                    |     05.54      |     |",
    " |     |     |   80+066 |     |Malborghetto                |     05.57      |     |",
    " |     |     |   76+146 |     |BAGNI DI LUSNIZZA           |     06.02      |     |",
    " |     |     |   72+038 |     |LAGLESIE SAN LEOPOLDO       |     06.06      |     |",
    " |  80 |  70 |   69+550 |     |sc.ingr.Pontebba            |                |     |",
    " |     |     |   69+127 |     |PONTEBBA....................|06.10     06.13 | 4+  |",
    " |     |     |   68+143 |     |PONTEBBA PARCO              |     06.15      |     |",
    " |     |     |   65+661 |     |PIETRATAGLIATA              |     06.18      |     |",
    " |     |     |   60+160 |     |DOGNA                       |     06.22      |     |",
    " |     |     |   56+146 |     |CHIUSAFORTE                 |     06.26      |  +  |",
    " |     |     |   51+574 |     |Roveredo                    |     06.31      |     |",
    " |     |     |   48+053 |     |RESIUTTA                    |     06.35      |     |",
    " |     |     |   45+333 |     |MOGGIO                      |     06.38      | 2+  |",
    " | 105 |     |   40+500 |     |dev.ingr.Carnia             |                |     |    ",
    " |     |  95 |   40+119 |     |CARNIA......................|06.45     06.46 | 2   |",
    " |     |     |   35+170 |     |VENZONE                     |     06.52      |     |",
    " |  95 |  85 |   28+750 |     |dev.ingr.Gemona del Friuli  |                |     | ",
    " |     |     |   28+477 |     |GEMONA DEL FRIULI...........|06.58     07.00 | 2   |",
    " | 115 | 100 |   27+550 |     |cippo Km 27+550             |                |     |",
    " |     |     |   22+385 |     |ARTEGNA                     |     07.07      |     |",
    " |     |     |   18+923 |     |TARCENTO                    |     07.10      |     |",
    " | 100 |  90 |   16+150 |     |cippo Km 16+150             |                |     |",
    " |     |     |   14+431 |     |TRICESIMO                   |     07.14      |     |",
    " | 140 | 100 |   12+250 |     |cippo Km 12+250             |                |     |",
    " |     |     |   12+046 |     |San Pelagio                 |     07.17      |     |",
    " |     |     |    9+051 |     |REANA DEL ROIALE            |     07.20      |     |",
    " |     |     |    4+492 |     |P.M.VAT                     |     07.24      |     |",
    " |  95 |  85 |    1+200 |     |cippo Km 1+200              |                |     |",
    " |     |     |    0+000 |     |SOLMA                       |     07.29      | 8+  |",
    " |     |     |          |     |                            |                |     | ",
    " |     |     |          |     |IL TRENO PROSEGUIVA PER VENEZIA              |     |",
    " |_____|_____|__________|_____|TRATTO DA UN FOGLIO DI VIAGGIO DEL 1982-83___|_____|",
    kFineFile,
};

static_assert(std::size(kRigheScheda) == 57);
static_assert(kRigheScheda[56] == kFineFile);

}  // namespace

std::span<const std::string_view> righe_scheda() { return kRigheScheda; }

void dati_scheda(const std::filesystem::path& file) { scrivi_testo(file, kRigheScheda); }

}  // namespace gs

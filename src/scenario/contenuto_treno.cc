// The train source: general values, adhesion and speed-limit profiles, stations with their
// times, slowdowns and signals. Numbers stand right-aligned in fixed columns so that the
// tables stay readable by eye; the reader does not depend on the padding.
//
// Two lines end with a blank that belongs to the content: the clock line and the name of the
// fifth station.
#include <iterator>

#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"

namespace gs {
namespace {

constexpr std::string_view kRigheTreno[] = {
    "[generale]",
    "numero vetture,    10",
    "percentuale massa frenata,    125",
    "sabbia,    300",
    "orologio,    5               26            0 ",
    "[aderenze]",
    "aderenza,       0,    90",
    "aderenza,   11750,    85",
    "aderenza,   15000,    95",
    "aderenza,   28000,    80",
    "aderenza,   77000,    90",
    "[vel_limite]",
    "velocita,       0,    75",
    "velocita,    5700,    30",
    "velocita,    7000,    60",
    "velocita,    7550,    75",
    "velocita,   29900,    30",
    "velocita,   32600,    80",
    "velocita,   51250,    30",
    "velocita,   52500,    80",
    "velocita,   59500,   105",
    "velocita,   71250,    95",
    "velocita,   72450,   115",
    "velocita,   83850,   100",
    "velocita,   87500,   140",
    "velocita,   98800,    95",
    "velocita,   99150,    30",
    "velocita,  100250,    95",
    "[stazioni]",
    "stazione,       0,  8,  500,  0, 0, 1,  1,1,0,  4,1,1,    1,   5,27, 0, BELMONZA VALICO",
    "stazione,    6600, 12,  800,  1, 0, 0,  4,1,0,  2,1,1,   99,   5,37, 0, BELMONZA CENTRALE",
    "stazione,    8300, 28,  500,  0, 0, 0,  0,0,0,  0,0,0,   60,   5,41, 0, BELMONZA CITTA'",
    "stazione,   11750, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,  115,   0, 0, 0, CAMPOROSSO IN "
    "VALCANALE",
    "stazione,   14950, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, VALBRUNA-LUSSARI ",
    "stazione,   17150, 22,  600,  0, 0, 0,  0,0,0,  4,1,1,    0,   0, 0, 0, UGOVIZZA",
    "stazione,   19150, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, MALBORGHETTO",
    "stazione,   23850, 22,  600,  0, 0, 0,  0,0,0,  4,1,1,  115,   0, 0, 0, BAGNI DI LUSNIZZA",
    "stazione,   27950, 28,  400,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, LAGLESIE-SAN LEOPOLDO",
    "stazione,   30950, 12,  600,  1, 0, 0,  4,1,0,  2,1,1,   99,   6,13, 0, PONTEBBA",
    "stazione,   32050, 11,  500,  0, 0, 0,  1,1,0,  4,1,1,  105,   0, 0, 0, PONTEBBA PARCO",
    "stazione,   34500, 25,  400,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, PIETRATAGLIATA",
    "stazione,   39550, 24,  600,  0, 0, 0,  0,0,0,  4,1,1,  115,   0, 0, 0, DOGNA",
    "stazione,   43900, 12,  700,  1, 0, 0,  4,1,0,  2,1,1,  115,   0, 0, 0, CHIUSAFORTE",
    "stazione,   48500, 25,  500,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, ROVEREDO",
    "stazione,   52150, 12,  600,  1, 0, 0,  4,1,0,  2,1,1,  115,   0, 0, 0, RESIUTTA",
    "stazione,   54800, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,    1,   0, 0, 0, MOGGIO",
    "stazione,   59850, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,   60,   6,46, 0, CARNIA",
    "stazione,   64250, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, VENZONE",
    "stazione,   71650, 12,  600,  1, 0, 0,  4,1,0,  2,1,1,   99,   7, 0, 0, GEMONA DEL FRIULI",
    "stazione,   77750, 24,  600,  0, 0, 0,  0,0,0,  4,1,1,    0,   0, 0, 0, ARTEGNA",
    "stazione,   81300, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,  115,   0, 0, 0, TARCENTO",
    "stazione,   85350, 24,  600,  0, 0, 0,  0,0,0,  4,1,1,    0,   0, 0, 0, TRICESIMO",
    "stazione,   87950, 28,  400,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, S.PELAGIO",
    "stazione,   90950, 26,  600,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, REANA DEL ROIALE",
    "stazione,   95500, 11,  600,  0, 0, 0,  1,1,0,  4,1,1,  120,   0, 0, 0, P.M.DI BIVIO VAT",
    "stazione,  100000, 12,  500,  1, 0, 0,  1,1,0,  2,1,1,    0,   7,29, 0, SOLMA",
    "[rallentamenti]",
    "rallentamento,   10650,    30,  300, 1,  0,  0",
    "rallentamento,   22350,    65,   50, 1,  0,  0",
    "rallentamento,   23350,    30,  800, 1,  0,  0",
    "rallentamento,   42750,    65,  350, 1,  0,  0",
    "rallentamento,   60650,    75,  400, 1,  0,  0",
    "[segnali]",
    "segnale,    4500,   1, 3, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,    5700,   2, 2, 3,  0, 0,    0,  0,0,0, 0",
    "segnale,   15350,   1, 3, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   16450,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   21800,   1, 5, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   22950,   2, 4, 0,  0, 0,    0,  0,0,0, 210",
    "segnale,   26100,   1, 3, 0,  0, 0,    0,  0,0,0, 115",
    "segnale,   27350,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   28150,   2, 3, 4,  0, 0,    0,  0,0,0, 0",
    "segnale,   29900,   2, 2, 3,  0, 0,    0,  0,0,0, 0",
    "segnale,   33650,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   34700,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   37450,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   38650,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   41800,   1, 3, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   43050,   2, 2, 3,  0, 0,    0,  0,0,0, 0",
    "segnale,   46250,   1, 3, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   47500,   2, 4, 0,  0, 0,    0,  0,0,0, 115",
    "segnale,   50000,   1, 3, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   51250,   2, 2, 3,  0, 0,    0,  0,0,0, 0",
    "segnale,   53750,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   57750,   1, 3, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   59000,   2, 4, 0,  0, 0,    0,  0,0,0, 210",
    "segnale,   63000,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   69950,   1, 3, 4,  0, 0,    0,  0,0,0, 0",
    "segnale,   70850,   2, 2, 3,  0, 0,    0,  0,0,0, 0",
    "segnale,   75750,   1, 3, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   77000,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   79150,   1, 3, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   80350,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   83500,   1, 3, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   84700,   2, 4, 0,  0, 0,    0,  0,0,0, 115",
    "segnale,   88950,   1, 5, 0,  0, 0,    0,  0,0,0, 115",
    "segnale,   90200,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   91250,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   93550,   1, 5, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   94550,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   97800,   1, 3, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   99150,   2, 2, 3,  0, 0,    0,  0,0,0, 0",
    "[codici]",
    "[fine]",
    kFineFile,
};

static_assert(std::size(kRigheTreno) == 105);
static_assert(kRigheTreno[103] == "[fine]");
static_assert(kRigheTreno[104] == kFineFile);

}  // namespace

std::span<const std::string_view> righe_treno() { return kRigheTreno; }

void dati_treno(const std::filesystem::path& file) { scrivi_testo(file, kRigheTreno); }

}  // namespace gs

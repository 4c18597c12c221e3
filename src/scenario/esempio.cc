// The small scenario a route author starts from: the one the authors' guide walks through and
// `new` writes. A 12 km line with three stations, a curve each way, gradients, a mountain span,
// a speed board, an indication board, two signals and a slowdown; it compiles with no error
// and no warning.
#include "scenario/scenario.h"
#include "scenario/scrittore_testo.h"

namespace gs {
namespace {

constexpr std::string_view kLineaEsempio[] = {
    "[generale]",
    "lunghezza percorso,    12000",
    "progressiva chilometrica uno,    0,    12000,    1",
    "progressiva chilometrica due,    0,    0,    0",
    "progressiva chilometrica tre,    0,    0,    0",
    "sfondo uno,    80000",
    "sfondo due,    65000",
    "sfondo tre,    1",
    "ripetizione segnali 4 codici,    0    ,0",
    "[curve]",
    "curvad5,  2300,  300",
    "curvas5,  7200,  400",
    "[pendenze]",
    "pendenza,  0,   0",
    "pendenza,  3000,   12",
    "pendenza,  6500,   -8",
    "[montagne]",
    "montagna,   4700,  5300,  1",
    "[cartelli]",
    "indicatori_vmax,  1150,  70,  75,  75,  0,  ,  ,  ,  0",
    "[indicazioni]",
    "cartello_indicatore,  4650,   (GALLERIA PROVA  )(Mt.600 Km.7+350)",
    "[fine]",
    kFineFile,
};

constexpr std::string_view kTrenoEsempio[] = {
    "[generale]",
    "numero vetture,    5",
    "percentuale massa frenata,    120",
    "sabbia,    300",
    "orologio,    7               0            0",
    "[aderenze]",
    "aderenza,       0,    90",
    "[vel_limite]",
    "velocita,       0,    80",
    "velocita,    5700,    60",
    "velocita,    6400,    90",
    "[stazioni]",
    "stazione,       0,  8,  500,  0, 0, 1,  1,1,0,  4,1,1,    1,   7, 1, 0, ALFA",
    "stazione,    6000, 12,  600,  1, 0, 0,  4,1,0,  2,1,1,   99,   7, 6, 0, BETA",
    "stazione,   11500, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,  115,   7,12, 0, GAMMA",
    "[rallentamenti]",
    "rallentamento,   9000,    30,  300, 1,  0,  0",
    "[segnali]",
    "segnale,    4500,   1, 3, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,    5700,   2, 2, 3,  0, 0,    0,  0,0,0, 0",
    "[codici]",
    "[fine]",
    kFineFile,
};

}  // namespace

std::span<const std::string_view> righe_linea_esempio() { return kLineaEsempio; }
std::span<const std::string_view> righe_treno_esempio() { return kTrenoEsempio; }

}  // namespace gs

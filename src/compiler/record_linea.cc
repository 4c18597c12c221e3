// The line source's records: its general section, then the records after it.
#include "compiler/record_sorgenti.h"

namespace gs {
namespace {

using enum TipoCampo;

constexpr CampoSorgente kCampiLunghezza[] = {
    {.nome = "line length",
     .segnaposto = "LENGTH",
     .tipo = kI32,
     .unita = "m",
     .significato = "line length",
     .controlli = "up to 1000000 (error 1); -6974 or more, so that the grid has a cell 1 "
                  "(error 25)",
     .approdo = {Dove::kVoce, 84, "fine"},
     .diventa = "entry 84 `fine`; sizes the grid (cells 0 to round((length + 7000) / 50)) and "
                "the plan view (metres 0 to length + 7000)"},
};

// The three chainage sections share their fields: where each lands is decided by the order
// of their starts (progressive_ordina).
constexpr CampoSorgente kCampiSezione[] = {
    {.nome = "chainage section start",
     .segnaposto = "START",
     .tipo = kI32,
     .unita = "m",
     .significato = "section start on the line",
     .controlli = "multiple of 50 (error 2); the sum of the three starts within 32 bits (error 25)",
     .approdo = {Dove::kVociSezioni, 0, "inizio"},
     .diventa = "entry 81, 82 or 83 `inizio` (see [Chainage sections](#chainage-sections))"},
    {.nome = "chainage value",
     .segnaposto = "CHAINAGE",
     .tipo = kI32,
     .unita = "m",
     .significato = "chainage at that start",
     .controlli = "multiple of 50 (error 2); with the 100 of field 3, within 32 bits (error 25)",
     .approdo = {Dove::kVociSezioni, 0, "fine"},
     .diventa = "the same entry's `fine`, plus 100 when field 3 is 1"},
    {.nome = "chainage direction flag",
     .segnaposto = "FLAG",
     .tipo = kI32,
     .unita = "",
     .significato = "direction flag: 1 = chainage decreasing along the line",
     .controlli = "not checked; only 1 adds 100",
     .approdo = {Dove::kVociSezioni, 0, "posizione"},
     .diventa = "the same entry's `posizione`"},
};

constexpr CampoSorgente kCampiSfondoUno[] = {
    {.nome = "background value one",
     .segnaposto = "VALUE",
     .tipo = kI32,
     .unita = "",
     .significato = "background value one",
     .controlli = "",
     .approdo = {Dove::kVoce, 85, "inizio"},
     .diventa = "entry 85 `inizio`"},
};
constexpr CampoSorgente kCampiSfondoDue[] = {
    {.nome = "background value two",
     .segnaposto = "VALUE",
     .tipo = kI32,
     .unita = "",
     .significato = "background value two",
     .controlli = "",
     .approdo = {Dove::kVoce, 85, "posizione"},
     .diventa = "entry 85 `posizione`"},
};
constexpr CampoSorgente kCampiSfondoTre[] = {
    {.nome = "background value three",
     .segnaposto = "VALUE",
     .tipo = kI32,
     .unita = "",
     .significato = "background value three",
     .controlli = "",
     .approdo = {Dove::kVoce, 85, "fine"},
     .diventa = "entry 85 `fine`"},
};

constexpr CampoSorgente kParolaRipetizione[] = {
    {.nome = "number of codes",
     .segnaposto = "N",
     .tipo = kParola,
     .unita = "",
     .significato = "the number of codes: the keyword holds `4` or `9`",
     .controlli = "4 or 9, and 4 when it holds both (error 5)",
     .approdo = {Dove::kVoce, 86, "posizione"},
     .diventa = "entry 86 `posizione`: 4 or 9, or 0 when the second distance is 0"},
};
constexpr CampoSorgente kCampiRipetizione[] = {
    {.nome = "first repetition distance",
     .segnaposto = "FIRST",
     .tipo = kI32,
     .unita = "m",
     .significato = "first repetition distance",
     .controlli = "multiple of 50 (error 3)",
     .approdo = {Dove::kVoce, 86, "inizio"},
     .diventa = "entry 86 `inizio`"},
    {.nome = "second repetition distance",
     .segnaposto = "SECOND",
     .tipo = kI32,
     .unita = "m",
     .significato = "second repetition distance",
     .controlli = "multiple of 50 (error 4)",
     .approdo = {Dove::kVoce, 86, "fine"},
     .diventa = "entry 86 `fine`"},
};

constexpr CampoSorgente kCampiPendenza[] = {
    {.nome = "gradient start",
     .segnaposto = "START",
     .tipo = kI32,
     .unita = "m",
     .significato = "start",
     .controlli = "inside the grid (error 15)",
     .approdo = {},
     .diventa = "the gradient holds from cell round(start / 50)",
     .cella = RegolaCella::kProfilo},
    {.nome = "gradient",
     .segnaposto = "GRADIENT",
     .tipo = kI32,
     .unita = "per mille",
     .significato = "gradient (negative downhill)",
     .controlli = "-100 to 155 (error 25, at this value when its cells are written)",
     .approdo = {Dove::kCelle, 0, "pendenza"},
     .diventa = "`pendenza` of each cell = gradient + 100 (100 = level, -8 is stored as 92)"},
};

constexpr CampoSorgente kParolaCurva[] = {
    {.nome = "curve side",
     .segnaposto = "S",
     .tipo = kParola,
     .unita = "",
     .significato = "side: `d` right-hand, `s` left-hand (a keyword holding an `s` anywhere is "
                    "left-hand)",
     .controlli = "",
     .approdo = {Dove::kPianta, 0, ""},
     .diventa = "the direction of the turn"},
    {.nome = "curve class",
     .segnaposto = "C",
     .tipo = kParola,
     .unita = "",
     .significato = "class 1 to 6 = 0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003 radians per "
                    "metre; the first of the digits 1, 2, ... 6 found in the keyword decides",
     .controlli = "a digit 1 to 6 (error 103)",
     .approdo = {Dove::kPianta, 0, ""},
     .diventa = "the turn of each metre of the curve"},
};
constexpr CampoSorgente kCampiCurva[] = {
    {.nome = "curve start",
     .segnaposto = "START",
     .tipo = kI32,
     .unita = "m",
     .significato = "start",
     .controlli = "inside the grid (error 15)",
     .approdo = {Dove::kPianta, 0, ""},
     .diventa = "the plan view runs straight up to metre START"},
    {.nome = "curve length",
     .segnaposto = "LENGTH",
     .tipo = kI32,
     .unita = "m",
     .significato = "length",
     .controlli = "start + length at most line length + 7000 (error 25) and below metre 1000000 "
                  "(error 103)",
     .approdo = {Dove::kPianta, 0, ""},
     .diventa = "metres START + 1 to START + LENGTH turn by the class's curvature"},
};

constexpr CampoSorgente kCampiMontagna[] = {
    {.nome = "mountain span start",
     .segnaposto = "START",
     .tipo = kI32,
     .unita = "m",
     .significato = "start",
     .controlli = "inside the grid (error 15; 25 before its start); its distance from the "
                  "previous span's end within 32 bits (error 25)",
     .approdo = {Dove::kCelle, 0, "montagna"},
     .diventa = "`montagna` from cell round(start / 50)",
     .cella = RegolaCella::kProfilo},
    {.nome = "mountain span end",
     .segnaposto = "END",
     .tipo = kI32,
     .unita = "m",
     .significato = "end",
     .controlli = "the span's cells inside the grid (error 25)",
     .approdo = {Dove::kCelle, 0, "montagna"},
     .diventa = "`montagna` up to cell round(end / 50 - 1)",
     .cella = RegolaCella::kFineCampata},
    {.nome = "mountain span kind",
     .segnaposto = "KIND",
     .tipo = kI32,
     .unita = "",
     .significato = "mountain side: 1 or 2; 11 or 12 for the same with distance markers",
     .controlli = "not checked",
     .approdo = {Dove::kCelle, 0, "montagna"},
     .diventa = "`montagna` of every cell of the span: the kind, minus 10 when above 10 (its "
                "low 8 bits)"},
};

constexpr CampoSorgente kCampiIndicatori[] = {
    {.nome = "speed board position",
     .segnaposto = "POSITION",
     .tipo = kI32,
     .unita = "m",
     .significato = "position",
     .controlli = "inside the grid (error 15; 25 before its start); a free cell (error 21)",
     .approdo = {Dove::kCelle, 0, "tipo"},
     .diventa = "cell round(position / 50 + 1), `tipo` 6",
     .cella = RegolaCella::kPunto},
    {.nome = "vas",
     .segnaposto = "vas",
     .tipo = kI32,
     .unita = "km/h",
     .significato = "first speed of the first group",
     .controlli = "with `vad`, a cell value within -32768 to 32767 (error 25)",
     .approdo = {Dove::kCelle, 0, "dato1"},
     .diventa = "`dato1` = round(`vad` / 5 + `vas` x 20)"},
    {.nome = "vbs",
     .segnaposto = "vbs",
     .tipo = kI32,
     .unita = "km/h",
     .significato = "second speed of the first group",
     .controlli = "with `vbd`, a cell value within -32768 to 32767 (error 25)",
     .approdo = {Dove::kCelle, 0, "dato2"},
     .diventa = "`dato2` = round(`vbd` / 5 + `vbs` x 20)"},
    {.nome = "vcs",
     .segnaposto = "vcs",
     .tipo = kI32,
     .unita = "km/h",
     .significato = "third speed of the first group",
     .controlli = "with `vcd`, a cell value within -32768 to 32767 (error 25)",
     .approdo = {Dove::kCelle, 0, "dato3"},
     .diventa = "`dato3` = round(`vcd` / 5 + `vcs` x 20)"},
    {.nome = "strisces",
     .segnaposto = "strisces",
     .tipo = kI32,
     .unita = "",
     .significato = "stripes of the first group",
     .controlli = "",
     .approdo = {Dove::kCelle, 0, "dato4"},
     .diventa = "`dato4` = `strisces` x 10 + `strisced` (low 16 bits)"},
    {.nome = "vad",
     .segnaposto = "vad",
     .tipo = kI32,
     .unita = "km/h",
     .significato = "first speed of the second group",
     .controlli = "see field 2",
     .approdo = {Dove::kCelle, 0, "dato1"},
     .diventa = "part of `dato1`, see field 2"},
    {.nome = "vbd",
     .segnaposto = "vbd",
     .tipo = kI32,
     .unita = "km/h",
     .significato = "second speed of the second group",
     .controlli = "see field 3",
     .approdo = {Dove::kCelle, 0, "dato2"},
     .diventa = "part of `dato2`, see field 3"},
    {.nome = "vcd",
     .segnaposto = "vcd",
     .tipo = kI32,
     .unita = "km/h",
     .significato = "third speed of the second group",
     .controlli = "see field 4",
     .approdo = {Dove::kCelle, 0, "dato3"},
     .diventa = "part of `dato3`, see field 4"},
    {.nome = "strisced",
     .segnaposto = "strisced",
     .tipo = kI32,
     .unita = "",
     .significato = "stripes of the second group",
     .controlli = "",
     .approdo = {Dove::kCelle, 0, "dato4"},
     .diventa = "part of `dato4`, see field 5"},
};

constexpr CampoSorgente kCampiCartello[] = {
    {.nome = "indication board position",
     .segnaposto = "POSITION",
     .tipo = kI32,
     .unita = "m",
     .significato = "position",
     .controlli = "inside the grid (error 15; 25 before its start); a free cell (error 6); at "
                  "most 79 boards (error 25)",
     .approdo = {Dove::kCelle, 0, "tipo"},
     .diventa = "cell round(position / 50 + 1): `tipo` 14, `dato1` = the board's table entry",
     .cella = RegolaCella::kPunto},
    {.nome = "indication board text",
     .segnaposto = "TEXT",
     .tipo = kTesto,
     .unita = "",
     .significato = "text: runs to the end of the line, no comma unless quoted",
     .controlli = "",
     .approdo = {Dove::kVoceCartello, 0, "nome"},
     .diventa = "`nome` of the board's table entry: 80 for the first board, 79 for the next, ..."},
};

constexpr std::string_view kScritteLunghezza[] = {"lunghezza percorso"};
constexpr std::string_view kScritteTre[] = {"progressiva chilometrica tre"};
constexpr std::string_view kScritteDue[] = {"progressiva chilometrica due"};
constexpr std::string_view kScritteUno[] = {"progressiva chilometrica uno"};
constexpr std::string_view kScritteSfondoUno[] = {"sfondo uno"};
constexpr std::string_view kScritteSfondoDue[] = {"sfondo due"};
constexpr std::string_view kScritteSfondoTre[] = {"sfondo tre"};
constexpr std::string_view kScritteRipetizione[] = {"ripetizione segnali 4 codici",
                                                    "ripetizione segnali 9 codici"};
constexpr std::string_view kScrittePendenza[] = {"pendenza"};
constexpr std::string_view kScritteCurva[] = {"curvad1", "curvad2", "curvad3", "curvad4",
                                              "curvad5", "curvad6", "curvas1", "curvas2",
                                              "curvas3", "curvas4", "curvas5", "curvas6"};
constexpr std::string_view kScritteMontagna[] = {"montagna"};
constexpr std::string_view kScritteIndicatori[] = {"indicatori_vmax"};
constexpr std::string_view kScritteCartello[] = {"cartello_indicatore"};

// The first word of each record is the one a hint names it by ("records with "sfondo" are
// read ..."); the general section's chainage, background and repetition words count only in
// lower case.
constexpr ParolaChiave kParoleLunghezza[] = {{"lunghezza"}, {"percorso"}};
constexpr ParolaChiave kParoleTre[] = {{"progressiva", true}, {"tre", true}};
constexpr ParolaChiave kParoleDue[] = {{"progressiva", true}, {"due", true}};
constexpr ParolaChiave kParoleUno[] = {{"progressiva", true}, {"uno", true}};
constexpr ParolaChiave kParoleSfondoUno[] = {{"sfondo", true}, {"uno", true}};
constexpr ParolaChiave kParoleSfondoDue[] = {{"sfondo", true}, {"due", true}};
constexpr ParolaChiave kParoleSfondoTre[] = {{"sfondo", true}, {"tre", true}};
constexpr ParolaChiave kParoleRipetizione[] = {{"ripetizione", true}, {"segnali", true}};
constexpr ParolaChiave kParolePendenza[] = {{"pendenza"}};
constexpr ParolaChiave kParoleCurva[] = {{"curva"}};
constexpr ParolaChiave kParoleMontagna[] = {{"montagna"}};
constexpr ParolaChiave kParoleIndicatori[] = {{"indicatori_v"}};
constexpr ParolaChiave kParoleCartello[] = {{"cartello"}, {"indicat"}};

using enum TipoRecord;

// In test order: a keyword field that names several records reads each one's values in turn,
// "tre" before "due" before "uno".
constexpr RecordSorgente kRighe[] = {
    {kLunghezza,
     Sezione::kLineaGenerale,
     "lunghezza percorso",
     kScritteLunghezza,
     kParoleLunghezza,
     {},
     kCampiLunghezza},
    {kProgressivaChilometricaTre,
     Sezione::kLineaGenerale,
     "progressiva chilometrica tre",
     kScritteTre,
     kParoleTre,
     {},
     kCampiSezione},
    {kProgressivaChilometricaDue,
     Sezione::kLineaGenerale,
     "progressiva chilometrica due",
     kScritteDue,
     kParoleDue,
     {},
     kCampiSezione},
    {kProgressivaChilometricaUno,
     Sezione::kLineaGenerale,
     "progressiva chilometrica uno",
     kScritteUno,
     kParoleUno,
     {},
     kCampiSezione},
    {kSfondoUno,
     Sezione::kLineaGenerale,
     "sfondo uno",
     kScritteSfondoUno,
     kParoleSfondoUno,
     {},
     kCampiSfondoUno},
    {kSfondoDue,
     Sezione::kLineaGenerale,
     "sfondo due",
     kScritteSfondoDue,
     kParoleSfondoDue,
     {},
     kCampiSfondoDue},
    {kSfondoTre,
     Sezione::kLineaGenerale,
     "sfondo tre",
     kScritteSfondoTre,
     kParoleSfondoTre,
     {},
     kCampiSfondoTre},
    {kRipetizione, Sezione::kLineaGenerale, "ripetizione segnali N codici", kScritteRipetizione,
     kParoleRipetizione, kParolaRipetizione, kCampiRipetizione},
    {kPendenza, Sezione::kLinea, "pendenza", kScrittePendenza, kParolePendenza, {}, kCampiPendenza},
    {kCurva, Sezione::kLinea, "curvaSC", kScritteCurva, kParoleCurva, kParolaCurva, kCampiCurva},
    {kMontagna, Sezione::kLinea, "montagna", kScritteMontagna, kParoleMontagna, {}, kCampiMontagna},
    {kIndicatori,
     Sezione::kLinea,
     "indicatori_vmax",
     kScritteIndicatori,
     kParoleIndicatori,
     {},
     kCampiIndicatori},
    {kCartello,
     Sezione::kLinea,
     "cartello_indicatore",
     kScritteCartello,
     kParoleCartello,
     {},
     kCampiCartello},
};

}  // namespace

extern const std::span<const RecordSorgente> kRecordLinea;
const std::span<const RecordSorgente> kRecordLinea = kRighe;

}  // namespace gs

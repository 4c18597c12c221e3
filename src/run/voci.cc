// The entries of the errors and warnings. The examples are added to the small scenario that
// `new` writes (a 12000 m line whose grid ends at 19000 m; stations ALFA at 0 m, BETA at
// 6000 m and GAMMA at 11500 m; signals at 4500 m and 5700 m; a speed board at 1150 m; an
// indication board at 4650 m; a slowdown at 9000 m): a test compiles each one and checks that
// it gives its entry's number and a message of its cause's form.
#include "run/spiegazioni.h"

#include "common/diagnostica.h"
#include "common/errori.h"

namespace gs {
namespace {

// What the two readers do when they stop, said once for the entries that share it.
constexpr std::string_view kFermaLinea =
    "The line reader records it and stops: the rest of the line source and the whole train "
    "source are not read. The compile still writes its files, which hold what was read so far.";
constexpr std::string_view kFermaTreno =
    "The train reader records it and stops at this record: the records after it are not read "
    "and the speed-limit and adhesion profiles are not completed. The compile still writes its "
    "files.";
constexpr std::string_view kPasso =
    "The code-point pass, which runs after both sources have been read, records it and goes "
    "on; a later one of these errors replaces it. The compile still writes its files.";

constexpr Causa k1[] = {{
    .modello = "the line length of {L} m is above the largest, 1000000 m",
    .generale = "lunghezza percorso, 1000001",
    .rimedio = "Split the route into lines of at most 1000000 m.",
}};

constexpr Causa k2[] = {
    {.modello = "the chainage section starting at {S} m does not start at a multiple of 50 m "
                "(table entry {N})",
     .generale = "progressiva chilometrica uno, 25, 12000, 0",
     .rimedio = "Start every chainage section at a multiple of 50 m of the line."},
    {.modello =
         "the chainage section starting at {S} m has the chainage {C} m{...}, which is not a "
         "multiple of 50 m (table entry {N})",
     .generale = "progressiva chilometrica uno, 0, 12025, 0",
     .rimedio =
         "Give a chainage value that is a multiple of 50 m. A decreasing section (flag 1) gets "
         "100 m added, which keeps a multiple of 50 m one."},
};

constexpr Causa k3[] = {{
    .modello = "the first signal-repetition distance, {D} m, is not a multiple of 50 m",
    .generale = "ripetizione segnali 4 codici, 125, 0",
    .rimedio = "Give both repetition distances in multiples of 50 m.",
}};

constexpr Causa k4[] = {{
    .modello = "the second signal-repetition distance, {D} m, is not a multiple of 50 m",
    .generale = "ripetizione segnali 4 codici, 0, 125",
    .rimedio = "Give both repetition distances in multiples of 50 m.",
}};

constexpr Causa k5[] = {{
    .modello = "the signal-repetition keyword \"{K}\" names neither 4 nor 9 codes; write "
               "\"ripetizione segnali 4 codici\" or \"ripetizione segnali 9 codici\"",
    .generale = "ripetizione segnali codici, 0, 0",
    .rimedio = "Put the number of codes, 4 or 9, in the keyword.",
}};

constexpr Causa k6[] = {{
    .modello = "the indication board at {P} m falls in the cell at {C} m, which already holds {X}",
    .linea = "cartello_indicatore, 4675, (SECONDO)",
    .rimedio =
        "Move one of the two points to another 50 m cell (4675 m and 4650 m round to the same "
        "cell). A mountain distance marker does not count: a board replaces it.",
}};

constexpr Causa k7[] = {{
    .modello =
        "the code point at {P} m goes to the cell at {C} m (a code point record takes the cell "
        "before the one other points at its position take), which already holds {X}",
    .treno = "abbattimento, 4550, 180",
    .rimedio =
        "Move the code point by 50 m or more: its cell is round(position / 50), one before the "
        "cell of a signal or board at the same position.",
}};

constexpr Causa k8[] = {{
    .modello = "the station at {P} m does not stand at a multiple of 50 m",
    .treno = "stazione, 9025, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, DELTA",
    .rimedio = "Put the station at a multiple of 50 m.",
}};

constexpr Causa k9[] = {{
    .modello = "the station at {P} m is {L} m long, which is not a multiple of 100 m",
    .treno = "stazione, 9000, 12, 450, 0,0,0,0,0,0,0,0,0,0, 0,0,0, DELTA",
    .rimedio = "Give the station a length that is a multiple of 100 m.",
}};

constexpr Causa k10[] = {{
    .modello =
        "station {S} is station {J}; with the line's {B} indication boards the table has room for "
        "{M} stations",
    .situazione =
        "The 79th station of a train whose line has no indication board, or the 48th when the "
        "line has 31: the stations and the board texts share one table of 78 entries.",
    .rimedio =
        "Use fewer stations or fewer indication boards: stations plus boards may be at most 78.",
}};

constexpr Causa k11[] = {{
    .modello =
        "no free cell for the code point just before {signal}, which stands within 1000 m before "
        "the warning point of {slowdown}; the two cells before the signal hold {X}",
    .linea = "indicatori_vmax, 7400, 60, 60, 60, 0, , , , 0\nindicatori_vmax, 7450, 60, 60, 60, 0, "
             ", , , 0",
    .treno = "segnale, 7500, 1, 3, 0, 0, 0, 0, 0,0,0, 0",
    .rimedio =
        "Keep one of the two cells before the signal (50 m and 100 m before it) free of other "
        "points, or move the signal.",
}};

constexpr Causa k12[] = {{
    .modello =
        "no free cell for a code point {A} m to {B} m before the start of {slowdown}; the cells "
        "hold {X}",
    .linea = "indicatori_vmax, 8650, 60, 60, 60, 0, , , , 0\nindicatori_vmax, 8700, 60, 60, 60, 0, "
             ", , , 0\n"
             "indicatori_vmax, 8750, 60, 60, 60, 0, , , , 0",
    .rimedio =
        "Keep at least one cell free 250 to 350 m, 550 to 650 m and 900 to 1000 m before each "
        "slowdown's start, or move the slowdown.",
}};

constexpr Causa k13[] = {
    {.modello =
         "no free cell for the code point due every 400 m inside {slowdown} near {P} m; the cells "
         "hold {X}; no further code point is placed inside this slowdown",
     .linea = "indicatori_vmax, 3350, 60, 60, 60, 0, , , , 0\nindicatori_vmax, 3400, 60, 60, 60, "
              "0, , , , 0\n"
              "indicatori_vmax, 3450, 60, 60, 60, 0, , , , 0",
     .treno = "rallentamento, 3000, 30, 1000, 1, 0, 0",
     .rimedio =
         "Inside a slowdown under 110 km/h a code point is due every 400 m from its start, in that "
         "cell or one beside it: keep one of the three free."},
    {.modello =
         "no free cell for the code point before {signal}, the first signal after the end of "
         "{slowdown}; the cells hold {X}",
     .linea = "indicatori_vmax, 9350, 60, 60, 60, 0, , , , 0",
     .treno = "segnale, 9400, 1, 3, 0, 0, 0, 0, 0,0,0, 0",
     .rimedio =
         "Keep one of the two cells just before the first signal within 600 m after a slowdown's "
         "end free."},
};

constexpr Causa k15[] = {
    {.modello =
         "{the record} at {P} m lies beyond the end of the track grid, which ends at {G} m, 7000 m "
         "past the end of the {L} m line; the last position it takes is {Q} m",
     .treno = "segnale, 19000, 1, 3, 0, 0, 0, 0, 0,0,0, 0",
     .rimedio =
         "Keep every position within the line's length plus 6900 m; most points belong within the "
         "line itself."},
    {.modello =
         "the station at {P} m lies beyond the end of the track grid, which ends at {G} m, 7000 m "
         "past the end of the {L} m line; a station needs 800 m of grid beyond its position, so "
         "the "
         "last it takes is {Q} m",
     .treno = "stazione, 18500, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, DELTA",
     .rimedio = "Keep every station at least 800 m before the grid's end."},
};

constexpr Causa k16[] = {{
    .modello = "the signal at {P} m falls in the cell at {C} m, which already holds {X}",
    .treno = "segnale, 9000, 1, 3, 0, 0, 0, 0, 0,0,0, 0",
    .rimedio = "Move the signal or the other point to another 50 m cell.",
}};

constexpr Causa k17[] = {{
    .modello =
        "the warning point of the slowdown at {P} m, 1200 m before it, falls in the cell at {C} m, "
        "which already holds {X}",
    .treno = "rallentamento, 7400, 60, 200, 1, 0, 0",
    .rimedio = "Move the slowdown, or the point that holds the cell 1200 m before it.",
}};

constexpr Causa k18[] = {{
    .modello =
        "the start of the slowdown at {P} m falls in the cell at {C} m, which already holds {X}",
    .treno = "rallentamento, 4500, 60, 200, 1, 0, 0",
    .rimedio = "Move the slowdown's start or the other point to another 50 m cell.",
}};

constexpr Causa k19[] = {{
    .modello =
        "the end of the slowdown at {P} m, {L} m long, falls in the cell at {C} m, which already "
        "holds {X}",
    .treno = "rallentamento, 4000, 60, 500, 1, 0, 0",
    .rimedio = "Change the slowdown's length, or move the point at its end.",
}};

constexpr Causa k20[] = {{
    .modello =
        "the {first} of the four cells before the warning point of the slowdown at {P} m (f_ta is "
        "set) falls in the cell at {C} m, which already holds {X}",
    .treno = "rallentamento, 5900, 60, 200, 1, 1, 0",
    .rimedio =
        "With f_ta set, the four cells 50 to 200 m before the warning point must be free: move the "
        "slowdown or the point, or leave f_ta at 0. A slowdown at a position such as 2475 m, whose "
        "warning cell is one of the four, can never have f_ta set.",
}};

constexpr Causa k21[] = {{
    .modello = "the speed board at {P} m falls in the cell at {C} m, which already holds {X}",
    .linea = "indicatori_vmax, 1175, 60, 60, 60, 0, , , , 0",
    .rimedio =
        "Move one of the two points to another 50 m cell (1175 m and 1150 m round to the same "
        "cell).",
}};

constexpr Causa k22[] = {{
    .modello =
        "station {S} starts at {A} m, {D} the end of the previous station {T} at {E} m; stations "
        "follow in running order with at least 350 m between one's end and the next's start",
    .treno = "stazione, 11000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, DELTA",
    .rimedio =
        "Write the stations in running order, each starting at least 350 m after the previous "
        "one ends; a station's span depends on its kind and length.",
}};

constexpr Causa k24[] = {{
    .modello =
        "the stop of station {S} at {P} m would fall in the cell at {C} m, too near the start of "
        "the track grid: its span ends at {E} m, and must end at 150 m or later",
    .treno = "stazione, 0, 12, 100, 0,0,0,0,0,0,0,0,0,0, 0,0,0, DELTA",
    .rimedio =
        "Make the station longer, or move it so that its span ends at 150 m or later; kinds 25 and "
        "above have no stop and are not checked.",
}};

constexpr Causa k25[] = {
    {.modello = "{field} \"{V}\" is not a whole number",
     .treno = "sabbia, 3OO",
     .rimedio =
         "Write the value as a whole number: digits with an optional minus sign, no decimal point, "
         "no tab."},
    {.modello = "{field} {V} is outside {A} to {B}",
     .treno = "sabbia, 40000",
     .rimedio = "Keep the value within the range of its field, given in the message."},
    {.modello = "the record runs past the end of the file{...}",
     .situazione =
         "The last record of a source has fewer values than its kind reads (\"segnale, 4500\" as "
         "the last line), or the general section ends in dash fields at the end of the file.",
     .rimedio = "Complete the record, and end the line source with the head [fine]."},
    {.modello = "{field} of {N} bytes is longer than 65535 bytes",
     .situazione =
         "A station name or an indication-board text longer than 65535 bytes, often a quote "
         "left open.",
     .rimedio = "Shorten the text, or close its quote."},
    {.modello = "a line length of {L} m gives a track grid without cell 1; the length must be "
                "-6974 m or more",
     .generale = "lunghezza percorso, -7000",
     .rimedio = "Give the line's real length in metres."},
    {.modello = "the general section, from its [generale] at line {N}, has no \"lunghezza "
                "percorso\" record, "
                "which sizes the track grid",
     .situazione =
         "The general section, from the first field holding [generale] to the first section head, "
         "has no record \"lunghezza percorso\". A comment line before the section that mentions "
         "[generale] starts the section early, and the real head then ends it.",
     .rimedio = "Add \"lunghezza percorso, LENGTH\" to the general section, and write [generale] "
                "nowhere but "
                "in its head."},
    {.modello = "the gradient of {G} per mille from {P} m does not fit a track cell (-100 to 155 "
                "per mille)",
     .linea = "pendenza, 10000, 200",
     .rimedio = "Keep gradients within -100 and 155 per mille. The error stands at the record that "
                "set the "
                "gradient, though it is found when the cells after it are filled."},
    {.modello =
         "the speed limit of {V} km/h from {P} m does not fit a track cell (-2 to 1277 km/h)",
     .treno = "velocita, 8000, 2000",
     .rimedio =
         "Keep speed limits within 0 and 1275 km/h. The error stands at the record that set the "
         "limit, though it is found when the cells after it are filled."},
    {.modello = "the curve from {P} m, {L} m long, runs past the end of the plan view at metre "
                "{M}, 7000 m "
                "past the end of the line",
     .linea = "curvad1, 18000, 2000",
     .rimedio = "End every curve by the line's length plus 7000 m, the plan view's last metre."},
    {.modello = "{the point} lies before the start of the track grid",
     .linea = "cartello_indicatore, -100, (PRIMA)",
     .rimedio = "Give the point a position of 0 m or more."},
    {.modello =
         "{the point} falls at {P} m, outside the track grid, which runs from -50 m to {G} m",
     .treno = "rallentamento, 9500, 60, 20000, 1, 0, 0",
     .rimedio = "Keep every point, and a slowdown's end, inside the grid."},
    {.modello = "the signal at {P} m needs its four approach markers 100 to 400 m before it inside "
                "the track "
                "grid, which starts at -50 m: the one at {M} m is not; a signal must stand at 325 "
                "m or later",
     .treno = "segnale, 200, 1, 3, 0, 0, 0, 0, 0,0,0, 0",
     .rimedio = "Put signals at 325 m or later."},
    {.modello =
         "the speed board at {P} m: {pair} ({A} and {B} km/h) give a cell value, left speed x 20 + "
         "right speed / 5, outside -32768 to 32767",
     .linea = "indicatori_vmax, 2000, 2000, 60, 60, 0, , , , 0",
     .rimedio = "Keep the board's speeds realistic: a left speed of 1638 km/h at most."},
    {.modello =
         "the mountain span from {S} m to {E} m runs past the end of the track grid at {G} m",
     .linea = "montagna, 18000, 25000, 1",
     .rimedio = "End the span within the grid."},
    {.modello =
         "the mountain span from {S} m to {E} m starts before the track grid, which starts at 0 m",
     .linea = "montagna, -100, 500, 1",
     .rimedio = "Start the span at 0 m or later."},
    {.modello = "this is mountain record 81; a line holds at most 80",
     .situazione = "An 81st \"montagna\" record.",
     .rimedio = "Join neighbouring spans: a line holds at most 80 mountain records."},
    {.modello =
         "the indication board at {P} m is the 80th; a line holds at most 79 indication boards",
     .situazione =
         "An 80th \"cartello_indicatore\" record, once its position and cell are found good.",
     .rimedio =
         "Use at most 79 indication boards, fewer when the train has many stations (error 10)."},
    {.modello = "{what} comes to {V}, which does not fit 32 bits",
     .treno = "stazione, 13000, 28, 100, 0,0,0,0,0,0,0,0,0,0, 35791395, 0, 0, DELTA",
     .rimedio =
         "Each step of a computation must stay within -2147483648 and 2147483647: the scheduled "
         "time, a station's start and end, a slowdown's end, the sum of the chainage starts, the "
         "gap "
         "between mountain spans. Give realistic values."},
    {.modello =
         "station {S} at {P} m spans {A} m to {B} m, past the end of the track grid at {G} m",
     .treno = "stazione, 13000, 8, 10000, 0,0,0,0,0,0,0,0,0,0, 0,0,0, DELTA",
     .rimedio = "Give the station a length that keeps its span inside the grid."},
    {.modello = "the train source {F} does not exist",
     .situazione = "The built-in run's train source is missing when the compile reaches it.",
     .rimedio = "Run the program again; nothing else should remove its sources while it runs."},
    {.modello = "the point at {P} m lies outside the track grid ({A} to {B} m)",
     .situazione = "A point that no check before it stopped; it should not happen.",
     .rimedio = "Report it with the sources that give it."},
};

constexpr Causa k101[] = {{
    .modello = "the line source {F} does not exist",
    .situazione =
        "The built-in run finds no line source in the program's folder. compile and check read "
        "both sources first and stop with exit status 2 when one cannot be read.",
    .rimedio = "Run the program again from a folder it may write into.",
}};

constexpr Causa k102[] = {
    {.modello = "the line source has no [generale] line{...}",
     .linea = "[general]\nlunghezza percorso, 12000\n[fine]",
     .linea_intera = true,
     .rimedio =
         "Start the general section with the line [generale] (an empty file, a file of another "
         "kind, or one whose only [generale] is its last field give this error too)."},
};

constexpr Causa k103[] = {
    {.modello =
         "the curve keyword \"{K}\" holds no class digit 1 to 6 (as in \"curvad6\" or \"curvas1\")",
     .linea = "curvax, 8000, 100",
     .rimedio = "Write the curve as \"curva\", then d (right) or s (left), then the class 1 to 6."},
    {.modello = "the curve from {P} m, {L} m long, takes the plan view to metre 1000000, the last "
                "it computes",
     .generale = "lunghezza percorso, 1000000",
     .linea = "curvad1, 999000, 1000",
     .rimedio = "End every curve before metre 1000000."},
};

constexpr Causa k1250[] = {{
    .modello = "the marker slots are not empty: cell 1 (0 m) holds {X}, and the marker goes into "
               "its data; "
               "no point may stand within 25 m of 0 m",
    .linea = "cartello_indicatore, 0, (INIZIO)",
    .rimedio = "Move the point to 50 m or later.",
}};

constexpr Causa k1251[] = {{
    .modello = "the race-code slots are not empty: cell 1 (0 m) holds {X}, and the race code goes "
               "into its "
               "data; no point may stand within 25 m of 0 m",
    .treno = "rallentamento, 0, 0, 200, 1, 0, 5",
    .rimedio = "Move the point to 50 m or later.",
}};

constexpr Causa kRecord[] = {
    {.modello = "\"{K}\" matches no record type and is skipped{...}",
     .treno = "segnal, 4600, 1, 3, 0, 0, 0, 0, 0,0,0, 0",
     .rimedio =
         "Correct the keyword; the message names the nearest known one. The words uno, due, tre, "
         "progressiva, sfondo, segnali and ripetizione are read in lower case only."},
    {.modello = "\"{K}\" is skipped here: records with \"{W}\" are read {where}",
     .linea = "segnale, 4600, 1, 3, 0, 0, 0, 0, 0,0,0, 0",
     .rimedio = "Move the record to the source or section that reads it."},
};

constexpr Causa kTestata[] = {{
    .modello = "unknown section head \"{H}\" is skipped{...}",
    .linea = "[pendenz]",
    .rimedio =
        "Correct the head. Heads only separate the records (the one that ends the general section "
        "aside), so a misspelt one changes nothing else.",
}};

constexpr Causa kValore[] = {{
    .modello = "the value \"{V}\" stands where a record keyword is expected and is skipped; is it "
               "one value "
               "too many for the record before it?",
    .treno = "sabbia, 300, 5",
    .rimedio =
        "Remove the extra value, or check the record's fields: a record reads a fixed number of "
        "values.",
}};

constexpr Causa kGenerale[] = {
    {.modello = "the train source has no [generale] line, so nothing in it is read{...}",
     .treno = "[general]\nstazione, 0, 8, 500, 0,0,0,0,0,0,0,0,0,0, 7,0,0, ALFA",
     .treno_intera = true,
     .rimedio = "Start the train source with the line [generale]."},
    {.modello = "the train source is empty, so the train has no records",
     .treno_intera = true,
     .rimedio = "Write the train source, starting with [generale]."},
};

constexpr Causa kStazioni[] = {{
    .modello = "the train source has no station record",
    .treno = "[generale]\nvelocita, 0, 80",
    .treno_intera = true,
    .rimedio = "Add the train's stations.",
}};

constexpr Causa kOltreLinea[] = {{
    .modello = "{the point} at {P} m lies past the end of the {L} m line, in the 7000 m of grid "
               "that follow it",
    .treno = "segnale, 12500, 1, 3, 0, 0, 0, 0, 0,0,0, 0",
    .rimedio =
        "Check the position: the grid runs 7000 m past the line's end, but points there are past "
        "the line.",
}};

constexpr Causa kUtf8[] = {{
    .modello = "the {line} source looks like UTF-8; the simulator reads Windows-1252, so its names "
               "and texts "
               "would come out garbled: save it as Windows-1252",
    .linea = "cartello_indicatore, 8000, (CITT\xC3\x80)",
    .rimedio =
        "Save the source as Windows-1252 (in many editors: \"Western European\" or \"CP1252\").",
}};

constexpr Causa kFermata[] = {{
    .modello =
        "the stop of station {S} takes the cell at {C} m, which held {X}; that point is lost",
    .treno = "[generale]\nstazione, 1000, 12, 500, 0,0,0,0,0,0,0,0,0,0, 7,0,0, ALFA",
    .treno_intera = true,
    .rimedio =
        "Move the station or the point: a station's stop cell, one cell before the end of its "
        "span, replaces whatever stands there, a signal or a board included (only the point's "
        "kind and first datum change, so the rest of its data stays in the cell).",
}};

constexpr Causa kTrattino[] = {{
    .modello =
        "\"{K}\" holds \"-\" and is dropped as a separator line; a keyword must not hold a hyphen",
    .linea = "cartello-indicatore, 8000, (PONTE)",
    .rimedio =
        "Write the keyword without a hyphen (cartello_indicatore). A field that holds \"-\" is "
        "taken for a separator line, and its record's values are then read as keywords.",
}};

constexpr Causa kOrario[] = {{
    .modello = "the train needs at least {T} from {A} ({K}) to {B} ({K}) under its speed limits; "
               "the timetable gives {S}",
    .treno = "rallentamento, 1500, 10, 2500, 0, 0, 0",
    .rimedio =
        "Give the later station a later time, or check the speed limits and slowdowns between "
        "the two stations. The least time sums, over each 50 m cell between them, 50 m at the "
        "cell's compiled limit or at the speed of a slowdown covering the whole cell, whichever "
        "is lower; stations whose time is 0:00:00 have no scheduled time and are left out.",
}};

// An entry's number or name and title come from the list of diagnostics; its text is here.
constexpr const RigaDiagnostica& riga(int32_t numero, std::string_view avviso) {
  for (const RigaDiagnostica& r : kRigheDiagnostiche)
    if (r.numero == numero && r.avviso == avviso) return r;
  throw "not in the list of diagnostics";  // a compile-time error where it is reached
}

constexpr Spiegazione errore(Errore e, std::string_view accade, std::span<const Causa> cause) {
  const RigaDiagnostica& r = riga(e, {});
  return {r.numero, r.avviso, r.titolo, accade, cause};
}

constexpr Spiegazione avviso(std::string_view nome, std::string_view accade,
                             std::span<const Causa> cause) {
  const RigaDiagnostica& r = riga(0, nome);
  return {r.numero, r.avviso, r.titolo, accade, cause};
}

constexpr Spiegazione kVoci[] = {
    errore(kLunghezzaEccessiva, kFermaLinea, k1),
    errore(kProgressivaNonMultipla,
           "Checked after both sources have been read; it replaces an error 15 recorded before it. "
           "The "
           "compile "
           "still writes its files.",
           k2),
    errore(kRipetizioneUnoNonMultipla, kFermaLinea, k3),
    errore(kRipetizioneDueNonMultipla, kFermaLinea, k4),
    errore(kRipetizioneSenzaCodici, kFermaLinea, k5),
    errore(kCartelloOccupato, kFermaLinea, k6),
    errore(kAbbattimentoOccupato, kFermaTreno, k7),
    errore(kStazioneNonMultipla, kFermaTreno, k8),
    errore(kLunghezzaStazioneNonMultipla, kFermaTreno, k9),
    errore(kTroppeStazioni,
           "The train reader records it and stops after the station that does not fit.", k10),
    errore(kCodiceSegnale, kPasso, k11),
    errore(kCodiceInizioRallentamento, kPasso, k12),
    errore(kCodiceDentroRallentamento, kPasso, k13),
    errore(
        kOltreGriglia,
        "The reader of that source ends its reading there as at the end of the file: in the line "
        "source "
        "the train source is still read; in the train source the profiles are still completed to "
        "the "
        "end. "
        "The compile still writes its files.",
        k15),
    errore(kConflittoSegnale, kFermaTreno, k16),
    errore(kConflittoAvviso, kFermaTreno, k17),
    errore(kConflittoInizio, kFermaTreno, k18),
    errore(kConflittoFine, kFermaTreno, k19),
    errore(kConflittoPreavvisi, kFermaTreno, k20),
    errore(kConflittoIndicatore, kFermaLinea, k21),
    errore(kStazioniVicine, kFermaTreno, k22),
    errore(kStazioneInizioGriglia, kFermaTreno, k24),
    errore(kLettura,
           "Both readers stop at once and both sources count as read. When the line source had not "
           "yet "
           "sized "
           "the grid no file is written; otherwise the compile still writes its files.",
           k25),
    errore(kLineaMancante, "Nothing is read and no file is written.", k101),
    errore(kGeneraleMancante,
           "Nothing is read: the train source is not read and no file is written.", k102),
    errore(kCurvaNonValida, kFermaLinea, k103),
    errore(kMarcatori,
           "Found when the compiled files are about to be written: the compile ends there and "
           "writes no "
           "file. "
           "The built-in run shows \" Errore n. 1250\".",
           k1250),
    errore(kCodiciGara,
           "Found when the compiled files are about to be written: the compile ends there and "
           "writes no "
           "file. "
           "The built-in run shows \" Errore n. 1251\".",
           k1251),
    avviso(kAvvisoRecord,
           "The field is skipped, and so are the values on its line. Nothing compiled changes.",
           kRecord),
    avviso(
        kAvvisoTestata,
        "The head is skipped like any unknown field; in the line source the first bracketed field "
        "still ends "
        "the general section.",
        kTestata),
    avviso(kAvvisoValore, "The value is skipped.", kValore),
    avviso(kAvvisoGenerale,
           "The train reader finds no [generale] and reads nothing: the train has no stations, "
           "signals "
           "or "
           "slowdowns.",
           kGenerale),
    avviso(kAvvisoStazioni, "The train has no stations.", kStazioni),
    avviso(kAvvisoOltreLinea, "The point is placed as written.", kOltreLinea),
    avviso(kAvvisoFermata,
           "The stop is placed as always; the point that held the cell is gone from the compiled "
           "grid.",
           kFermata),
    avviso(kAvvisoTrattino,
           "The field is dropped like a line of dashes; the values after it are then read as "
           "keywords.",
           kTrattino),
    avviso(kAvvisoUtf8,
           "The source is read byte by byte as Windows-1252, as the simulator reads the names and "
           "texts.",
           kUtf8),
    avviso(kAvvisoOrario,
           "Checked once the train source has been read to its end. The timetable is compiled as "
           "written.",
           kOrario),
};

// One entry per row of the list, in its order: explain --all and the guide follow it.
constexpr bool nell_ordine_della_lista() {
  if (std::size(kVoci) != std::size(kRigheDiagnostiche)) return false;
  for (std::size_t i = 0; i < std::size(kVoci); ++i)
    if (kVoci[i].numero != kRigheDiagnostiche[i].numero ||
        kVoci[i].avviso != kRigheDiagnostiche[i].avviso)
      return false;
  return true;
}
static_assert(nell_ordine_della_lista(), "one entry per diagnostic, in the list's order");

}  // namespace

std::span<const Spiegazione> voci() { return kVoci; }

}  // namespace gs

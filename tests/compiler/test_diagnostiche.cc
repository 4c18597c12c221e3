// Every error an author can provoke is reported at the field of the record that caused it,
// in metres, and a conflict names the record that holds the contested cell.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "run/esecuzione.h"
#include "run/spiegazioni.h"
#include "support/sorgenti.h"

namespace gs {
namespace {

using test::linea;
using test::treno;

struct Caso {
  const char* nome;
  std::optional<std::string> linea;
  std::string treno;
  int32_t n_errore;
  std::optional<int32_t> pos_errore;
  const char* dove;       // FILE:LINE:COL of the cause
  const char* messaggio;  // a part of the message
  const char* correlato;  // FILE:LINE:COL of the record holding the cell, or ""
};

std::string stazioni(int n) {
  std::string s;
  for (int i = 1; i <= n; ++i)
    s += "stazione, " + std::to_string(i * 1000) + ", 28, 100, 0,0,0,0,0,0,0,0,0,0, 0,0,0, S\r\n";
  return s;
}

std::string cartelli(int n) {
  std::string s;
  for (int i = 1; i <= n; ++i) s += "cartello_indicatore, " + std::to_string(i * 100) + ", (X)\r\n";
  return s;
}

// A line source with one record in its general section (line 3).
std::string generale(const char* record) {
  return test::righe({"[generale]", "lunghezza percorso, 100000", record, "[curve]", "[fine]"});
}

const std::string kSegnale = "segnale, 4500, 1,0,0,0,0,0,0,0,0,0";

TEST(Diagnostiche, EachErrorStandsAtItsCause) {
  const Caso casi[] = {
      {"1 length",
       linea({}, 1000001),
       treno({}),
       1,
       {},
       "linea.txt:2:24",
       "1000001 m is above",
       ""},
      {"2 chainage",
       generale("progressiva chilometrica uno, 0, 125, 0"),
       treno({}),
       2,
       {},
       "linea.txt:3:34",
       "has the chainage 125 m, which is not a multiple of 50 m",
       ""},
      {"3 repetition one",
       generale("ripetizione segnali 4 codici, 25, 0"),
       treno({}),
       3,
       {},
       "linea.txt:3:31",
       "first signal-repetition distance, 25 m",
       ""},
      {"4 repetition two",
       generale("ripetizione segnali 4 codici, 0, 25"),
       treno({}),
       4,
       {},
       "linea.txt:3:34",
       "second signal-repetition distance, 25 m",
       ""},
      {"5 repetition codes",
       generale("ripetizione segnali codici, 0, 0"),
       treno({}),
       5,
       {},
       "linea.txt:3:1",
       "names neither 4 nor 9 codes",
       ""},
      {"6 board", linea({"cartello_indicatore, 1225, (A)", "cartello_indicatore, 1275, (B)"}),
       treno({}), 6, 1275, "linea.txt:5:22",
       "the cell at 1250 m, which already holds the indication board at 1225 m from linea.txt:4",
       "linea.txt:4:1"},
      {"7 code point", linea({}), treno({kSegnale, "abbattimento, 4550, 180"}), 7, 4550,
       "treno.txt:3:15", "goes to the cell at 4500 m", "treno.txt:2:1"},
      {"8 station position", linea({}),
       treno({"stazione, 1025, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, A"}), 8, 1025, "treno.txt:2:11",
       "the station at 1025 m does not stand at a multiple of 50 m", ""},
      {"9 station length", linea({}),
       treno({"stazione, 1000, 12, 450, 0,0,0,0,0,0,0,0,0,0, 0,0,0, A"}), 9, 1000, "treno.txt:2:21",
       "450 m long", ""},
      {"10 stations",
       linea({}),
       treno({stazioni(79)}),
       10,
       {},
       "treno.txt:80:1",
       "is station 79; with the line's 0 indication boards the table has room for 78 stations",
       ""},
      {"11 code before a signal",
       linea({"indicatori_vmax, 8400, 1,1,1,0,,,,0", "indicatori_vmax, 8350, 1,1,1,0,,,,0"}),
       treno({"segnale, 8450, 1,0,0,0,0,0,0,0,0,0", "rallentamento, 10000, 60, 200, 1, 0, 0"}), 11,
       8500, "treno.txt:2:1",
       "before the signal at 8450 m, which stands within 1000 m before the warning point of the "
       "slowdown at 10000 m",
       "treno.txt:3:1"},
      {"12 code before a slowdown",
       linea({"indicatori_vmax, 9750, 1,1,1,0,,,,0", "indicatori_vmax, 9700, 1,1,1,0,,,,0",
              "indicatori_vmax, 9650, 1,1,1,0,,,,0"}),
       treno({"rallentamento, 10000, 60, 200, 1, 0, 0"}), 12, 10050, "treno.txt:2:1",
       "250 m to 350 m before the start of the slowdown at 10000 m", ""},
      {"13 code inside a slowdown",
       linea({"indicatori_vmax, 10350, 1,1,1,0,,,,0", "indicatori_vmax, 10400, 1,1,1,0,,,,0",
              "indicatori_vmax, 10450, 1,1,1,0,,,,0"}),
       treno({"rallentamento, 10000, 100, 1000, 1, 0, 0"}), 13, 10450, "treno.txt:2:1",
       "inside the slowdown at 10000 m near 10400 m", ""},
      {"15 grid", linea({}), treno({"segnale, 200000, 1,0,0,0,0,0,0,0,0,0"}), 15, 200000,
       "treno.txt:2:10",
       "which ends at 107000 m, 7000 m past the end of the 100000 m line; the last position it "
       "takes is "
       "106900 m",
       ""},
      {"15 grid station", linea({}),
       treno({"stazione, 106300, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, A"}), 15, 106300,
       "treno.txt:2:11", "so the last it takes is 106200 m", ""},
      {"16 signal", linea({}),
       treno({"rallentamento, 9000, 60, 200, 1, 0, 0", "segnale, 9000, 1,0,0,0,0,0,0,0,0,0"}), 16,
       9000, "treno.txt:3:10",
       "the cell at 9000 m, which already holds the start of the slowdown at 9000 m "
       "from treno.txt:2",
       "treno.txt:2:1"},
      {"17 warning", linea({}),
       treno({"segnale, 8800, 1,0,0,0,0,0,0,0,0,0", "rallentamento, 10000, 60, 200, 1, 0, 0"}), 17,
       10000, "treno.txt:3:16",
       "the warning point of the slowdown at 10000 m, 1200 m before it, falls in the "
       "cell at 8800 m",
       "treno.txt:2:1"},
      {"18 start", linea({}),
       treno({"segnale, 10000, 1,0,0,0,0,0,0,0,0,0", "rallentamento, 10000, 60, 200, 1, 0, 0"}), 18,
       10000, "treno.txt:3:16", "the start of the slowdown at 10000 m falls", "treno.txt:2:1"},
      {"19 end", linea({}),
       treno({"segnale, 10200, 1,0,0,0,0,0,0,0,0,0", "rallentamento, 10000, 60, 200, 1, 0, 0"}), 19,
       10000, "treno.txt:3:27",
       "the end of the slowdown at 10000 m, 200 m long, falls in the cell at 10200 m",
       "treno.txt:2:1"},
      {"20 before the warning", linea({}),
       treno({"segnale, 8650, 1,0,0,0,0,0,0,0,0,0", "rallentamento, 10000, 60, 200, 1, 1, 0"}), 20,
       10000, "treno.txt:3:16", "the third of the four cells before the warning point",
       "treno.txt:2:1"},
      {"21 speed board",
       linea({"indicatori_vmax, 1150, 1,1,1,0,,,,0", "indicatori_vmax, 1175, 1,1,1,0,,,,0"}),
       treno({}), 21, 1175, "linea.txt:5:18",
       "the speed board at 1175 m falls in the cell at 1150 m", "linea.txt:4:1"},
      {"22 stations", linea({}),
       treno({"stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, A",
              "stazione, 1500, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, B"}),
       22, 1500, "treno.txt:3:11",
       "station B starts at 1300 m, only 100 m after the end of the previous station A",
       "treno.txt:2:1"},
      {"24 stop",
       linea({}),
       treno({"stazione, 0, 12, 100, 0,0,0,0,0,0,0,0,0,0, 0,0,0, A"}),
       24,
       {},
       "treno.txt:2:11",
       "its span ends at 50 m, and must end at 150 m or later",
       ""},
      {"25 speed limit",
       linea({}),
       treno({"velocita, 0, 75", "velocita, 7000, 2000", "velocita, 9000, 60"}),
       25,
       {},
       "treno.txt:3:17",
       "the speed limit of 2000 km/h from 7000 m does not fit a track cell (-2 to 1277 km/h)",
       ""},
      {"25 signal near the start",
       linea({}),
       treno({"segnale, 100, 1,0,0,0,0,0,0,0,0,0"}),
       25,
       {},
       "treno.txt:2:10",
       "a signal must stand at 325 m or later",
       ""},
      {"25 not a number",
       linea({}),
       treno({"sabbia, 3x0"}),
       25,
       {},
       "treno.txt:2:9",
       "sand \"3x0\" is not a whole number",
       ""},
      // A quoted field is cut at 40 bytes, and only a longer one shows that it was cut.
      {"25 not a number of 40 bytes",
       linea({}),
       treno({"sabbia, x123456789012345678901234567890123456789"}),
       25,
       {},
       "treno.txt:2:9",
       "sand \"x123456789012345678901234567890123456789\" is not a whole number",
       ""},
      {"25 not a number of 41 bytes",
       linea({}),
       treno({"sabbia, x123456789012345678901234567890123456789Z"}),
       25,
       {},
       "treno.txt:2:9",
       "sand \"x123456789012345678901234567890123456789...\" is not a whole number",
       ""},
      {"25 gradient",
       linea({"pendenza, 5000, 200"}),
       treno({}),
       25,
       {},
       "linea.txt:4:17",
       "the gradient of 200 per mille from 5000 m does not fit a track cell (-100 to 155 per "
       "mille)",
       ""},
      {"25 scheduled time",
       linea({}),
       treno({"stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 35791395, 0, 0, A"}),
       25,
       {},
       "treno.txt:2:47",
       "does not fit 32 bits",
       ""},
      {"25 80th board",
       linea({cartelli(79) + "cartello_indicatore, 50000, (Y)"}),
       treno({}),
       25,
       {},
       "linea.txt:83:1",
       "is the 80th; a line holds at most 79 indication boards",
       ""},
      {"25 mountain past the grid",
       linea({"montagna, 106000, 120000, 1"}),
       treno({}),
       25,
       {},
       "linea.txt:4:19",
       "runs past the end of the track grid at 107050 m",
       ""},
      {"25 end of file in the general section",
       test::righe({"[generale]", "lunghezza percorso, 1000", "---, ---"}),
       treno({}),
       25,
       {},
       "linea.txt:3:6",
       "runs past the end of the file",
       ""},
      {"25 no length",
       test::righe({"[generale]", "sfondo uno, 5", "[curve]", "[fine]"}),
       treno({}),
       25,
       {},
       "linea.txt:3:1",
       "no \"lunghezza percorso\" record",
       ""},
      // A record short of values takes the next line's fields: the error stands at it.
      {"25 short signal",
       linea({}),
       treno({"segnale, 4500, 1,0,0,0,0,0,0,0,0", "rallentamento, 9000, 60, 200, 1, 0, 0"}),
       25,
       {},
       "treno.txt:2:1",
       "\"segnale\" has 10 of its 11 values on its line; its tempo was read from line 3: tempo "
       "\"rallentamento\" is not a whole number",
       ""},
      {"25 short slowdown before a head",
       linea({}),
       treno({"rallentamento, 9000, 60, 1, 0, 0", "[segnali]"}),
       25,
       {},
       "treno.txt:2:1",
       "\"rallentamento\" has 5 of its 6 values on its line; its d_v was read from line 3: d_v "
       "\"[segnali]\"",
       ""},
      {"25 short general record",
       generale("ripetizione segnali 4 codici, 0"),
       treno({}),
       25,
       {},
       "linea.txt:3:1",
       "has 1 of its 2 values on its line; its second repetition distance was read from line 4",
       ""},
      {"25 keyword without its comma",
       linea({"pendenza 3000 5"}),
       treno({}),
       25,
       {},
       "linea.txt:4:1",
       "\"pendenza 3000 5\" has 0 of its 2 values on its line (is the comma after its keyword "
       "missing?); its gradient start was read from line 5: gradient start \"[fine]\"",
       ""},
      {"25 short record at the end of the file",
       test::righe({"[generale]", "lunghezza percorso, 1000", "[curve]", "pendenza, 500"}),
       treno({}),
       25,
       {},
       "linea.txt:4:1",
       "\"pendenza\" has 1 of its 2 values on its line: the record runs past the end of the file "
       "before its gradient",
       ""},
      {"101 missing", std::nullopt, treno({}), 101, {}, "linea.txt", "does not exist", ""},
      {"102 empty", std::string(), treno({}), 102, {}, "linea.txt", "the file is empty", ""},
      {"102 binary",
       std::string("\x7f"
                   "ELF\0\0\1",
                   7),
       treno({}),
       102,
       {},
       "linea.txt",
       "NUL bytes",
       ""},
      {"103 class",
       linea({"curvax, 2000, 100"}),
       treno({}),
       103,
       {},
       "linea.txt:4:1",
       "holds no class digit 1 to 6",
       ""},
      {"103 metre 1000000",
       linea({"curvad1, 999000, 1000"}, 1000000),
       treno({}),
       103,
       {},
       "linea.txt:4:18",
       "to metre 1000000",
       ""},
      {"1250 marker",
       linea({"cartello_indicatore, 0, (A)"}),
       treno({}),
       kMarcatori,
       {},
       "linea.txt:4:1",
       "cell 1 (0 m) holds the indication board at 0 m",
       ""},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    Compilazione c;
    SorgentiInMemoria s(k.linea, k.treno);
    memorizza_percorso(c, 1, s, nullptr);
    const Diagnostica* ultimo = nullptr;
    for (const Diagnostica& d : c.registro.elenco())
      if (d.gravita == Gravita::kErrore) ultimo = &d;
    ASSERT_NE(ultimo, nullptr);
    const Diagnostica& d = *ultimo;
    EXPECT_EQ(d.n_errore, k.n_errore);
    EXPECT_EQ(c.registro.n_errore, k.n_errore);
    if (k.pos_errore) {
      EXPECT_EQ(d.pos_errore, k.pos_errore);
    }
    EXPECT_EQ(dove(d.luogo), k.dove);
    EXPECT_NE(d.messaggio.find(k.messaggio), std::string::npos) << d.messaggio;
    // It is one of the causes that explain and the guide give for its number, worded whole.
    const Spiegazione* v = voce(std::to_string(k.n_errore));
    ASSERT_NE(v, nullptr);
    ASSERT_NE(d.causa, nullptr) << d.messaggio;
    EXPECT_EQ(&voce_di(d.causa->id), v) << d.messaggio;
    EXPECT_EQ(d.messaggio.find('{'), std::string::npos) << d.messaggio;
    EXPECT_EQ(d.messaggio.find("cell -"), std::string::npos) << d.messaggio;  // metres, not cells
    if (*k.correlato != '\0') {
      ASSERT_FALSE(d.correlati.empty()) << d.messaggio;
      EXPECT_EQ(dove(d.correlati[0].luogo), k.correlato);
    } else if (k.n_errore >= 16 && k.n_errore <= 21) {
      ADD_FAILURE() << "a conflict without its related record";
    }
  }
}

}  // namespace
}  // namespace gs

// The diagnostic lines: the form editors parse, the brackets that follow the run's numbers,
// and the source echo with its caret.
#include <gtest/gtest.h>

#include <cstdlib>

#include <memory>
#include <sstream>
#include <string>

#include "run/rapporto.h"

namespace gs {
namespace {

TEST(Rapporto, BracketsFollowTheRunsNumbers) {
  Registro r;
  r.errore_in({IdCausa::kOltreGriglia, "the signal lies beyond the grid"}, 4500,
              {"l.txt", 7, 12, 0});
  r.nota_in(4600, {"t.txt", 3, 10, 0}, detto(IdCausa::kLetturaFermata));
  r.errore({IdCausa::kProgressivaInizio, "not a multiple of 50 m"},
           {"l.txt", 4, 5, 0});  // keeps the position before it
  r.avviso({IdCausa::kRecordSconosciuto, "\"segnal\" matches no record type"}, {"t.txt", 9, 1, 0});
  r.errore({IdCausa::kGeneraleMancante, "no [generale] line"}, {"x.txt"});
  const auto& e = r.elenco();
  EXPECT_EQ(riga_diagnostica(e[0]),
            "l.txt:7:12: error: the signal lies beyond the grid [E15 at 4500 m]");
  EXPECT_EQ(riga_diagnostica(e[1]),
            "t.txt:3:10: note: reading of this source stopped here because of the error above "
            "[E15 at 4600 m]");
  EXPECT_EQ(riga_diagnostica(e[2]), "l.txt:4:5: error: not a multiple of 50 m [E2 at 4600 m]");
  EXPECT_EQ(riga_diagnostica(e[3]),
            "t.txt:9:1: warning: \"segnal\" matches no record type [unknown-record]");
  EXPECT_EQ(riga_diagnostica(e[3], true),
            "t.txt:9:1: error: \"segnal\" matches no record type [-Werror=unknown-record]");
  EXPECT_EQ(riga_diagnostica(e[4]), "x.txt: error: no [generale] line [E102 at 4600 m]");
  EXPECT_EQ(r.n_errore, 102);
  // A note that shows a related record, as the page of serve prints it: no bracket, as on the
  // console.
  Diagnostica correlato;
  correlato.gravita = Gravita::kNota;
  correlato.luogo = {"t.txt", 2, 1, 0};
  correlato.messaggio = "the slowdown at 9000 m is here";
  EXPECT_EQ(riga_diagnostica(correlato), "t.txt:2:1: note: the slowdown at 9000 m is here");

  Registro s;
  s.errore({IdCausa::kTrenoMancante, "the train source does not exist"}, {});
  EXPECT_EQ(riga_diagnostica(s.elenco()[0]),
            "genera_scenario: error: the train source does not exist [E25]");
}

TEST(Rapporto, EchoesTheLineWithACaretUnderTheColumn) {
  Registro r;
  const auto testo =
      std::make_shared<const std::string>("[generale]\r\n\tvelocita,  7000,\xB0 2000\r\n");
  r.cita("t.txt", testo);
  Correlato sezione;
  sezione.luogo = {"t.txt", 1, 1, 0};
  sezione.messaggio = "the section is here";
  r.errore({IdCausa::kFuoriIntervallo, "too fast"}, {"t.txt", 2, 19, 12}, {sezione});
  std::ostringstream con, senza;
  riporta(r, {}, con);
  EXPECT_EQ(con.str(),
            "t.txt:2:19: error: too fast [E25]\n"
            "   2 | \tvelocita,  7000,\xC2\xB0 2000\n"
            "     | \t                 ^\n"
            "t.txt:1:1: note: the section is here\n"
            "   1 | [generale]\n"
            "     | ^\n");
  OpzioniRapporto op;
  op.caret = false;
  riporta(r, op, senza);
  EXPECT_EQ(senza.str(),
            "t.txt:2:19: error: too fast [E25]\nt.txt:1:1: note: the section is here\n");
}

TEST(Rapporto, NoColourWhenNoColorIsSet) {
  ::setenv("NO_COLOR", "1", 1);
  EXPECT_FALSE(colore_per(2));
  ::unsetenv("NO_COLOR");
}

TEST(Rapporto, FilesWrittenAreCountedInGroupsOfThree) {
  EXPECT_EQ(riga_scritto({"out/MIA_linea.dat", 379964}), "wrote out/MIA_linea.dat (379 964 bytes)");
  EXPECT_EQ(riga_scritto({"a.sim", 1234567}), "wrote a.sim (1 234 567 bytes)");
  EXPECT_EQ(riga_scritto({"a.dat", 15}), "wrote a.dat (15 bytes)");
}

}  // namespace
}  // namespace gs

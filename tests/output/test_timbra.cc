#include <gtest/gtest.h>

#include "output/uscita.h"
#include "support/sorgenti.h"

namespace gs {
namespace {

TEST(Timbra, MarkersAndRaceCodes) {
  auto e = test::leggi(test::linea({}));
  EXPECT_EQ(timbra(e->c), 0);
  EXPECT_EQ(e->c.stazioni[kVoceLinea].marcatore(), 610);
  EXPECT_EQ(e->c.stazioni[kVoceLinea].orario, 28508);
  EXPECT_EQ(e->cella(1).dato1, 5121);
  EXPECT_EQ(e->cella(1).dato2, 2149);

  // A speed board at 0 m takes cell 1: its data hold the marker slot.
  auto occupata = test::leggi(test::linea({"indicatori_vmax, 0, 70, 75, 75, 0, , , , 0"}));
  EXPECT_EQ(timbra(occupata->c), 1250);
  auto codice = test::leggi(test::linea({}));
  codice->c.celle[1].dato2 = 7;
  EXPECT_EQ(timbra(codice->c), 1251);
  EXPECT_EQ(codice->cella(1).dato1, 5121);  // the markers were stamped before the check
  EXPECT_EQ(codice->c.stazioni[kVoceLinea].orario, 0);
}

}  // namespace
}  // namespace gs

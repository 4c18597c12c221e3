// A small scenario compiled in memory, and the three file images the compiler writes for it.
#ifndef GS_TESTS_SUPPORT_SCENARIO_PICCOLO_H
#define GS_TESTS_SUPPORT_SCENARIO_PICCOLO_H

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "format/griglia.h"
#include "format/immagine_geometria.h"
#include "format/tabella.h"
#include "grid/griglia.h"
#include "output/uscita.h"
#include "support/sorgenti.h"

namespace gs::test {

// How many times `cosa` stands in `testo`.
inline std::size_t conta(const std::string& testo, const std::string& cosa) {
  std::size_t n = 0;
  for (std::size_t p = testo.find(cosa); p != std::string::npos;
       p = testo.find(cosa, p + cosa.size()))
    ++n;
  return n;
}

// 10 km of line: a right-hand curve of class 6 over 300 m from 2000 m, a climb of 12 per mille
// from 3000 m, a speed board, an indication board, a mountain span; two stations, two
// signals, a slowdown and a code point of the source's own.
inline std::string linea_piccola() {
  return test::righe({
      "[generale]",
      "lunghezza percorso,    10000",
      "progressiva chilometrica uno,    0,    10000,    1",
      "sfondo uno,    80000",
      "sfondo due,    65000",
      "sfondo tre,    1",
      "ripetizione segnali 4 codici,    0    ,0",
      "[curve]",
      "curvad6,  2000,  300",
      "[pendenze]",
      "pendenza,  0,   0",
      "pendenza,  3000,   12",
      "[montagne]",
      "montagna,   4700,  4900,  1",
      "[cartelli]",
      "indicatori_vmax,  1150,  70,  75,  75,  0,  ,  ,  ,  0",
      "[indicazioni]",
      "cartello_indicatore,  4650,   (GALLERIA PROVA  )(Mt.140 Km.5+350)",
      "[fine]",
  });
}

inline std::string treno_piccolo() {
  return test::righe({
      "[generale]",
      "numero vetture,    10",
      "percentuale massa frenata,    125",
      "sabbia,    300",
      "orologio,    5               26            0 ",
      "aderenza,       0,    90",
      "velocita,       0,    75",
      "velocita,    5000,    60",
      "stazione,       0,  8,  500,  0, 0, 1,  1,1,0,  4,1,1,    1,   5,27, 0, ALFA",
      "stazione,    6000, 12,  800,  1, 0, 0,  4,1,0,  2,1,1,   99,   5,37,10, BETA CITTA'",
      "segnale,    4500,   1, 3, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,    5700,   2, 2, 3,  0, 0,    0,  0,0,0, 210",
      "rallentamento,    3650,    30,  300, 1,  0,  0",
      "abbattimento,    7000,    75",
      "[fine]",
  });
}

struct Immagini {
  std::unique_ptr<test::Lettura> esito;
  std::string tabella, griglia, geometria;
};

// Compiled as a run compiles: both readers, the code-point pass, the markers and race codes
// (the built-in names, so the codes are 2149 and 28508). Another train may run on the line.
inline Immagini compila_piccolo(const std::string& treno = treno_piccolo()) {
  Immagini i;
  i.esito = test::leggi(linea_piccola(), treno);
  EXPECT_EQ(i.esito->n(), 0);
  passa_codici(i.esito->c.celle, i.esito->c.registro);
  EXPECT_EQ(i.esito->n(), 0);
  EXPECT_EQ(timbra(i.esito->c), 0);
  i.tabella = immagine_tabella(i.esito->c.stazioni);
  i.griglia = immagine_griglia(i.esito->c.celle.tutte());
  i.geometria = immagine_geometria(i.esito->c.linea);
  return i;
}

}  // namespace gs::test

#endif  // GS_TESTS_SUPPORT_SCENARIO_PICCOLO_H

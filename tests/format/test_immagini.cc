#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "format/bytes.h"
#include "format/griglia.h"
#include "format/immagine_geometria.h"
#include "format/lettore.h"
#include "format/tabella.h"
#include "grid/griglia.h"
#include "output/uscita.h"
#include "support/scenario_piccolo.h"
#include "support/sorgenti.h"

namespace gs {
namespace {

std::string esadecimale(std::string_view b) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string s;
  for (const char c : b) {
    if (!s.empty()) s += ' ';
    s += kHex[static_cast<unsigned char>(c) >> 4];
    s += kHex[static_cast<unsigned char>(c) & 0xF];
  }
  return s;
}

TEST(Bytes, LittleEndianFields) {
  std::string b;
  put_u8(b, 0xAB);
  put_i16(b, -2);
  put_i32(b, 0x04030201);
  put_f64(b, 1.0);
  put_testo(b, "ab");
  EXPECT_EQ(esadecimale(b), "ab fe ff 01 02 03 04 00 00 00 00 00 00 f0 3f 02 00 61 62");
  const auto* p = reinterpret_cast<const unsigned char*>(b.data());
  EXPECT_EQ(get_i16(p + 1), -2);
  EXPECT_EQ(get_i32(p + 3), 0x04030201);
  EXPECT_EQ(get_f64(p + 7), 1.0);
}

TEST(Immagini, ScenarioTable) {
  Stazioni vuota{};
  EXPECT_EQ(immagine_tabella(vuota).size(), 2958u);

  Stazioni s{};
  Stazione& v = s[1];
  v.tipo = 8;
  v.inizio = -500;
  v.fine = 500;
  v.posizione = 0x01020304;
  v.campo4 = 4;
  v.nome = std::string(30, 'N');
  v.campo7 = 7;
  v.campo8 = 8;
  v.campo10 = 10;
  v.campo11 = 11;
  v.campo12 = -12;
  v.campo9 = 9;
  v.campo13 = 13;
  v.campo6 = 6;
  v.campo5 = 5;
  v.orario = 19620;
  const std::string b = immagine_tabella(s);
  EXPECT_EQ(b.size(), 2958u + 30);
  const std::string record = b.substr(34, 34 + 30);
  EXPECT_EQ(esadecimale(record.substr(0, 16)), "08 0c fe ff ff f4 01 00 00 04 03 02 01 04 1e 00");
  EXPECT_EQ(record.substr(16, 30), std::string(30, 'N'));
  EXPECT_EQ(esadecimale(record.substr(46)),
            "07 00 08 00 0a 00 0b 00 f4 ff 09 0d 06 05 a4 4c 00 00");
}

TEST(Immagini, TrackGrid) {
  auto e = test::leggi(test::linea({"indicatori_vmax, 2000, 70, 75, 75, 1, , , , 2"}),
                       test::treno({"velocita, 0, 75", "aderenza, 0, 90"}));
  ASSERT_EQ(timbra(e->c), 0);
  const std::string b = immagine_griglia(e->c.celle.tutte());
  EXPECT_EQ(b.size(), 15u * 2141);
  EXPECT_EQ(static_cast<unsigned char>(b[15]), 0);         // cell 1's kind
  EXPECT_EQ(esadecimale(b.substr(16, 4)), "01 14 65 08");  // 5121, 2149
  EXPECT_EQ(esadecimale(b.substr(41 * 15, 15)), "06 78 05 dc 05 dc 05 0c 00 00 00 00 0f 64 5a");
}

TEST(Immagini, Geometry) {
  auto e = test::leggi(test::linea({}, -6000));  // metres 0 to 1000
  const std::string b = immagine_geometria(e->c.linea);
  // Per column: two integers (4 bytes each), 997 doubles (metres 2 to 998), two empty metres.
  EXPECT_EQ(b.size(), 2u * (2 * 4 + 997 * 10 + 2 * 2));
  const std::size_t colonna = b.size() / 2;
  EXPECT_EQ(esadecimale(b.substr(0, 18)), "02 00 00 00 02 00 00 00 05 00 00 00 00 00 00 00 00 00");
  EXPECT_EQ(esadecimale(b.substr(colonna, 18)),
            "02 00 00 00 02 00 01 00 05 00 00 00 00 00 00 00 00 40");  // metre 2 = 2.0
  EXPECT_EQ(esadecimale(b.substr(colonna - 4, 4)), "00 00 00 00");

  auto senza = test::leggi(test::linea({}), test::treno({}), 0);
  EXPECT_TRUE(immagine_geometria(senza->c.linea).empty());
}

// Which of the three compiled files a case's bytes are given as.
enum class QualeFile { kGeometria, kTabella, kGriglia };

TEST(Decodifica, ShapesThatDoNotFitTheLayoutAreErrors) {
  const auto i = test::compila_piccolo();
  std::string nome_lungo = i.tabella;
  nome_lungo[14] = '\xFF';  // entry 0's name length: 65535 bytes, past the end
  nome_lungo[15] = '\xFF';
  std::string colonne_disuguali = i.geometria;
  // One empty value moved from the end of column 0 to the end of column 1.
  const std::size_t fine_colonna0 = i.geometria.size() / 2;  // both columns take the same bytes
  colonne_disuguali.erase(fine_colonna0 - 2, 2);
  colonne_disuguali.append(std::string("\0\0", 2));
  std::string tipo_errato = i.geometria;
  tipo_errato[0] = 3;
  std::string reale_tronco;
  put_u16(reale_tronco, kReale);
  reale_tronco += "abc";

  struct Caso {
    const char* nome;
    QualeFile tipo;
    std::string byte;
    const char* messaggio;
  };
  const std::vector<Caso> casi = {
      {"table cut mid-record", QualeFile::kTabella, i.tabella.substr(0, i.tabella.size() - 3),
       "entry 86 orario at byte"},
      {"table cut after a record", QualeFile::kTabella, i.tabella.substr(0, 34),
       "ends after 1 records"},
      {"table with bytes left over", QualeFile::kTabella, i.tabella + "xy",
       "2 bytes left over after the 87 records"},
      {"table name past the end", QualeFile::kTabella, nome_lungo, "entry 0 name of 65535 bytes"},
      {"grid of 15 k + 7 bytes", QualeFile::kGriglia, i.griglia + "1234567", "(7 bytes over)"},
      {"empty grid", QualeFile::kGriglia, "", "holds no cell"},
      {"geometry kind word 3", QualeFile::kGeometria, tipo_errato, "has the kind word 3"},
      {"geometry double cut", QualeFile::kGeometria, reale_tronco,
       "element 0 double at byte 2 needs 8 bytes"},
      {"geometry odd count", QualeFile::kGeometria, i.geometria.substr(0, i.geometria.size() - 2),
       "cannot make two columns of equal length"},
      {"geometry columns unequal", QualeFile::kGeometria, colonne_disuguali,
       "columns are of unequal length"},
      {"geometry cut inside a kind word", QualeFile::kGeometria,
       i.geometria.substr(0, i.geometria.size() - 1), "kind word at byte"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    try {
      switch (c.tipo) {
        case QualeFile::kTabella:
          decodifica_tabella(c.byte);
          break;
        case QualeFile::kGriglia:
          decodifica_griglia(c.byte);
          break;
        case QualeFile::kGeometria:
          decodifica_geometria(c.byte);
          break;
      }
      ADD_FAILURE() << "no error";
    } catch (const ErroreFormato& e) {
      EXPECT_NE(std::string(e.what()).find(c.messaggio), std::string::npos) << e.what();
    }
  }
}

// Every field of the list survives the encoder and the decoder: a field added to a record and
// to its list reaches the file and comes back, whatever the others hold.
TEST(Decodifica, EveryListedFieldRoundTrips) {
  Stazioni t{};
  Stazione& s = t[5];
  int64_t valore = 1;
  per_ogni_campo(kCampiStazione, [&](const auto& c) {
    using T = typename std::decay_t<decltype(c)>::Tipo;
    if constexpr (std::is_same_v<T, std::string>)
      s.*c.membro = "NOME \xB0";
    else
      s.*c.membro = static_cast<T>(-valore++ * 3);
  });
  EXPECT_EQ(decodifica_tabella(immagine_tabella(t)), t);

  Celle griglia;
  griglia.dimensiona(3);
  per_ogni_campo(kCampiCella, [&](const auto& c) {
    using T = typename std::decay_t<decltype(c)>::Tipo;
    griglia[2].*c.membro = static_cast<T>(-valore++ * 5);
  });
  const std::vector<Cella> letta = decodifica_griglia(immagine_griglia(griglia.tutte()));
  ASSERT_EQ(letta.size(), 4u);
  EXPECT_EQ(letta[2], griglia[2]);
  EXPECT_EQ(letta[3], Cella{});
}

}  // namespace
}  // namespace gs

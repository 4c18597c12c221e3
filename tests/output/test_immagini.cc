#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "format/bytes.h"
#include "output/uscita.h"
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
  const std::string b = immagine_griglia(e->c.celle);
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

}  // namespace
}  // namespace gs

// The record reader as the inverse of put_record: every field of both record lists comes back,
// and a record cut short is refused at the field it runs out in.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "format/lettore.h"

namespace gs {
namespace {

// Every field a different value, negative where the type allows it.
template <typename Record, typename Campi>
Record riempito(const Campi& campi) {
  Record r{};
  int64_t valore = 1;
  per_ogni_campo(campi, [&](const auto& c) {
    using T = typename std::decay_t<decltype(c)>::Tipo;
    if constexpr (std::is_same_v<T, std::string>)
      r.*c.membro = "NOME \xB0";
    else
      r.*c.membro = static_cast<T>(-valore++ * 3);
  });
  return r;
}

TEST(Lettore, RecordReadsBackWhatPutRecordWrote) {
  const Stazione s = riempito<Stazione>(kCampiStazione);
  const Cella c = riempito<Cella>(kCampiCella);
  std::string b;
  put_record(b, s, kCampiStazione);
  put_record(b, c, kCampiCella);
  EXPECT_EQ(b.size(), kRecordTabella + s.nome.size() + kRecordCella);
  Lettore l(b);
  Stazione s_letta;
  Cella c_letta;
  l.record(s_letta, kCampiStazione, {"entry", 0});
  l.record(c_letta, kCampiCella, {"cell", 1});
  EXPECT_TRUE(l.finito());
  EXPECT_EQ(s_letta, s);
  EXPECT_EQ(c_letta, c);
}

// Cut after each byte, a record is refused naming the field it was reading.
TEST(Lettore, ShortRecordNamesTheFieldItRunsOutIn) {
  Stazione s{};
  s.nome = "AB";
  std::string b;
  put_record(b, s, kCampiStazione);
  struct Caso {
    std::size_t byte;
    const char* messaggio;
  };
  for (const Caso& c :
       {Caso{0, "entry 7 tipo at byte 0 needs 1 bytes, only 0 left"},
        Caso{3, "entry 7 inizio at byte 1 needs 4 bytes, only 2 left"},
        Caso{13, "entry 7 campo4 at byte 13 needs 1 bytes, only 0 left"},
        Caso{15, "entry 7 name length at byte 14 needs 2 bytes, only 1 left"},
        Caso{17, "entry 7 name of 2 bytes at byte 16 needs 2 bytes, only 1 left"},
        Caso{b.size() - 1, "entry 7 orario at byte 32 needs 4 bytes, only 3 left"}}) {
    SCOPED_TRACE(c.byte);
    Lettore l(std::string_view(b).substr(0, c.byte));
    Stazione letta;
    try {
      l.record(letta, kCampiStazione, {"entry", 7});
      ADD_FAILURE() << "read a record of " << c.byte << " bytes";
    } catch (const ErroreFormato& e) {
      EXPECT_NE(std::string(e.what()).find(c.messaggio), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace gs

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/errori.h"
#include "common/file_system.h"
#include "common/nomi_file.h"
#include "platform/piattaforma.h"
#include "support/cartella.h"

namespace gs {
namespace {

namespace fs = std::filesystem;

TEST(NomiFile, Windows1252AndUtf8) {
  struct Caso {
    std::string w1252, utf8;
  };
  const Caso casi[] = {
      {"BELMONZA", "BELMONZA"},
      {"CITT\xC0", "CITT\xC3\x80"},
      {"2\xB0", "2\xC2\xB0"},
      {"\x80\x9F", "\xE2\x82\xAC\xC5\xB8"},  // euro sign, Y diaeresis
      {"\xA0\xDF\xFF",
       "\xC2\xA0\xC3\x9F\xC3\xBF"},  // the Latin-1 range to its last byte, y diaeresis
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(utf8_da_1252(c.w1252), c.utf8);
    std::string indietro;
    ASSERT_TRUE(utf8_a_1252(c.utf8, indietro));
    EXPECT_EQ(indietro, c.w1252);
  }
  std::string scarto;
  EXPECT_FALSE(utf8_a_1252("\xE4\xB8\xAD", scarto));  // no Windows-1252 byte for it
  EXPECT_FALSE(utf8_a_1252("\xC3", scarto));          // cut short
  EXPECT_EQ(utf8_da_1252("\x81"), "\xEF\xBF\xBD");    // undefined in Windows-1252

  const NomiFile n = nomi_file("/p", "L", "T");
  EXPECT_EQ(n.sorgente_linea, fs::path("/p/L_linea.txt"));
  EXPECT_EQ(n.sorgente_treno, fs::path("/p/L_T-.txt"));
  EXPECT_EQ(n.note, fs::path("/p/L_T_note.txt"));
  EXPECT_EQ(n.rallentamenti, fs::path("/p/L_T_rallentamenti.txt"));
  EXPECT_EQ(n.scheda_treno, fs::path("/p/L_T_scheda_treno.txt"));
  EXPECT_EQ(n.geometria, fs::path("/p/L_linea.dat"));
  EXPECT_EQ(n.tabella, fs::path("/p/L_T.sim"));
  EXPECT_EQ(n.griglia, fs::path("/p/L_T.dat"));
  // Names are Windows-1252 inside the files and UTF-8 (UTF-16 on Windows) on disk.
  EXPECT_EQ(nomi_file("/p", "L\xFF", "\xC0").tabella,
            piattaforma::percorso("/p/L\xC3\xBF_\xC3\x80.sim"));
}

// Every control character is refused wherever it stands in a name, DEL included; the printable
// characters next to them in the table, and the high bytes of Windows-1252, are not.
TEST(NomiFile, EveryControlCharacterIsRefusedInAName) {
  std::vector<char> controlli;
  for (int b = 0x00; b <= 0x1F; ++b) controlli.push_back(static_cast<char>(b));
  controlli.push_back('\x7F');
  for (const char c : controlli) {
    for (const std::string& nome : {std::string(1, c), std::string{'A', c, 'B'}}) {
      SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(c)));
      const auto motivo = nome_non_valido(nome, "the line name");
      ASSERT_TRUE(motivo.has_value());
      EXPECT_NE(motivo->find("the line name must not hold a control character"), std::string::npos)
          << *motivo;
    }
  }
  for (const std::string_view buono : {" A", "A~", "~", "CITT\xC0", "\x80\xA0\xFF"})
    EXPECT_EQ(nome_non_valido(buono, "the line name"), std::nullopt) << buono;
}

TEST(FileNuovo, NothingReplacesTheOldFileUntilConfirmed) {
  test::CartellaTemporanea dir;
  const fs::path f = dir / "out.dat";
  test::scrivi(f, "old content");
  {
    FileNuovo nuovo(f);
    nuovo.scrivi(std::string(200000, 'n'));
    EXPECT_EQ(test::contenuto(f), "old content");
  }  // abandoned: the old file stays and no temporary file is left
  EXPECT_EQ(test::contenuto(f), "old content");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.percorso()), fs::directory_iterator()), 1);

  FileNuovo nuovo(f);
  nuovo.scrivi("abc");
  nuovo.scrivi(std::string(200000, 'd'));  // past the buffer, straight to the file
  nuovo.conferma();
  EXPECT_EQ(test::contenuto(f), "abc" + std::string(200000, 'd'));
  EXPECT_THROW(nuovo.scrivi("x"), ErroreFile);
  EXPECT_THROW(FileNuovo(dir / "missing" / "x"), ErroreFile);
}

// What a run killed while writing left (kill -9, a power cut) goes with the next run that
// writes the same file; nothing else in the folder is touched.
TEST(FileNuovo, RemovesTheTemporaryFilesADeadRunLeftOfTheSameFile) {
  test::CartellaTemporanea dir;
  const std::vector<std::string> restano = {"out.dat",
                                            "out.dat.tmp-ab",
                                            "out.dat.tmp-abcdefg",
                                            "out.dat.tmp.abcdef",
                                            "out.sim.tmp-abcdef",
                                            "xout.dat.tmp-abcdef"};
  for (const std::string& nome : restano) test::scrivi(dir / nome, "x");
  for (const char* nome : {"out.dat.tmp-abcdef", "out.dat.tmp-Z9z9Z9"})
    test::scrivi(dir / nome, "left by a dead run");
  fs::create_directory(dir / "out.dat.tmp-cartel");  // a folder is never a temporary file
  scrivi_file(dir / "out.dat", "new");
  std::vector<std::string> nomi;
  for (const auto& voce : fs::directory_iterator(dir.percorso()))
    nomi.push_back(voce.path().filename().string());
  std::sort(nomi.begin(), nomi.end());
  std::vector<std::string> attesi = restano;
  attesi.push_back("out.dat.tmp-cartel");
  std::sort(attesi.begin(), attesi.end());
  EXPECT_EQ(nomi, attesi);
  EXPECT_EQ(test::contenuto(dir / "out.dat"), "new");
}

// One run holds its folder once, however the folder is named: a file written under a lock the
// run already holds does not wait for the run itself.
TEST(BloccoScrittura, ARunNeverWaitsForItself) {
  test::CartellaTemporanea dir;
  fs::create_directory(dir / "out");
  const fs::path out = dir / "out";
  int attese = 0;
  const auto conta = [&](const fs::path&) { ++attese; };
  {
    const BloccoScrittura esterno(out, conta);
    const BloccoScrittura di_nuovo(dir / "out" / "", conta);
    const BloccoScrittura per_altra_via(dir / "out" / "." / ".." / "out", conta);
    scrivi_file(out / "x.dat", "x");  // FileNuovo holds the folder too
    piattaforma::BloccoCartella altro_processo;
    EXPECT_FALSE(altro_processo.prova(out));
  }
  EXPECT_EQ(attese, 0);
  piattaforma::BloccoCartella dopo;
  EXPECT_TRUE(dopo.prova(out));  // all let go
}

// serve gives up a write waiting for a folder another run holds once a newer compile is to be
// written: the wait ends without the folder, and the next write waits for it anew instead of
// taking the lock as already this process's.
TEST(BloccoScrittura, AWaitGivenUpHoldsNothing) {
  test::CartellaTemporanea dir;
  piattaforma::BloccoCartella altro_processo;
  ASSERT_TRUE(altro_processo.prova(dir.percorso()));
  int attese = 0, domande = 0;
  const auto conta = [&](const fs::path&) { ++attese; };
  // Given up at the third look: the folder is asked for in between, and still held.
  const auto alla_terza = [&] { return ++domande == 3; };
  for (int prova = 1; prova <= 2; ++prova) {
    SCOPED_TRACE(prova);
    domande = 0;
    const BloccoScrittura rinunciato(dir.percorso(), conta, alla_terza);
    EXPECT_FALSE(rinunciato.preso());
    EXPECT_EQ(attese, prova);
    EXPECT_EQ(domande, 3);
  }
  altro_processo.rilascia();
  {
    const BloccoScrittura preso(dir.percorso(), conta, [] { return true; });
    EXPECT_TRUE(preso.preso());
    EXPECT_FALSE(altro_processo.prova(dir.percorso()));
  }
  EXPECT_EQ(attese, 2);
  EXPECT_TRUE(altro_processo.prova(dir.percorso()));  // let go
}

// The temporary file is private while it is written; the file renamed into place has the
// permissions any new file would have under the umask.
TEST(FileNuovo, EndsWithTheUsualPermissionsOfANewFile) {
  struct Caso {
    mode_t umask, attesi;
  };
  for (const Caso& k : {Caso{022, 0644}, Caso{002, 0664}, Caso{077, 0600}}) {
    SCOPED_TRACE("umask 0" + std::to_string(k.umask / 64) + std::to_string(k.umask / 8 % 8) +
                 std::to_string(k.umask % 8));
    test::CartellaTemporanea dir;
    const auto prima = ::umask(k.umask);  // mode_t here, int on Windows
    EXPECT_NO_THROW(scrivi_file(dir / "out.dat", "abc"));
    ::umask(prima);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "out.dat").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, k.attesi)
        << std::oct << (st.st_mode & 07777) << " for " << k.attesi;
  }
}

}  // namespace
}  // namespace gs

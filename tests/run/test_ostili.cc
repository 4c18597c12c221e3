// Hostile inputs through the compile command: every case ends in a compile or a numbered
// error, the author's sources are left as they were, and no partial output is left behind.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/cartella.h"
#include "support/processo.h"
#include "support/sorgenti.h"

namespace gs {
namespace {

namespace fs = std::filesystem;
using test::contenuto;

const std::string kTrenoMinimo = test::treno({"velocita, 0, 75"});

std::string numero_record(const std::string& record, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += record + "\r\n";
  return s;
}

struct Caso {
  const char* nome;
  std::string linea;
  std::string treno;
  int stato;           // 0 or 1
  int32_t errore = 0;  // the error number of the last diagnostic, when 1
};

class Ostili : public ::testing::Test {
 protected:
  test::Uscita compila(const std::string& argomenti) {
    return test::esegui(GS_EXE, argomenti, dir.percorso());
  }
  void niente_di_parziale() {
    for (const auto& f : fs::directory_iterator(dir.percorso()))
      EXPECT_EQ(f.path().filename().string().find(".tmp-"), std::string::npos) << f.path();
  }
  test::CartellaTemporanea dir;
};

TEST_F(Ostili, EveryInputEndsInACompileOrANumberedError) {
  const std::string mega(1 << 20, 'M');
  const std::string buona = test::linea({"pendenza, 0, 5", "cartello_indicatore, 1000, (A)"});
  std::string senza_fine = buona;
  senza_fine.resize(senza_fine.size() - 2);
  auto fine_righe = [&](const char* fine) {
    std::string s;
    for (const char c : buona) {
      if (c == '\r') continue;
      if (c == '\n')
        s += fine;
      else
        s += c;
    }
    return s;
  };
  const Caso casi[] = {
      {"empty files", "", "", 1, 102},
      {"only [generale]", "[generale]", "[generale]", 1, 102},
      {"only [generale] and a line end", "[generale]\r\n", "[generale]\r\n", 1, 102},
      {"no line end at the end", senza_fine, kTrenoMinimo, 0},
      {"CR-only line ends", fine_righe("\r"), kTrenoMinimo, 0},
      {"LF-only line ends", fine_righe("\n"), kTrenoMinimo, 0},
      {"a NUL byte in a number", test::linea({std::string("pendenza, 0\0, 5", 15)}), kTrenoMinimo,
       1, 25},
      {"a NUL byte in a board text",
       test::linea({std::string("cartello_indicatore, 100, (\0)", 30)}), kTrenoMinimo, 0},
      {"bytes 0x80 to 0xFF", test::linea({"cartello_indicatore, 100, (\x80\x9F\xB0\xE8\xFF)"}),
       test::treno({"stazione, 0, 8, 500, 0,0,0,0,0,0,0,0,0,0, 0,0,0, CITT\xC0 \xFF"}), 0},
      {"a field of 1 MB", test::linea({"cartello_indicatore, 100, " + mega.substr(0, 60000), mega}),
       kTrenoMinimo, 0},
      {"a board text of 1 MB", test::linea({"cartello_indicatore, 100, " + mega}), kTrenoMinimo, 1,
       25},
      {"100000 gradients at one place", test::linea({numero_record("pendenza, 1000, 1", 100000)}),
       kTrenoMinimo, 1, 25},
      {"100000 sand records", buona, test::treno({numero_record("sabbia, 5", 100000)}), 0},
      {"100000 signals", buona,
       test::treno({numero_record("segnale, 50000, 1,0,0,0,0,0,0,0,0,0", 100000)}), 1, 16},
      {"8-bit limit", buona,
       test::treno({"stazione, 1000, 255, 400, 255,0,0,0,0,255,0,0,0,255, 0,0,0, A"}), 0},
      {"past 8 bits", buona,
       test::treno({"stazione, 1000, 256, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, A"}), 1, 25},
      {"negative in 8 bits", buona,
       test::treno({"stazione, 1000, -1, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, A"}), 1, 25},
      {"16-bit limits", buona, test::treno({"sabbia, 32767", "orologio, -32768 0 0"}), 0},
      {"past 16 bits", buona, test::treno({"sabbia, 32768"}), 1, 25},
      {"below 16 bits", buona, test::treno({"sabbia, -32769"}), 1, 25},
      {"32-bit limits", test::linea({"sfondo uno, 1"}),
       test::treno({"numero vetture, 2147483647", "percentuale massa frenata, -2147483648"}), 0},
      {"past 32 bits", buona, test::treno({"numero vetture, 2147483648"}), 1, 25},
      {"below 32 bits", buona, test::treno({"numero vetture, -2147483649"}), 1, 25},
      {"a line of 1000000 m with everything at its end",
       test::linea({"curvad6, 999600, 300", "montagna, 999800, 1006000, 11", "pendenza, 1006900, 3",
                    "cartello_indicatore, 1006900, (END)"},
                   1000000),
       test::treno({"stazione, 1006200, 12, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, FINE",
                    "segnale, 1006850, 1,0,0,0,0,0,0,0,0,0"}),
       0},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    test::scrivi(dir / "l.txt", c.linea);
    test::scrivi(dir / "t.txt", c.treno);
    const auto u = compila("compile l.txt t.txt -o . --line-name L --train-name T -q");
    EXPECT_EQ(u.stato, c.stato) << u.err.substr(0, 500);
    if (c.stato == 1) {
      // The last error bracket printed is the error the compile ended with.
      const std::size_t p = u.err.rfind("[E");
      ASSERT_NE(p, std::string::npos) << u.err.substr(0, 500);
      const std::string numero = "[E" + std::to_string(c.errore);
      EXPECT_EQ(u.err.compare(p, numero.size(), numero), 0) << u.err.substr(p, 40);
      EXPECT_TRUE(u.err[p + numero.size()] == ']' || u.err[p + numero.size()] == ' ')
          << u.err.substr(p, 40);
    }
    EXPECT_EQ(contenuto(dir / "l.txt"), c.linea);
    EXPECT_EQ(contenuto(dir / "t.txt"), c.treno);
    niente_di_parziale();
  }
}

TEST_F(Ostili, SourcesThatCannotBeRead) {
  test::scrivi(dir / "l.txt", test::linea({}));
  fs::create_directory(dir / "cartella");
  for (const char* t : {"cartella", "manca.txt"}) {
    SCOPED_TRACE(t);
    const auto u = compila(std::string("compile l.txt ") + t + " --line-name L --train-name T");
    EXPECT_EQ(u.stato, 2);
    EXPECT_NE(u.err.find(t), std::string::npos) << u.err;
  }
  if (geteuid() != 0) {
    test::scrivi(dir / "chiuso.txt", kTrenoMinimo);
    fs::permissions(dir / "chiuso.txt", fs::perms::none);
    const auto u = compila("compile l.txt chiuso.txt --line-name L --train-name T");
    EXPECT_EQ(u.stato, 2);
    EXPECT_NE(u.err.find("chiuso.txt"), std::string::npos) << u.err;
  }
  niente_di_parziale();
}

// A run that fails half-way leaves each earlier output either replaced whole or as it was.
TEST_F(Ostili, AFailedRunKeepsTheEarlierOutputs) {
  test::scrivi(dir / "l.txt", test::linea({}));
  test::scrivi(dir / "t.txt", kTrenoMinimo);
  fs::create_directory(dir / "out");
  ASSERT_EQ(compila("compile l.txt t.txt -o out --line-name L --train-name T").stato, 0);
  const std::string geometria = contenuto(dir / "out" / "L_linea.dat");
  const std::string tabella = contenuto(dir / "out" / "L_T.sim");

  // The grid cannot replace a folder standing under its name: the run fails at the last file.
  fs::remove(dir / "out" / "L_T.dat");
  fs::create_directory(dir / "out" / "L_T.dat");
  test::scrivi(dir / "t.txt", test::treno({"sabbia, 77"}));
  const auto u = compila("compile l.txt t.txt -o out --line-name L --train-name T");
  EXPECT_EQ(u.stato, 2);
  EXPECT_NE(u.err.find("L_T.dat"), std::string::npos) << u.err;
  EXPECT_EQ(contenuto(dir / "out" / "L_linea.dat"), geometria);  // replaced whole, same bytes
  EXPECT_NE(contenuto(dir / "out" / "L_T.sim"), tabella);        // replaced whole
  EXPECT_EQ(contenuto(dir / "out" / "L_T.sim").size(), tabella.size());
  for (const auto& f : fs::directory_iterator(dir / "out"))
    EXPECT_EQ(f.path().filename().string().find(".tmp-"), std::string::npos) << f.path();
}

TEST_F(Ostili, AFullFolderKeepsTheEarlierOutputs) {
  const fs::path piccola = dir / "piccola";
  fs::create_directory(piccola);
  if (::mount("tmpfs", piccola.c_str(), "tmpfs", 0, "size=1m") != 0)
    GTEST_SKIP() << "cannot mount a small folder here";
  // Unmounted however the test ends, so that the scratch folder can be removed.
  struct Smonta {
    const fs::path& p;
    ~Smonta() { ::umount(p.c_str()); }
  } smonta{piccola};
  test::scrivi(dir / "l.txt", test::linea({}, 20000));  // a geometry of about 540 KB
  test::scrivi(dir / "t.txt", kTrenoMinimo);
  const auto primo = compila("compile l.txt t.txt -o piccola --line-name L --train-name T");
  EXPECT_EQ(primo.stato, 0) << primo.err;
  const std::string prima = contenuto(piccola / "L_linea.dat");
  // A second geometry does not fit beside the first until the first is replaced.
  const auto u = compila("compile l.txt t.txt -o piccola --line-name L --train-name T");
  EXPECT_EQ(u.stato, 2);
  EXPECT_NE(u.err.find("No space left"), std::string::npos) << u.err;
  EXPECT_EQ(contenuto(piccola / "L_linea.dat"), prima);
  for (const auto& f : fs::directory_iterator(piccola))
    EXPECT_EQ(f.path().filename().string().find(".tmp-"), std::string::npos) << f.path();
}

// A machine short of memory: the run ends with the status of a file it cannot handle and says
// why, never with a crash or the status of a compile error. Its address space is held below the
// size of a source that it may read (a sparse file, which costs no disk); the sanitizers need
// more address space than any such limit leaves, so their build skips it.
TEST_F(Ostili, OutOfMemoryEndsWithStatus2) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer cannot run under an address-space limit";
#else
  test::scrivi(dir / "L_linea.txt", test::linea({}));
  fs::resize_file(dir / "L_linea.txt", 60u << 20);
  test::scrivi(dir / "L_T-.txt", kTrenoMinimo);
  const std::string comando = "cd '" + dir.percorso().string() + "' && ulimit -v 40960 && '" +
                              std::string(GS_EXE) +
                              "' check L_linea.txt L_T-.txt > out.txt 2> err.txt";
  const int r = std::system(comando.c_str());
  ASSERT_TRUE(WIFEXITED(r));
  EXPECT_EQ(WEXITSTATUS(r), 2);
  EXPECT_NE(contenuto(dir / "err.txt").find("error: out of memory"), std::string::npos)
      << contenuto(dir / "err.txt");
#endif
}

}  // namespace
}  // namespace gs

// The platform's files by name, the same on POSIX and on Windows: failures with the system's
// reason, a temporary file moved over the old one whole, UTF-8 names that reach the disk as
// they are, the program's folder, and the watch on files whose folder goes and comes back.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "common/nomi_file.h"
#include "platform/impronte.h"
#include "platform/piattaforma.h"
#include "platform/temporanei.h"
#include "support/cartella.h"

namespace gs {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> nomi_in(const fs::path& cartella) {
  std::vector<std::string> nomi;
  for (const auto& voce : fs::directory_iterator(cartella)) {
    const std::u8string u8 = voce.path().filename().u8string();
    nomi.emplace_back(u8.begin(), u8.end());
  }
  std::sort(nomi.begin(), nomi.end());
  return nomi;
}

// First in the program: the first failure of a run must not come back as a success.
TEST(Piattaforma, FailuresComeBackWithTheSystemsReason) {
  test::CartellaTemporanea dir;
  fs::create_directory(dir / "cartella");
  std::string dati = "left over";
  struct Caso {
    const char* cosa;
    std::error_code ec;
    std::errc atteso;
  };
  piattaforma::FileTemporaneo in_cartella_mancante;
  const Caso casi[] = {
      {"reading a missing file", piattaforma::leggi_tutto(dir / "manca.txt", dati, 100),
       std::errc::no_such_file_or_directory},
      {"reading a folder", piattaforma::leggi_tutto(dir / "cartella", dati, 100),
       std::errc::is_a_directory},
      {"a new file in a missing folder", in_cartella_mancante.crea(dir / "manca" / "x.dat"),
       std::errc::no_such_file_or_directory},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.cosa);
    EXPECT_TRUE(c.ec);
    EXPECT_EQ(c.ec, c.atteso) << c.ec.message();
    EXPECT_FALSE(c.ec.message().empty());
  }
  EXPECT_EQ(dati, "");
  EXPECT_FALSE(in_cartella_mancante.aperto());

  // Only a regular file is read, and only up to the limit, which is told before reading.
#ifdef _WIN32
  const fs::path dispositivo = "NUL";
#else
  const fs::path dispositivo = "/dev/zero";
#endif
  test::scrivi(dir / "cento.txt", std::string(100, 'c'));
  EXPECT_EQ(piattaforma::leggi_tutto(dispositivo, dati, 100), piattaforma::Rifiuto::kNonRegolare);
  EXPECT_EQ(piattaforma::leggi_tutto(dir / "cento.txt", dati, 99),
            piattaforma::Rifiuto::kTroppoGrande);
  EXPECT_EQ(dati, "");
  EXPECT_FALSE(piattaforma::leggi_tutto(dir / "cento.txt", dati, 100));
  EXPECT_EQ(dati, std::string(100, 'c'));
#ifndef _WIN32
  // A FIFO that no one writes to is refused at once, never waited on.
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(piattaforma::leggi_tutto(dir / "fifo", dati, 100), piattaforma::Rifiuto::kNonRegolare);
#endif

  // A file that is not there counts as removed; a folder is not a file to remove.
  EXPECT_FALSE(piattaforma::rimuovi(dir / "manca.txt"));
  EXPECT_FALSE(piattaforma::rimuovi(dir / "manca" / "x.txt"));
  EXPECT_TRUE(piattaforma::rimuovi(dir / "cartella"));
  EXPECT_TRUE(piattaforma::esiste(dir / "cartella"));
  EXPECT_FALSE(piattaforma::esiste(dir / "manca.txt"));
}

TEST(Piattaforma, ATemporaryFileIsMovedOverTheOldOneWhole) {
  test::CartellaTemporanea dir;
  const fs::path f = dir / "out.dat";
  test::scrivi(f, std::string(100000, 'o'));
  {
    piattaforma::FileTemporaneo t;
    ASSERT_FALSE(t.crea(f));
    EXPECT_TRUE(t.aperto());
    // While it is written it has a temporary name or none at all (Linux), never the final one.
    const std::vector<std::string> nomi = nomi_in(dir.percorso());
    ASSERT_GE(nomi.size(), 1u);
    ASSERT_LE(nomi.size(), 2u);
    const std::string dati = "new\r\n" + std::string(3u << 20, 'n');  // past any one write
    ASSERT_FALSE(t.scrivi(dati.data(), dati.size()));
    EXPECT_EQ(test::contenuto(f), std::string(100000, 'o'));  // not yet
    ASSERT_FALSE(t.chiudi());
    EXPECT_FALSE(t.aperto());
    const std::vector<std::string> chiuso = nomi_in(dir.percorso());
    ASSERT_EQ(chiuso.size(), 2u);
    EXPECT_EQ(chiuso[1].substr(0, 12), "out.dat.tmp-");
    EXPECT_EQ(chiuso[1].size(), 18u);
    if (nomi.size() == 2) {
      EXPECT_EQ(nomi, chiuso);
    }
    ASSERT_FALSE(t.sposta_su(f));
    EXPECT_EQ(test::contenuto(f), dati);  // byte for byte: no newline is translated
  }                                       // moved: the destructor leaves it alone
  EXPECT_EQ(nomi_in(dir.percorso()), std::vector<std::string>{"out.dat"});

  // Abandoned open, or closed and not moved: nothing is left of it, the old file stays.
  for (const bool chiuso : {false, true}) {
    SCOPED_TRACE(chiuso ? "closed" : "open");
    {
      piattaforma::FileTemporaneo t;
      ASSERT_FALSE(t.crea(f));
      ASSERT_FALSE(t.scrivi("x", 1));
      if (chiuso) {
        ASSERT_FALSE(t.chiudi());
      }
    }
    EXPECT_EQ(nomi_in(dir.percorso()), std::vector<std::string>{"out.dat"});
  }
  piattaforma::FileTemporaneo t;
  ASSERT_FALSE(t.crea(f));
  t.scarta();
  EXPECT_FALSE(t.aperto());
  EXPECT_EQ(nomi_in(dir.percorso()), std::vector<std::string>{"out.dat"});

  // A folder where the file goes is not replaced, and the temporary file goes.
  fs::create_directory(dir / "cartella");
  ASSERT_FALSE(t.crea(dir / "cartella"));
  ASSERT_FALSE(t.chiudi());
  EXPECT_TRUE(t.sposta_su(dir / "cartella"));
  t.scarta();
  EXPECT_EQ(nomi_in(dir.percorso()), (std::vector<std::string>{"cartella", "out.dat"}));
  EXPECT_TRUE(fs::is_directory(dir / "cartella"));
}

// A run killed while writing (kill -9, a power cut) must leave nothing: on Linux the file has
// no name until it is whole.
TEST(Piattaforma, ATemporaryFileHasNoNameUntilClosedOnLinux) {
  test::CartellaTemporanea dir;
  piattaforma::FileTemporaneo t;
  ASSERT_FALSE(t.crea(dir / "out.dat"));
  ASSERT_FALSE(t.scrivi("x", 1));
  EXPECT_EQ(nomi_in(dir.percorso()), std::vector<std::string>{});
}

// A write stopped at any of its steps, with unnamed temporary files and with named ones. Each
// step gets `azione` once: the stop from within the program, or a signal.
constexpr piattaforma::PassoScrittura kPassi[] = {piattaforma::PassoScrittura::kRegistrato,
                                                  piattaforma::PassoScrittura::kNominato,
                                                  piattaforma::PassoScrittura::kSpostato};
const char* nome_passo(piattaforma::PassoScrittura passo) {
  constexpr const char* kNomi[] = {"its name registered", "named", "moved into place"};
  return kNomi[static_cast<int>(passo)];
}
piattaforma::PassoScrittura passo_scelto;
void (*azione_al_passo)() = nullptr;

void al_passo(piattaforma::PassoScrittura passo) {
  if (passo == passo_scelto && azione_al_passo != nullptr) azione_al_passo();
}

// Writes "new" over `f`; the first failure, if any.
std::error_code scrivi_nuovo(const fs::path& f) {
  piattaforma::FileTemporaneo t;
  for (const auto& passo : {std::function<std::error_code()>([&] { return t.crea(f); }),
                            std::function<std::error_code()>([&] { return t.scrivi("new", 3); }),
                            std::function<std::error_code()>([&] { return t.chiudi(); }),
                            std::function<std::error_code()>([&] { return t.sposta_su(f); })})
    if (const std::error_code ec = passo()) return ec;
  return {};
}

// serve stops while another thread writes: whatever step that write has reached, nothing is
// left but the old file, or the new one whole once it was moved.
TEST(Piattaforma, AStopAtAnyStepOfAWriteLeavesNoTemporaryFile) {
  for (const bool anonimi : {true, false}) {
    for (const piattaforma::PassoScrittura passo : kPassi) {
      SCOPED_TRACE(std::string(anonimi ? "unnamed" : "named") + " file, " + nome_passo(passo));
      test::CartellaTemporanea dir;
      test::scrivi(dir / "out.dat", "old");
      passo_scelto = passo;
      azione_al_passo = [] { piattaforma::interrompi_scritture(); };
      piattaforma::prove_scrittura({al_passo, !anonimi});
      const std::error_code ec = scrivi_nuovo(dir / "out.dat");
      piattaforma::prove_scrittura({});
      const bool spostato = passo == piattaforma::PassoScrittura::kSpostato;
      EXPECT_EQ(ec,
                spostato ? std::error_code() : std::make_error_code(std::errc::operation_canceled))
          << ec.message();
      EXPECT_EQ(nomi_in(dir.percorso()), std::vector<std::string>{"out.dat"});
      EXPECT_EQ(test::contenuto(dir / "out.dat"), spostato ? "new" : "old");
    }
  }
  // Once stopped, nothing more is written; a test lets writing go on again.
  test::CartellaTemporanea dir;
  piattaforma::interrompi_scritture();
  EXPECT_EQ(scrivi_nuovo(dir / "out.dat"), std::errc::operation_canceled);
  piattaforma::prove_scrittura({});
  EXPECT_FALSE(scrivi_nuovo(dir / "out.dat"));
  EXPECT_EQ(nomi_in(dir.percorso()), std::vector<std::string>{"out.dat"});
}

// Each write takes a place in the register of names an interrupt removes, and gives it back
// once its file is moved into place or abandoned: serve writes for hours, and a register that
// filled up would leave the temporary files of an interrupted write behind.
TEST(Piattaforma, EveryWriteGivesBackItsPlaceForAnInterrupt) {
  test::CartellaTemporanea dir;
  for (const bool anonimi : {true, false}) {
    SCOPED_TRACE(anonimi ? "unnamed files" : "named files");
    piattaforma::prove_scrittura({nullptr, !anonimi});
    for (int i = 0; i < 3 * piattaforma::kPostiRegistro; ++i) {
      ASSERT_FALSE(scrivi_nuovo(dir / "out.dat"));
      piattaforma::FileTemporaneo abbandonato;
      ASSERT_FALSE(abbandonato.crea(dir / "out.dat"));
      ASSERT_FALSE(abbandonato.chiudi());  // named now, and never moved
    }
    piattaforma::prove_scrittura({});
    int posto = piattaforma::registra(dir / "out.dat.tmp-abcdef");
    EXPECT_GE(posto, 0) << "no place left in the register";
    piattaforma::dimentica(posto);
    EXPECT_EQ(posto, -1);
  }
  EXPECT_EQ(nomi_in(dir.percorso()), std::vector<std::string>{"out.dat"});
}

#ifndef _WIN32
// Ctrl-C or SIGTERM at any step of a write ends the program as the signal does, and leaves
// nothing but the old file, or the new one whole once it was moved.
TEST(Piattaforma, AnInterruptAtAnyStepOfAWriteLeavesNoTemporaryFile) {
  for (const int segnale : {SIGTERM, SIGINT}) {
    for (const bool anonimi : {true, false}) {
      for (const piattaforma::PassoScrittura passo : kPassi) {
        SCOPED_TRACE(std::string(strsignal(segnale)) + ", " + (anonimi ? "unnamed" : "named") +
                     " file, " + nome_passo(passo));
        test::CartellaTemporanea dir;
        test::scrivi(dir / "out.dat", "old");
        passo_scelto = passo;
        static int da_alzare;
        da_alzare = segnale;
        EXPECT_EXIT(
            {
              piattaforma::pulisci_alle_interruzioni();
              azione_al_passo = [] { ::raise(da_alzare); };
              piattaforma::prove_scrittura({al_passo, !anonimi});
              scrivi_nuovo(dir / "out.dat");
              std::_Exit(0);
            },
            testing::KilledBySignal(segnale), "");
        EXPECT_EQ(nomi_in(dir.percorso()), std::vector<std::string>{"out.dat"});
        EXPECT_EQ(test::contenuto(dir / "out.dat"),
                  passo == piattaforma::PassoScrittura::kSpostato ? "new" : "old");
      }
    }
  }
}
#endif

// Two runs writing into one folder take turns; the lock leaves nothing in the folder.
TEST(Piattaforma, AFolderIsLockedByOneHolderAtATime) {
  test::CartellaTemporanea dir;
  {
    piattaforma::BloccoCartella primo, secondo;
    ASSERT_TRUE(primo.prova(dir.percorso()));
    EXPECT_FALSE(secondo.prova(dir.percorso()));
    primo.rilascia();
    EXPECT_TRUE(secondo.prova(dir.percorso()));
    EXPECT_FALSE(primo.prova(dir.percorso()));
  }
  piattaforma::BloccoCartella terzo;
  EXPECT_TRUE(terzo.prova(dir.percorso()));  // released by the destructor
  terzo.rilascia();
  EXPECT_EQ(nomi_in(dir.percorso()), std::vector<std::string>{});
  // A folder that is not there has no lock to take or wait for.
  EXPECT_TRUE(terzo.prova(dir / "manca"));
  terzo.aspetta(dir / "manca");
}

// serve's watcher of files, and the polling it falls back on where the system says nothing:
// each is asked whether the files changed, for at most so many milliseconds.
using Attesa = std::function<bool(int)>;
template <class Vigile>
Attesa vigile(std::vector<fs::path> file) {
  auto v = std::make_shared<Vigile>(std::move(file));
  return [v](int millisecondi) { return v->aspetta(millisecondi); };
}

// Asks until nothing more is reported, so that the next change reported is the next one made;
// false when the reports never stop.
bool quieta(const Attesa& aspetta) {
  for (int i = 0; i < 100; ++i)
    if (!aspetta(50)) return true;
  return false;
}

// The sources' folder deleted and made again, or replaced by another, as a checkout, rsync or
// an unpacked archive leave it: the watcher says so when it goes and when it is back, is quiet
// while it is away, and from then on watches the files of the folder now there.
TEST(Piattaforma, AWatchedFolderThatGoesAndComesBackIsWatchedAgain) {
  constexpr int kLimite = 20000;  // "at once", with room for a loaded machine
  const std::string kSorgenti[] = {"L_linea.txt", "L_T-.txt"};
  // Each write has a new size, so that the polling sees it within one tick of the clock too.
  const auto riempi = [&](const fs::path& cartella, const std::string& testo) {
    fs::create_directories(cartella);
    for (const auto& nome : kSorgenti) test::scrivi(cartella / nome, testo);
  };
  const auto cancella = [](const fs::path& su) { fs::remove_all(su / "giu"); };
  const auto rifai = [&](const fs::path& su) { riempi(su / "giu", "due due\n"); };
  struct Caso {
    const char* nome;
    // What takes the watched folder su/giu away, and what brings one back.
    std::function<void(const fs::path&su)> via, di_nuovo;
    bool guardata_in_mezzo;  // whether the watcher is asked while it is away
  };
  const Caso casi[] = {
      {"deleted, then made again", cancella, rifai, true},
      {"deleted and made again at once", cancella, rifai, false},
      {"replaced by another moved to its name",
       [&](const fs::path& su) {
         riempi(su / "nuova", "due due\n");
         fs::rename(su / "giu", su / "vecchia");
       },
       [](const fs::path& su) { fs::rename(su / "nuova", su / "giu"); }, false},
      {"moved away with its parent, then made again",
       [](const fs::path& su) { fs::rename(su, su.parent_path() / "su_vecchia"); }, rifai, true},
  };
  const std::pair<const char*, Attesa (*)(std::vector<fs::path>)> vigili[] = {
      {"watcher", vigile<piattaforma::Osservatore>}, {"polling", vigile<piattaforma::Impronte>}};
  for (const auto& [nome, nuovo_vigile] : vigili) {
    for (const Caso& caso : casi) {
      SCOPED_TRACE(std::string(nome) + ", folder " + caso.nome);
      test::CartellaTemporanea dir;
      const fs::path su = dir / "su";
      riempi(su / "giu", "uno\n");
      std::vector<fs::path> file;
      for (const auto& n : kSorgenti) file.push_back(su / "giu" / n);
      const Attesa aspetta = nuovo_vigile(file);
      EXPECT_FALSE(aspetta(0));
      caso.via(su);
      if (caso.guardata_in_mezzo) {
        EXPECT_TRUE(aspetta(kLimite)) << "the folder went";
        EXPECT_TRUE(quieta(aspetta)) << "reports without end while the folder is away";
      }
      caso.di_nuovo(su);
      EXPECT_TRUE(aspetta(kLimite)) << "the folder is back";
      ASSERT_TRUE(quieta(aspetta)) << "reports without end once the folder is back";
      test::scrivi(file[1], "tre tre tre\n");
      EXPECT_TRUE(aspetta(kLimite)) << "a write in the folder now there";
    }
  }
}

// The two sources in folders of their own: when one folder goes and comes back, the watch is
// made anew for both, and a later write in either, the folder that came back or the one that
// stayed, is reported.
TEST(Piattaforma, EachSourcesFolderIsWatchedAgainWhenOneComesBack) {
  constexpr int kLimite = 20000;
  const std::pair<const char*, Attesa (*)(std::vector<fs::path>)> vigili[] = {
      {"watcher", vigile<piattaforma::Osservatore>}, {"polling", vigile<piattaforma::Impronte>}};
  for (const auto& [nome, nuovo_vigile] : vigili) {
    SCOPED_TRACE(nome);
    test::CartellaTemporanea dir;
    const std::vector<fs::path> file = {dir / "linea" / "L_linea.txt", dir / "treno" / "L_T-.txt"};
    for (const fs::path& f : file) {
      fs::create_directories(f.parent_path());
      test::scrivi(f, "uno\n");
    }
    const Attesa aspetta = nuovo_vigile(file);
    fs::remove_all(file[1].parent_path());
    EXPECT_TRUE(aspetta(kLimite)) << "the train's folder went";
    ASSERT_TRUE(quieta(aspetta));
    fs::create_directories(file[1].parent_path());
    test::scrivi(file[1], "due due\n");
    EXPECT_TRUE(aspetta(kLimite)) << "the train's folder is back";
    ASSERT_TRUE(quieta(aspetta));
    // Each write has a new size, so that the polling sees it within one tick of the clock too.
    std::string testo = "tre tre tre\n";
    for (const fs::path& f : file) {
      SCOPED_TRACE(f.parent_path().filename().string());
      test::scrivi(f, testo);
      testo += "+";
      EXPECT_TRUE(aspetta(kLimite)) << "a write after the folder came back";
      ASSERT_TRUE(quieta(aspetta));
    }
  }
}

// Names are Windows-1252 inside the files; on disk they are what a person reads, in the
// system's own encoding (UTF-8 bytes on POSIX, UTF-16 on Windows).
TEST(Piattaforma, NamesFromUtf8ReachTheDiskAsTheyAre) {
  struct Caso {
    std::string w1252, utf8;
  };
  const Caso casi[] = {
      {"BELMONZA VALICO - SOLMA_D 237.sim", "BELMONZA VALICO - SOLMA_D 237.sim"},
      {"CITT\xC0_linea.dat", "CITT\xC3\x80_linea.dat"},
      {"citt\xE0 2\xB0.txt", "citt\xC3\xA0 2\xC2\xB0.txt"},
      {"\x80 \x9F \xFF.txt", "\xE2\x82\xAC \xC5\xB8 \xC3\xBF.txt"},  // euro, Y and y diaeresis
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.utf8);
    test::CartellaTemporanea dir;
    const fs::path nome = piattaforma::percorso(utf8_da_1252(c.w1252));
    EXPECT_EQ(nome, fs::path(std::u8string(c.utf8.begin(), c.utf8.end())));
    std::string letto;
    {
      piattaforma::FileTemporaneo t;
      ASSERT_FALSE(t.crea(dir.percorso() / nome));
      ASSERT_FALSE(t.scrivi(c.w1252.data(), c.w1252.size()));
      ASSERT_FALSE(t.chiudi());
      ASSERT_FALSE(t.sposta_su(dir.percorso() / nome));
    }
    EXPECT_EQ(nomi_in(dir.percorso()), std::vector<std::string>{c.utf8});
    EXPECT_TRUE(piattaforma::esiste(dir.percorso() / nome));
    ASSERT_FALSE(piattaforma::leggi_tutto(dir.percorso() / nome, letto, 100));
    EXPECT_EQ(letto, c.w1252);
    EXPECT_FALSE(piattaforma::rimuovi(dir.percorso() / nome));
    EXPECT_TRUE(fs::is_empty(dir.percorso()));
  }
}

// The folder of the program that runs, not the folder it was started from.
TEST(Piattaforma, TheProgramsFolderIsWhereTheProgramIs) {
  test::CartellaTemporanea dir;
  const fs::path prima = fs::current_path();
  fs::current_path(dir.percorso());
  const fs::path cartella = piattaforma::cartella_programma();
  fs::current_path(prima);
  EXPECT_NE(cartella, dir.percorso());
  bool trovato = false;
  for (const auto& voce : fs::directory_iterator(cartella))
    trovato = trovato || voce.path().stem() == "test_piattaforma";
  EXPECT_TRUE(trovato) << cartella;
}

}  // namespace
}  // namespace gs

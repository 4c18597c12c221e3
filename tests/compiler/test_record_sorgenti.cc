#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "compiler/guida_record.h"
#include "compiler/parole.h"
#include "compiler/record_sorgenti.h"
#include "support/sorgenti.h"

namespace gs {
namespace {

using test::leggi;

// A record of each kind as an author writes it, with distinct values, that compiles cleanly on
// its own in the line and train sources below.
struct Esempio {
  TipoRecord tipo;
  std::string_view riga;
};
constexpr Esempio kEsempi[] = {
    {TipoRecord::kLunghezza, "lunghezza percorso, 12345"},
    {TipoRecord::kProgressivaChilometricaTre, "progressiva chilometrica tre, 9000, 11500, 1"},
    {TipoRecord::kProgressivaChilometricaDue, "progressiva chilometrica due, 4000, 7000, 0"},
    {TipoRecord::kProgressivaChilometricaUno, "progressiva chilometrica uno, 0, 3000, 0"},
    {TipoRecord::kSfondoUno, "sfondo uno, 80001"},
    {TipoRecord::kSfondoDue, "sfondo due, 80002"},
    {TipoRecord::kSfondoTre, "sfondo tre, 80003"},
    {TipoRecord::kRipetizione, "ripetizione segnali 9 codici, 1000, 1500"},
    {TipoRecord::kPendenza, "pendenza, 3000, 12"},
    {TipoRecord::kCurva, "curvad3, 8000, 500"},
    {TipoRecord::kMontagna, "montagna, 7000, 7600, 12"},
    {TipoRecord::kIndicatori, "indicatori_vmax, 1150, 70, 75, 75, 1, 5, 10, 15, 2"},
    {TipoRecord::kCartello, "cartello_indicatore, 4650, (GALLERIA PROVA)"},
    {TipoRecord::kMassaFrenata, "percentuale massa frenata, 125"},
    {TipoRecord::kVetture, "numero vetture, 10"},
    {TipoRecord::kVelocita, "velocita, 0, 80"},
    {TipoRecord::kAderenza, "aderenza, 0, 90"},
    {TipoRecord::kOrologio, "orologio, 7, 15, 30"},
    {TipoRecord::kSabbia, "sabbia, 300"},
    {TipoRecord::kSegnale, "segnale, 4500, 1, 3, 4, 5, 6, 2, 7, 8, 9, 10"},
    {TipoRecord::kRallentamento, "rallentamento, 9000, 30, 300, 1, 0, 0"},
    {TipoRecord::kAbbattimento, "abbattimento, 9500, 270"},
    {TipoRecord::kStazione,
     "stazione, 6000, 12, 600, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 7, 6, 30, BETA"},
};

// The value fields of an example: where each starts in the line (from 0), and its text.
struct CampoScritto {
  std::size_t colonna;
  std::string testo;
};
std::vector<CampoScritto> campi_scritti(std::string_view riga) {
  std::vector<CampoScritto> v;
  for (std::size_t virgola = riga.find(','); virgola != std::string_view::npos;
       virgola = riga.find(',', virgola + 1)) {
    std::size_t a = virgola + 1;
    while (riga[a] == ' ') ++a;
    const std::size_t b = std::min(riga.find(',', a), riga.size());
    v.push_back({a, std::string(riga.substr(a, b - a))});
  }
  return v;
}

// The example with value field `i` (from 0) written as `valore`.
std::string con_campo(std::string_view riga, std::size_t i, std::string_view valore) {
  const CampoScritto c = campi_scritti(riga)[i];
  std::string s(riga);
  return s.replace(c.colonna, c.testo.size(), valore);
}

// The two sources around one record, and the source that holds it.
struct Prova {
  std::string linea;
  std::string treno;
  bool nel_treno;
};
Prova prova(TipoRecord tipo, const std::string& riga) {
  switch (record_sorgente(tipo).sezione) {
    case Sezione::kLineaGenerale:
      return {
          "[generale]\r\n" +
              (tipo == TipoRecord::kLunghezza ? riga : "lunghezza percorso, 100000\r\n" + riga) +
              "\r\n[curve]\r\n[fine]\r\n",
          test::treno({}), false};
    case Sezione::kLinea:
      return {test::linea({riga}), test::treno({}), false};
    case Sezione::kTreno:
      return {test::linea({}), test::treno({riga}), true};
  }
  return {};
}

const Esempio& esempio(TipoRecord tipo) {
  for (const Esempio& e : kEsempi)
    if (e.tipo == tipo) return e;
  throw std::logic_error("no example");
}

// The line (from 1) of the source on which `riga` stands.
int32_t riga_di(const std::string& sorgente, const std::string& riga) {
  const std::size_t a = sorgente.find(riga);
  return 1 + static_cast<int32_t>(std::count(
                 sorgente.begin(), sorgente.begin() + static_cast<std::ptrdiff_t>(a), '\n'));
}

TEST(RecordSorgenti, EveryRecordHasOneRowAndAnExample) {
  std::set<int> visti;
  for (const Sezione s : kSezioni) {
    for (const RecordSorgente& r : record_di(s)) {
      EXPECT_EQ(r.sezione, s);
      EXPECT_TRUE(visti.insert(static_cast<int>(r.tipo)).second) << r.forma;
      EXPECT_EQ(&record_sorgente(r.tipo), &r);
      EXPECT_NO_THROW(esempio(r.tipo)) << r.forma;
      EXPECT_FALSE(r.scritte.empty()) << r.forma;
      EXPECT_FALSE(r.parole.empty()) << r.forma;
    }
  }
  EXPECT_EQ(visti.size(), static_cast<std::size_t>(TipoRecord::kStazione) + 1);
}

// Each example compiles cleanly, and a field written wrong is an error that names the field as
// the table does, at the field: text where a number goes, and one past the top of its type.
TEST(RecordSorgenti, TheReadersReadAndNameEachFieldAsTheTableSays) {
  int provati = 0;
  for (const Esempio& e : kEsempi) {
    SCOPED_TRACE(std::string(e.riga));
    const RecordSorgente& r = record_sorgente(e.tipo);
    const Prova giusta = prova(e.tipo, std::string(e.riga));
    auto letta = leggi(giusta.linea, giusta.treno);
    ASSERT_EQ(letta->n(), 0) << letta->c.registro.elenco().back().messaggio;
    ASSERT_EQ(campi_scritti(e.riga).size(), r.campi.size());
    for (std::size_t i = 0; i < r.campi.size(); ++i) {
      const CampoSorgente& c = r.campi[i];
      if (c.tipo == TipoCampo::kTesto) continue;
      SCOPED_TRACE(std::string(c.nome));
      for (const std::string& sbagliato : {std::string("x"), std::to_string(massimo(c.tipo) + 1)}) {
        const std::string riga = con_campo(e.riga, i, sbagliato);
        const Prova p = prova(e.tipo, riga);
        auto l = leggi(p.linea, p.treno);
        ASSERT_EQ(l->n(), 25) << riga;
        const Diagnostica& d = l->c.registro.elenco().back();
        EXPECT_EQ(d.messaggio.rfind(std::string(c.nome) + " ", 0), 0u) << d.messaggio;
        EXPECT_NE(d.messaggio.find(sbagliato), std::string::npos) << d.messaggio;
        EXPECT_EQ(d.luogo.riga, riga_di(p.nel_treno ? p.treno : p.linea, riga));
        EXPECT_EQ(d.luogo.colonna, static_cast<int32_t>(campi_scritti(riga)[i].colonna) + 1);
        ++provati;
      }
    }
  }
  EXPECT_GT(provati, 120);
}

// The value of a table entry's field, by the name kCampiStazione gives it.
std::string campo_voce(const Stazione& s, std::string_view nome) {
  std::string v = "?";
  per_ogni_campo(kCampiStazione, [&](const auto& c) {
    if (c.nome != nome) return;
    if constexpr (std::is_same_v<typename std::decay_t<decltype(c)>::Tipo, std::string>)
      v = s.*c.membro;
    else
      v = std::to_string(static_cast<int64_t>(s.*c.membro));
  });
  return v;
}

bool nel_record(const auto& campi, std::string_view nome) {
  bool trovato = false;
  per_ogni_campo(campi, [&](const auto& c) { trovato = trovato || c.nome == nome; });
  return trovato;
}

// A compiled field named by the table exists, and the guide's Becomes names it; a value whose
// Becomes is only its table entry's field is stored there as written.
TEST(RecordSorgenti, ValuesLandWhereTheTableSays) {
  int provati = 0;
  for (const Esempio& e : kEsempi) {
    const RecordSorgente& r = record_sorgente(e.tipo);
    const Prova p = prova(e.tipo, std::string(e.riga));
    auto l = leggi(p.linea, p.treno);
    const std::vector<CampoScritto> scritti = campi_scritti(e.riga);
    for (std::size_t i = 0; i < r.campi.size(); ++i) {
      const CampoSorgente& c = r.campi[i];
      SCOPED_TRACE(std::string(r.forma) + " " + std::string(c.nome));
      const Approdo& a = c.approdo;
      if (a.dove == Dove::kNessuno || a.dove == Dove::kPianta) {
        EXPECT_TRUE(a.campo.empty());
        continue;
      }
      EXPECT_NE(c.diventa.find(std::string(1, '`').append(a.campo).append("`")),
                std::string_view::npos);
      if (a.dove == Dove::kCelle) {
        EXPECT_TRUE(nel_record(kCampiCella, a.campo));
        continue;
      }
      EXPECT_TRUE(nel_record(kCampiStazione, a.campo));
      const bool fissa = a.dove == Dove::kVoce;
      if (!fissa && a.dove != Dove::kVoceStazione) continue;
      const std::string solo = "entry " + (fissa ? std::to_string(a.voce) : std::string("N")) +
                               " `" + std::string(a.campo) + "`";
      if (c.diventa != solo) continue;
      EXPECT_EQ(campo_voce(l->c.stazioni[static_cast<std::size_t>(fissa ? a.voce : 1)], a.campo),
                scritti[i].testo);
      ++provati;
    }
  }
  EXPECT_GT(provati, 15);
}

// A cell's field, by the name kCampiCella gives it.
// A position field's cell rule: the cell it names holds what the record writes there, and the
// cell beyond it on the record's outer side holds something else.
TEST(RecordSorgenti, PositionsFallInTheCellsTheTableSays) {
  int provati = 0;
  for (const Esempio& e : kEsempi) {
    const RecordSorgente& r = record_sorgente(e.tipo);
    const Prova p = prova(e.tipo, std::string(e.riga));
    auto l = leggi(p.linea, p.treno);
    const std::vector<CampoScritto> scritti = campi_scritti(e.riga);
    for (std::size_t i = 0; i < r.campi.size(); ++i) {
      const CampoSorgente& c = r.campi[i];
      if (c.cella == RegolaCella::kNessuna) continue;
      SCOPED_TRACE(std::string(r.forma) + " " + std::string(c.nome));
      // A start field itself lands nowhere: its record's value shows where it begins.
      const std::string_view campo =
          c.approdo.campo.empty() ? r.campi[i + 1].approdo.campo : c.approdo.campo;
      const int64_t metri = std::stoll(scritti[i].testo);
      const int64_t k = cella_di(c.cella, metri);
      const int64_t dentro = campo_cella(l->cella(k), campo).value_or(-1);
      EXPECT_NE(dentro, 0) << campo << " of cell " << k;
      const int64_t fuori = c.cella == RegolaCella::kFineCampata ? k + 1 : k - 1;
      if (fuori >= 0) {
        EXPECT_NE(campo_cella(l->cella(fuori), campo).value_or(-1), dentro)
            << campo << " of cell " << fuori;
      }
      ++provati;
    }
  }
  EXPECT_GE(provati, 10);
}

std::string maiuscole(std::string_view s) {
  std::string m(s);
  for (char& ch : m)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  return m;
}

// The keywords as authors write them name their records, in capitals too unless a word counts
// only in lower case; the nearest-keyword hints offer the same keywords and name each record by
// its first word.
TEST(RecordSorgenti, KeywordsAndTheHintsAgree) {
  const struct {
    Sezione sezione;
    std::span<const std::string_view> suggerite;
    const Altrove& altrove;
  } casi[] = {{Sezione::kLineaGenerale, kParoleGenerale, kAltroveGenerale},
              {Sezione::kLinea, kParoleLinea, kAltroveLinea},
              {Sezione::kTreno, kParoleTreno, kAltroveTreno}};
  for (const auto& caso : casi) {
    std::multiset<std::string_view> scritte;
    std::vector<std::string_view> prime;
    for (const RecordSorgente& r : record_di(caso.sezione)) {
      const bool minuscole = std::any_of(r.parole.begin(), r.parole.end(),
                                         [](const ParolaChiave& p) { return p.minuscola; });
      for (const std::string_view w : r.scritte) {
        scritte.insert(w);
        EXPECT_TRUE(r.riconosce(w)) << w;
        EXPECT_EQ(r.riconosce(maiuscole(w)), !minuscole) << w;
      }
      if (std::find(prime.begin(), prime.end(), r.parole[0].parola) == prime.end())
        prime.push_back(r.parole[0].parola);
    }
    EXPECT_EQ(scritte,
              std::multiset<std::string_view>(caso.suggerite.begin(), caso.suggerite.end()));
    EXPECT_EQ(prime, std::vector<std::string_view>(caso.altrove.chiavi.begin(),
                                                   caso.altrove.chiavi.end()));
  }
}

TEST(RecordSorgenti, TheGuidesTablesAreTheTables) {
  std::ifstream f(std::string(GS_SORGENTI) + "/docs/authoring.md", std::ios::binary);
  ASSERT_TRUE(f) << "docs/authoring.md";
  std::stringstream ss;
  ss << f.rdbuf();
  const std::string guida = ss.str();
  std::string rifatta;
  ASSERT_NO_THROW(rifatta = rigenera_guida(guida));
  EXPECT_EQ(rifatta, guida) << "regenerate the tables: scripts/aggiorna_guida.sh";
}

TEST(RecordSorgenti, AGuideWithoutATableOrWithAnUnknownOneIsRefused) {
  std::string tutte;
  for (const TabellaGuida& t : tabelle_guida())
    tutte += "<!-- BEGIN generated by: tabelle_record " + std::string(t.nome) +
             " -->\nold\n<!-- END generated -->\n";
  EXPECT_NE(rigenera_guida(tutte), tutte);
  EXPECT_EQ(rigenera_guida(rigenera_guida(tutte)), rigenera_guida(tutte));
  EXPECT_THROW(rigenera_guida(""), std::runtime_error);
  EXPECT_THROW(rigenera_guida(tutte + "<!-- BEGIN generated by: tabelle_record x -->\n"
                                      "<!-- END generated -->\n"),
               std::runtime_error);
  EXPECT_THROW(rigenera_guida(tutte + tutte), std::runtime_error);
}

}  // namespace
}  // namespace gs

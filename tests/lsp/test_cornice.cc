// The framing: whole messages however the bytes are cut, and every fault reported once with the
// messages after it still read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lsp/cornice.h"

namespace gs {
namespace {

using lsp::Cornice;
using lsp::incornicia;
using lsp::LettoreCornici;

std::vector<Cornice> leggi(LettoreCornici& l) {
  std::vector<Cornice> c;
  while (auto x = l.prossima()) c.push_back(*x);
  return c;
}

std::vector<Cornice> leggi_tutto(const std::string& byte) {
  LettoreCornici l;
  l.aggiungi(byte);
  return leggi(l);
}

TEST(LspCornice, MessagesCutAnywhereComeOutWhole) {
  const std::string corpi[] = {"{\"a\":1}", "", "{\"t\":\"\xC3\xA0\\r\\n\"}",
                               std::string(70000, 'x')};
  std::string byte;
  for (const std::string& c : corpi) byte += incornicia(c);
  for (const std::size_t passo : {std::size_t{1}, std::size_t{7}, std::size_t{4096}, byte.size()}) {
    SCOPED_TRACE(passo);
    LettoreCornici l;
    std::vector<Cornice> letti;
    for (std::size_t i = 0; i < byte.size(); i += passo) {
      l.aggiungi(std::string_view(byte).substr(i, passo));
      for (const Cornice& c : leggi(l)) letti.push_back(c);
    }
    ASSERT_EQ(letti.size(), std::size(corpi));
    for (std::size_t i = 0; i < letti.size(); ++i) {
      EXPECT_FALSE(letti[i].guasto);
      EXPECT_EQ(letti[i].testo, corpi[i]);
    }
  }
}

TEST(LspCornice, HeaderNamesIgnoreCaseAndOtherFieldsAreSkipped) {
  const auto c = leggi_tutto(
      "content-length:  2 \r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n{}");
  ASSERT_EQ(c.size(), 1u);
  EXPECT_FALSE(c[0].guasto);
  EXPECT_EQ(c[0].testo, "{}");
}

// Each fault is reported, and the well-formed message after it is read.
TEST(LspCornice, AFaultIsReportedAndTheNextMessageIsRead) {
  struct Caso {
    std::string byte;
    std::string motivo;
  };
  const Caso casi[] = {
      {"Content-Type: x\r\n\r\n{}", "without Content-Length"},
      {"Content-Length: 1x\r\n\r\n{}", "not a number"},
      {"Content-Length: -2\r\n\r\n{}", "not a number"},
      {"Content-Length: 99999999999999999999\r\n\r\n{}", "not a number"},
      {"no colon here\r\n\r\n{}", "without a colon"},
      {std::string(9000, 'a'), "longer than"},
  };
  for (const Caso& caso : casi) {
    SCOPED_TRACE(caso.byte.substr(0, 60));
    const auto c = leggi_tutto(caso.byte + incornicia("{\"dopo\":1}"));
    ASSERT_GE(c.size(), 2u);
    EXPECT_TRUE(c[0].guasto);
    EXPECT_NE(c[0].testo.find(caso.motivo), std::string::npos) << c[0].testo;
    EXPECT_FALSE(c.back().guasto);
    EXPECT_EQ(c.back().testo, "{\"dopo\":1}");
  }
}

TEST(LspCornice, ABodyTooLargeIsSkippedWithoutBeingHeld) {
  LettoreCornici l;
  const std::size_t n = lsp::kMassimoCorpo + 10;
  l.aggiungi("Content-Length: " + std::to_string(n) + "\r\n\r\n");
  auto c = leggi(l);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_TRUE(c[0].guasto);
  // The body comes in pieces and is dropped as it comes.
  const std::string pezzo(1 << 20, 'z');
  for (std::size_t dati = 0; dati < n; dati += pezzo.size())
    l.aggiungi(std::string_view(pezzo).substr(0, std::min(pezzo.size(), n - dati)));
  l.aggiungi(incornicia("{}"));
  c = leggi(l);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_FALSE(c[0].guasto);
  EXPECT_EQ(c[0].testo, "{}");
}

TEST(LspCornice, AMessageWaitsForAllItsBytes) {
  LettoreCornici l;
  l.aggiungi("Content-Length: 4\r\n\r\n{}");
  EXPECT_TRUE(leggi(l).empty());
  l.aggiungi("  ");
  const auto c = leggi(l);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].testo, "{}  ");
}

}  // namespace
}  // namespace gs

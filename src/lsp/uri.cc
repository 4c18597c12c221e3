#include "lsp/uri.h"

#include "common/ascii.h"

namespace gs::lsp {
namespace {

int cifra_esadecimale(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool lettera(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// "c:" at the start of a name, a Windows drive.
bool con_unita(std::string_view s) { return s.size() >= 2 && lettera(s[0]) && s[1] == ':'; }

}  // namespace

std::string percorso_da_uri(std::string_view uri) {
  constexpr std::string_view kSchema = "file://";
  if (uri.size() < kSchema.size()) return {};
  if (!uguali_ic(uri.substr(0, kSchema.size()), kSchema)) return {};
  uri.remove_prefix(kSchema.size());
  const std::size_t fine = uri.find_first_of("?#");
  if (fine != std::string_view::npos) uri = uri.substr(0, fine);
  std::string p;
  for (std::size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] != '%') {
      p += uri[i];
      continue;
    }
    const int alta = i + 2 < uri.size() ? cifra_esadecimale(uri[i + 1]) : -1;
    const int bassa = i + 2 < uri.size() ? cifra_esadecimale(uri[i + 2]) : -1;
    if (alta < 0 || bassa < 0) return {};
    const char c = static_cast<char>(alta * 16 + bassa);
    if (c == '\0') return {};
    p += c;
    i += 2;
  }
  // The authority: empty or "localhost" for this machine, a server's name otherwise.
  const std::size_t barra = p.find('/');
  const std::string autorita = p.substr(0, barra);
  std::string resto = barra == std::string::npos ? "/" : p.substr(barra);
  if (!autorita.empty() && autorita != "localhost") return "//" + autorita + resto;
  if (resto.size() >= 3 && con_unita(std::string_view(resto).substr(1)) &&
      (resto.size() == 3 || resto[3] == '/'))
    resto.erase(0, 1);
  return resto;
}

std::string uri_da_percorso(std::string_view percorso) {
  std::string p(percorso);
  const bool windows = con_unita(p) || p.starts_with("\\\\");
  if (windows)
    for (char& c : p) c = c == '\\' ? '/' : c;
  std::string uri = "file://";
  std::string_view resto = p;
  if (resto.starts_with("//")) {
    // A server's share: its name is the authority.
    resto.remove_prefix(2);
    const std::size_t barra = resto.find('/');
    uri += resto.substr(0, barra);
    resto = barra == std::string_view::npos ? std::string_view() : resto.substr(barra);
  } else if (con_unita(resto)) {
    uri += '/';
    uri += resto.substr(0, 2);
    resto.remove_prefix(2);
  }
  constexpr char kCifre[] = "0123456789ABCDEF";
  for (const char c : resto) {
    const auto b = static_cast<unsigned char>(c);
    const bool libero = lettera(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                        c == '~' || c == '/';
    if (libero) {
      uri += c;
    } else {
      uri += '%';
      uri += kCifre[b >> 4];
      uri += kCifre[b & 15];
    }
  }
  return uri;
}

}  // namespace gs::lsp

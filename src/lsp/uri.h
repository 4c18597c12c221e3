// Documents are named by URIs; the compiler reads files by name. Only file: URIs name a file.
#ifndef GS_LSP_URI_H
#define GS_LSP_URI_H

#include <string>
#include <string_view>

namespace gs::lsp {

// The file a file: URI names, as UTF-8 with '/' between folders ("/home/a/x.txt",
// "c:/Users/a/x.txt", "//server/share/x.txt"); empty for any other URI, or one whose escapes
// are not valid.
std::string percorso_da_uri(std::string_view uri);

// The file: URI of a file name as percorso_da_uri gives them (a Windows name with '\' too).
std::string uri_da_percorso(std::string_view percorso);

}  // namespace gs::lsp

#endif  // GS_LSP_URI_H

// The page `serve` sends the browser: the live route sheet, whole in one file.
#ifndef GS_VIEWS_PAGINA_H
#define GS_VIEWS_PAGINA_H

#include <string_view>

namespace gs {

std::string_view pagina_servita();

}  // namespace gs

#endif  // GS_VIEWS_PAGINA_H

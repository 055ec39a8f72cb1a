// The keyword test used on the command line and on file-name lists.
#pragma once

#include <string_view>

namespace zv {

// 1 when `keyword` occurs anywhere in `text`, else 0. Capital letters A-Z of
// `text` also match their lower-case forms in `keyword`, so lower-case
// keywords match regardless of case; a capital in `keyword` matches only itself.
int ContainsIgnoreCase(std::string_view text, std::string_view keyword);

}  // namespace zv

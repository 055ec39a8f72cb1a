// A synthetic product package of about 20 MB for the extraction benchmark:
// executables, GBK phrase dictionaries, bitmaps and a few small settings and
// sound files, generated from a fixed seed so every run packs the same bytes.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zv::bench {

using NamedFile = std::pair<std::string, std::string>;

// The files, each small enough for the installer's scratch area.
std::vector<NamedFile> SyntheticProductFiles();

}  // namespace zv::bench

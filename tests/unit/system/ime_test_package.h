// The files of a small product package for the placement and install tests:
// the full IMEs, the language variants as modules the first pass stamps,
// the uninstallers and companions, and the data files the placement copies.
#pragma once

#include <map>
#include <string>

#include "tests/unit/system/utf16_bytes.h"

namespace zv::test {

inline const std::map<std::string, std::string> kImePackageFiles = {
    {"zavoli4.ime", "ime32-full"},
    {"zavoli64.ime", "ime64-full"},
    {"zavo320.ime", ImeModule("v320")},
    {"zavo321.ime", ImeModule("v321")},
    {"zavo640.ime", ImeModule("v640")},
    {"zavo641.ime", ImeModule("v641")},
    {"zavodel.exe", "del32"},
    {"zvqdel64.exe", "del64"},
    {"zavokpmt.exe", "kpmt"},
    {"zavokpm6.exe", "kpm6"},
    {"setupw64.exe", ImeModule("w64")},
    {"zavocyzk.bak", "\xb4\xca\xd7\xe9; "},
    {"zavopyck.bak", "py"},
    {"zvszsj43.zvh", std::string(200, '\1')},
};

}  // namespace zv::test

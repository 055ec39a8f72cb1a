// zvz: the maintainers' tool for the installer's containers.
#include <cstdio>
#include <new>

#include "tools/zvz/commands.h"
#include "tools/zvz/console.h"

int main(int argc, char** argv) {
  zv::zvz::Arguments args(argv + 1, argv + argc);
  try {
    return zv::zvz::RunZvz(args);
  } catch (const std::bad_alloc&) {
    return zv::zvz::Fail("out of memory");
  }
}

"""Checks that the source folders depend only downwards.

The layers, from the bottom: platform, state, package, system, settings,
checks, sequence, ui, app. A file may include headers of its own folder and
of folders below it; each folder's CMake libraries may link only libraries
of its own folder and of folders below it. Prints every breach and exits 1
when there is one.
"""

import os
import re
import sys

LAYERS = ["platform", "state", "package", "system", "settings", "checks", "sequence", "ui", "app"]
RANK = {name: i for i, name in enumerate(LAYERS)}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z_]+)/')
ADD_LIBRARY = re.compile(r"add_library\((zv_\w+)")
LINK = re.compile(r"target_link_libraries\((\w+)([^)]*)\)", re.S)


def layer_of(root, path):
    top = os.path.relpath(path, root).split(os.sep)[0]
    return top if top in RANK else None


def include_breaches(root):
    for layer in LAYERS:
        for folder, _, files in os.walk(os.path.join(root, layer)):
            for name in files:
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(folder, name)
                with open(path, encoding="utf-8", errors="replace") as source:
                    for number, line in enumerate(source, 1):
                        match = INCLUDE.match(line)
                        if match and RANK.get(match.group(1), -1) > RANK[layer]:
                            yield "%s:%d includes %s/" % (os.path.relpath(path, root), number,
                                                          match.group(1))


def cmake_files(root):
    for layer in LAYERS:
        for folder, _, files in os.walk(os.path.join(root, layer)):
            if "CMakeLists.txt" in files:
                yield layer, os.path.join(folder, "CMakeLists.txt")


def link_breaches(root):
    owner = {}
    texts = []
    for layer, path in cmake_files(root):
        with open(path, encoding="utf-8") as cmake:
            text = cmake.read()
        texts.append((layer, path, text))
        for library in ADD_LIBRARY.findall(text):
            owner[library] = layer
    for layer, path, text in texts:
        for target, arguments in LINK.findall(text):
            for library in re.findall(r"zv_\w+", arguments):
                used = owner.get(library)
                if used is not None and RANK[used] > RANK[layer]:
                    yield "%s: %s links %s of %s/" % (os.path.relpath(path, root), target, library,
                                                     used)


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else ".")
    breaches = list(include_breaches(root)) + list(link_breaches(root))
    for breach in breaches:
        print(breach)
    print("%d layering breach(es)" % len(breaches))
    return 1 if breaches else 0


if __name__ == "__main__":
    sys.exit(main())

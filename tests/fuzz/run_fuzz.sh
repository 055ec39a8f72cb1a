#!/bin/sh
# Builds the libFuzzer targets with clang-14 in their own build directory and
# runs them for a while.
#   tests/fuzz/run_fuzz.sh build [BUILD_DIR]             only build every target
#   tests/fuzz/run_fuzz.sh [SECONDS] [BUILD_DIR] [TARGET...]
# SECONDS defaults to 25, BUILD_DIR to build/fuzz, the targets to all of them;
# each runs SECONDS over its generated seeds (make_seeds.py) and its kept
# corpus (tests/fuzz/corpus/<target>, only read), new inputs going to a
# corpus in the build directory. A crash or a broken invariant makes the
# script fail; libFuzzer leaves the input that caused it as crash-* in
# BUILD_DIR/fuzz-run/<target>.
set -eu
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
all_targets="container_fuzz startup_fuzz bitmap_fuzz archive_fuzz registry_fuzz"
seconds=${1:-25}
build_dir=${2:-$source_dir/build/fuzz}
[ $# -gt 2 ] && shift 2 || set --
targets=${*:-$all_targets}

build() {
  cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DZV_FUZZ=ON >/dev/null
  # shellcheck disable=SC2086
  cmake --build "$build_dir" --target $1 -j2
}

if [ "$seconds" = build ]; then
  build "$all_targets"
  exit 0
fi
build "$targets"
for target in $targets; do
  work="$build_dir/fuzz-run/$target"
  mkdir -p "$work/corpus"
  rm -rf "$work/seeds"
  python3 "$source_dir/tests/fuzz/make_seeds.py" "$target" "$work/seeds"
  kept="$source_dir/tests/fuzz/corpus/$target"
  [ -d "$kept" ] || kept=
  (cd "$work" && "$build_dir/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 corpus seeds $kept)
done

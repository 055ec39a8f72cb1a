#!/bin/sh
# Builds the container fuzz target with clang-14 in its own build directory
# and runs it for a while (25 s unless told otherwise).
#   tests/fuzz/run_fuzz.sh [SECONDS] [BUILD_DIR] [CMAKE_SOURCE_DIR]
# A crash or a broken invariant makes the script fail; libFuzzer leaves the
# input that caused it as crash-* in the build directory's fuzz folder.
set -eu
seconds=${1:-25}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=${2:-$source_dir/build/fuzz}
cmake_source=${3:-$source_dir}

cmake -S "$cmake_source" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DZV_FUZZ=ON >/dev/null
cmake --build "$build_dir" --target container_fuzz -j2

work="$build_dir/fuzz-run"
mkdir -p "$work/corpus"
python3 "$source_dir/tests/fuzz/make_seeds.py" "$work/seeds"
cd "$work"
exec "$build_dir/tests/fuzz/container_fuzz" -max_total_time="$seconds" -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 corpus seeds

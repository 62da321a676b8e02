#!/bin/sh
# Builds Vornelnet and runs every test twice: a normal build, then one with AddressSanitizer
# and UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")"
scripts/install-deps.sh
jobs=$(nproc)
for variant in debug asan; do
    sanitize=OFF
    [ "$variant" = asan ] && sanitize=ON
    cmake -S . -B "build/$variant" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
          -DVORNEL_SANITIZE=$sanitize -DVORNEL_WERROR=ON -DVORNEL_BUILD_BENCH=OFF
    cmake --build "build/$variant" -j "$jobs"
    echo "== tests ($variant)"
    ASAN_OPTIONS=detect_leaks=1 ctest --test-dir "build/$variant" --output-on-failure -j "$jobs"
done

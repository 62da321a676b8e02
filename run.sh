#!/bin/sh
# Builds Vornelnet and starts it. The program keeps system.dat and history.txt beside its
# executable, so it is installed into ./out and started from there.
set -eu
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DVORNEL_BUILD_TESTS=OFF -DVORNEL_BUILD_BENCH=OFF -DCMAKE_INSTALL_PREFIX="$PWD/out"
cmake --build build/release -j "$(nproc)"
cmake --install build/release >/dev/null
exec out/bin/vornelnet

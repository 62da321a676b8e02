#!/bin/sh
# Builds Vornelnet and runs every test twice: a normal build, then one with AddressSanitizer
# and UndefinedBehaviorSanitizer (and LeakSanitizer where the machine lets it run).
set -eu
cd "$(dirname "$0")"
scripts/install-deps.sh
jobs=$(nproc)

# One code style: every tracked C++ file must already be as clang-format writes it.
find src tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror

# LeakSanitizer stops the process with ptrace to look for leaks; where the machine forbids
# that it aborts every program, so it is probed once and switched off with a note instead.
mkdir -p build
leaks=1
printf 'int main() { return 0; }\n' > build/lsan-probe.cpp
if ! c++ -fsanitize=address build/lsan-probe.cpp -o build/lsan-probe 2>/dev/null ||
   ! ASAN_OPTIONS=detect_leaks=1 build/lsan-probe >/dev/null 2>&1; then
    leaks=0
    echo "note: LeakSanitizer cannot run on this machine; the sanitizer build runs without it"
fi

for variant in debug asan; do
    sanitize=OFF bench=ON
    [ "$variant" = asan ] && sanitize=ON bench=OFF
    cmake -S . -B "build/$variant" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
          -DVORNEL_SANITIZE=$sanitize -DVORNEL_WERROR=ON -DVORNEL_BUILD_BENCH=$bench
    cmake --build "build/$variant" -j "$jobs"
    echo "== tests ($variant)"
    ASAN_OPTIONS="detect_leaks=$leaks" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
        ctest --test-dir "build/$variant" --output-on-failure --no-tests=error --timeout 300 \
              -j "$jobs"
done

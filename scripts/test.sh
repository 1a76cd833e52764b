#!/usr/bin/env bash
# Installs what is missing, builds and runs every test:
#   1. Release build, warnings as errors: every test, and the benchmarks once, briefly
#   2. The Debian package (scripts/package.sh): lintian, and the tree it installs
#   3. AddressSanitizer with UndefinedBehaviorSanitizer: every test
#   4. ThreadSanitizer: every test (Qt's own internals suppressed, scripts/tsan-qt.supp)
#   5. libFuzzer (clang): each fuzz target for a bounded time, after its corpus
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

step() { printf '\n=== %s\n' "$*"; }
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
# ctest, with its summary kept for the count at the end.
run_ctest() { ctest "$@" 2>&1 | tee -a "$log"; return "${PIPESTATUS[0]}"; }

step "Release build"
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DGOL_WERROR=ON >/dev/null
cmake --build build/release -j"$jobs"
run_ctest --test-dir build/release --output-on-failure -j"$jobs"

step "Benchmarks (a short pass, to keep them working)"
for b in build/release/bench/*_bench; do
  "$b" --benchmark_min_time=0.01 >/dev/null
done

step "Debian package"
scripts/package.sh
deb="$(ls gameoflife_*.deb)"
# Errors and warnings fail; lintian's lesser remarks (info, pedantic) would be shown.
lintian --fail-on error,warning --display-info --pedantic "$deb"
tree="$(mktemp -d)"
trap 'rm -f "$log"; rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
appstreamcli validate-tree --no-net --strict "$tree"
icon="$(sed -n 's/^Icon=//p' "$tree"/usr/share/applications/*.desktop)"
for size in 16 24 32 48 64 128 256; do
  file -b "$tree/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png" | grep -q "PNG image data, $size x $size" ||
    { echo "no ${size}x${size} PNG icon $icon in the package" >&2; exit 1; }
done
"$tree/usr/bin/gameoflife-batch" --random 64x48 --seed 1 -n 10
echo "$deb: lintian clean, metainfo and desktop entry valid as installed, icons 16 to 256"

step "AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGOL_SANITIZE=address,undefined \
  -DGOL_BUILD_BENCH=OFF -DGOL_WERROR=ON >/dev/null
cmake --build build/asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  run_ctest --test-dir build/asan --output-on-failure -j"$jobs"

step "ThreadSanitizer (every test: the engine, the files, the window and its controller, the batch tool)"
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGOL_SANITIZE=thread \
  -DGOL_BUILD_BENCH=OFF -DGOL_WERROR=ON >/dev/null
cmake --build build/tsan -j"$jobs"
# Debian's Qt is not instrumented: the suppressions name Qt's own internals only.
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan-qt.supp" \
  run_ctest --test-dir build/tsan --output-on-failure -j"$jobs"

if [ -d fuzz ] && [ -f fuzz/CMakeLists.txt ] && [ -s fuzz/CMakeLists.txt ]; then
  step "Fuzzing"
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGOL_BUILD_FUZZ=ON \
    -DGOL_BUILD_TESTS=OFF -DGOL_BUILD_BENCH=OFF >/dev/null
  cmake --build build/fuzz -j"$jobs"
  scripts/fuzz.sh build/fuzz "${GOL_FUZZ_SECONDS:-60}"
fi

step "Summary"
total=0
while read -r n; do total=$((total + n)); done < <(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | sed -E 's/.* out of ([0-9]+).*/\1/')
skipped=$(grep -cE '^[[:space:]]*[0-9]+ - .*\(Skipped\)$' "$log" || true)
echo "tests: $((total - skipped)) passed, 0 failed, $skipped skipped"

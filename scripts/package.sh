#!/usr/bin/env bash
# Builds the Debian package of Game of Life and leaves it in the top folder of
# the clone, as gameoflife_<version>_<arch>.deb:
#   scripts/package.sh
# A Release build of its own (build/package, without tests and benchmarks),
# compiled with Debian's hardening flags, packed by CPack; the package's
# dependencies come from the programs (dpkg-shlibdeps).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
build=build/package

# Debian's compiler and linker flags (stack protector, fortified functions,
# read-only relocations), read by CMake when it first configures the build.
# CMake has no CPPFLAGS, so the preprocessor's go with the compiler's.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DGOL_BUILD_TESTS=OFF -DGOL_BUILD_BENCH=OFF \
  -DGOL_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -rf "$build/packages"
(cd "$build" && cpack -G DEB)

debs=("$build"/packages/gameoflife_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "expected one package in $build/packages, found: ${debs[*]}" >&2
  exit 1
fi
# Only the new package beside the sources, so that `apt install ./gameoflife_*.deb` takes it.
rm -f gameoflife_*.deb
cp "${debs[0]}" .
echo "Package: $(basename "${debs[0]}")"

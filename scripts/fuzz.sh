#!/usr/bin/env bash
# Runs the libFuzzer targets of a fuzz build:
#   scripts/fuzz.sh BUILD_DIR SECONDS
# Each target first runs over its committed seed corpus (tests/fuzz-corpus/)
# as a regression test, then fuzzes for SECONDS into a scratch copy of that
# corpus; the committed corpus is never changed. Any crash, leak, sanitizer
# report, timeout or memory overrun fails the script; the input that caused
# it is kept in BUILD_DIR/fuzz-artifacts/.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_DIR SECONDS" >&2
  exit 2
fi
build="$(cd "$1" && pwd)"
seconds="$2"
cd "$(dirname "$0")/.."

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"

common=(-rss_limit_mb=2048 -timeout=10 -print_final_stats=1 "-artifact_prefix=$artifacts/")

for entry in pattern_file_fuzz:pattern image_file_fuzz:image interchange_fuzz:interchange life_fuzz:life \
    macrocell_fuzz:macrocell gzip_fuzz:gzip; do
  target="${entry%%:*}"
  kind="${entry##*:}"
  exe="$build/fuzz/$target"
  seeds="tests/fuzz-corpus/$kind"
  if [ ! -x "$exe" ]; then
    echo "missing fuzz target: $exe" >&2
    exit 1
  fi

  extra=()
  if [ "$kind" = image ]; then
    # libpng prints every broken file on stderr; the fuzzer's own reports
    # and the sanitizers' still get through.
    extra=(-close_fd_mask=2)
  fi

  echo "--- $target: seed corpus ($seeds)"
  "$exe" "${common[@]}" "${extra[@]}" -runs=0 "$seeds"

  echo "--- $target: fuzzing for ${seconds}s"
  mkdir -p "$scratch/$kind"
  cp -R "$seeds/." "$scratch/$kind/"
  "$exe" "${common[@]}" "${extra[@]}" -max_total_time="$seconds" "$scratch/$kind"
done
echo "--- fuzzing found nothing"

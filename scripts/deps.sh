#!/usr/bin/env bash
# Installs the Debian packages the project builds, runs and tests with.
# Idempotent: asks apt-get only for what is missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n libgif-dev libplist-dev zlib1g-dev golly
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev python3
  librsvg2-bin dpkg-dev fakeroot file
  desktop-file-utils appstream lintian man-db
  xvfb openbox x11-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

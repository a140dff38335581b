#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need.
# Idempotent: packages already present are left alone, and apt is only asked
# when something is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  libcli11-dev nlohmann-json3-dev
  clang libclang-rt-dev
  xvfb xauth fonts-liberation fonts-dejavu-core
  locales
  libcsv-dev libreadstat-dev qt6-svg-dev libboost-math-dev
  xdotool x11-utils poppler-utils xclip imagemagick
  python3 python3-pyatspi at-spi2-core dbus-x11
  dpkg-dev fakeroot file lintian desktop-file-utils appstream help2man
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

#!/usr/bin/env bash
# Installs every Debian package the builds, tools and tests need, and those named as arguments. Idempotent;
# quick when all is present. Usage: scripts/install-deps.sh [PACKAGE...]
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  libgtest-dev googletest libbenchmark-dev
  libsndfile1-dev libcairo2-dev fonts-liberation fontconfig
  libx11-dev libxext-dev libxtst-dev libxres-dev
  wine wine64 wine32:i386 xvfb xauth
  sox hyperfine
  lv2-dev
)
# Extra packages a script needs beyond the suite's (scripts/package.sh: zip, lintian).
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

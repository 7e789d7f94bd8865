#!/usr/bin/env bash
# Installs what the build, the tests and the fuzzers need on Debian 12, skipping apt
# entirely when everything is already there.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config dpkg-dev file help2man lintian
    qt6-base-dev libgl-dev nlohmann-json3-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    clang libclang-rt-14-dev
    fonts-liberation2 fonts-dejavu-core xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs the Debian packages the project needs that are not yet installed.
# Usage: tools/setup.sh build|test   (test adds what the test suite needs)
set -euo pipefail

build_packages=(
  cmake ninja-build g++ pkg-config
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libfreetype-dev libsdl2-dev libgl-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth libgl1-mesa-dri
)
test_packages=(xdotool x11-utils libx11-dev)

packages=("${build_packages[@]}")
if [[ "${1:-build}" == test ]]; then
  packages+=("${test_packages[@]}")
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"

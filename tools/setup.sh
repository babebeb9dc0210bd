#!/usr/bin/env bash
# Installs the Debian packages the project needs that are not yet installed.
# Usage: tools/setup.sh build|test|headless|assets|package|fuzz|windows|web
#   test adds what the test suite needs; assets installs only the tools that regenerate the
#   pictures and fonts (tools/make-assets.sh), which building the game does not need; headless
#   adds what ./run.sh needs to play the start on a virtual display and take a screenshot;
#   package adds what tools/package.sh needs to build the Debian package; fuzz adds clang and
#   its libFuzzer runtime for tools/fuzz.sh; windows adds the MinGW-w64 cross compilers, what
#   tools/deps.sh needs to build libraries from Debian's sources, and Wine for the tests; web adds
#   Emscripten, the node modules its tools use, and Chromium for the browser tests.
set -euo pipefail

build_packages=(
  cmake ninja-build g++ pkg-config
  zlib1g-dev libdeflate-dev libpng-dev libjpeg62-turbo-dev libfreetype-dev libsdl2-dev libgl-dev
  libvorbis-dev
  libgtest-dev libbenchmark-dev libstb-dev
  xvfb xauth libgl1-mesa-dri
)
test_packages=(python3 xdotool x11-utils libx11-dev fonts-dejavu-core xfonts-base desktop-file-utils)
# What tools/package.sh needs to build and check the Debian package.
package_packages=(dpkg-dev)
# What ./run.sh needs to show the game on a virtual display when there is no screen.
headless_packages=(xdotool x11-utils imagemagick)
# clang with its sanitizer and libFuzzer runtimes, for tools/fuzz.sh.
fuzz_packages=(clang libclang-rt-dev)
# tools/windows.sh: the cross compilers (posix threads), source packages, nasm for
# libjpeg-turbo's SIMD code, Wine on the virtual display, and zip.
windows_packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 dpkg-dev nasm
  wine wine64 zip
)
# tools/web.sh: Emscripten with binaryen, the acorn parser its JavaScript optimiser needs, node
# for the tests under node and the browser tests, Chromium to run the pages, and what the
# dependency script needs.
web_packages=(emscripten binaryen node-acorn nodejs chromium dpkg-dev python3)
asset_packages=(
  librsvg2-bin imagemagick libjpeg-turbo-progs pngquant python3 python3-pil python3-fonttools
  fonts-paratype console-setup-linux sox libsox-fmt-base vorbis-tools
)

case "${1:-build}" in
  build) packages=("${build_packages[@]}") ;;
  test) packages=("${build_packages[@]}" "${test_packages[@]}") ;;
  headless) packages=("${headless_packages[@]}") ;;
  package) packages=("${build_packages[@]}" "${package_packages[@]}") ;;
  assets) packages=("${asset_packages[@]}") ;;
  fuzz) packages=("${build_packages[@]}" "${fuzz_packages[@]}") ;;
  windows) packages=("${build_packages[@]}" "${test_packages[@]}" "${windows_packages[@]}") ;;
  web) packages=("${build_packages[@]}" "${test_packages[@]}" "${web_packages[@]}") ;;
  *) echo "usage: $0 build|test|headless|assets|package|fuzz|windows|web" >&2; exit 2 ;;
esac

# The browser tests install their tooling with npm, which some packagings of node bring along
# and Debian's does not.
[[ ${1:-} == web ]] && ! command -v npm >/dev/null && packages+=(npm)

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

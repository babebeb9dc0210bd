#!/usr/bin/env bash
# Builds the libraries the framework needs for another target from Debian's source packages, as
# static libraries, into a cache kept per target. Each package is rebuilt only when Debian ships
# another version of it, so a second run does nothing.
#
# Usage: tools/deps.sh windows|web [package...]     prints the install prefix as its last line
#   ZORVAK_DEPS_DIR   the cache (default: ~/.cache/zorvak-deps); the prefix is <cache>/<target>
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

target=${1:-}
shift || true
case "$target" in
  windows) toolchain=$repo/cmake/toolchains/windows.cmake ;;
  web) toolchain=$repo/cmake/toolchains/web.cmake ;;
  *) echo "usage: $0 windows|web [package...]" >&2; exit 2 ;;
esac
# emcc's linker and configure checks run its JavaScript tools, which need Debian's node modules.
export NODE_PATH=/usr/share/nodejs

cache=${ZORVAK_DEPS_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/zorvak-deps}
prefix=$cache/$target
sources=$cache/sources
mkdir -p "$prefix/stamps" "$sources"

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)

# The Debian source packages built for each target, in the order they depend on each other. The
# web build has no benchmarks: they measure the Linux build.
all_packages=(zlib libpng1.6 libdeflate libjpeg-turbo freetype libsdl2 libogg libvorbis googletest)
[[ $target == windows ]] && all_packages+=(benchmark)
packages=("$@")
[[ ${#packages[@]} -eq 0 ]] && packages=("${all_packages[@]}")

# apt-get source needs deb-src entries, made from the system's own archive entries.
ensure_source_archives() {
  local listed=/etc/apt/sources.list.d/zorvak-deb-src.sources
  [[ -n $(apt-get source --print-uris -qq zlib 2>/dev/null) ]] && return
  local debian=/etc/apt/sources.list.d/debian.sources
  if [[ ! -f $debian ]]; then
    echo "no $debian to derive deb-src entries from; add deb-src lines for your archive" >&2
    exit 1
  fi
  # The security archive serves no sources; the main archive and its updates do.
  awk -v RS= -v ORS='\n\n' '!/debian-security/' "$debian" | sed 's/^Types: deb$/Types: deb-src/' |
    "${sudo[@]}" tee "$listed" >/dev/null
  "${sudo[@]}" apt-get update -q
}

# The version apt would fetch for a source package, from the name of its .dsc file.
source_version() {
  apt-get source --print-uris -qq "$1" | awk '/\.dsc/ { gsub(/\x27/, "", $2); print $2 }' |
    sed -E "s/^$1_(.*)\.dsc$/\1/"
}

# Unpacks the source package once per version and prints its folder.
unpack() {
  local package=$1 version=$2
  local folder=$sources/${package}_$version
  if [[ ! -f $folder/.unpacked ]]; then
    rm -rf "$folder"
    mkdir -p "$folder"
    if ! (cd "$folder" && apt-get source -qq "$package" >&2); then
      echo "could not fetch the source package $package" >&2
      exit 1
    fi
    touch "$folder/.unpacked"
  fi
  find "$folder" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

cmake_configure() {
  local source=$1 build=$2
  shift 2
  rm -rf "$build"
  cmake -S "$source" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DZORVAK_DEPS_PREFIX="$prefix" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON "$@" >&2
}

cmake_build() {
  cmake_configure "$@"
  cmake --build "$2" >&2
  cmake --install "$2" >&2
}

# The C compiler and archiver of the target, for the libraries that build with make.
make_tools() {
  case "$target" in
    windows) echo CC=x86_64-w64-mingw32-gcc AR=x86_64-w64-mingw32-ar ;;
    web) echo CC=emcc AR=emar ;;
  esac
}

# Only zlib's static library: Debian's source leaves out the resource file its DLL needs, which
# zlib's CMake project names for every target but MinGW; the web build uses zlib's own configure.
build_zlib() {
  local source=$1 build=$2
  if [[ $target == web ]]; then
    rm -rf "$build"
    cp -r "$source" "$build"
    (cd "$build" && emconfigure ./configure --static >&2 && emmake make -j"$(nproc)" libz.a >&2)
  else
    cmake_configure "$source" "$build"
    cmake --build "$build" --target zlibstatic >&2
  fi
  install -D -m 644 "$(find "$build" -maxdepth 1 -name 'libz*.a' | head -n 1)" "$prefix/lib/libz.a"
  install -D -m 644 "$source/zlib.h" "$prefix/include/zlib.h"
  install -D -m 644 "$build/zconf.h" "$prefix/include/zconf.h"
}

build_libpng1.6() {
  cmake_build "$1" "$2" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_ROOT="$prefix" -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON
}

# libdeflate of this version builds with its own Makefile only.
build_libdeflate() {
  local source=$1 build=$2
  rm -rf "$build"
  cp -r "$source" "$build"
  # shellcheck disable=SC2046
  make -C "$build" -j"$(nproc)" $(make_tools) STATIC_LIB_SUFFIX=.a libdeflate.a >&2
  install -D -m 644 "$build/libdeflate.a" "$prefix/lib/libdeflate.a"
  install -D -m 644 "$build/libdeflate.h" "$prefix/include/libdeflate.h"
}

build_libjpeg-turbo() {
  cmake_build "$1" "$2" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
    -DWITH_SIMD="$([[ $target != web ]] && command -v nasm >/dev/null && echo ON || echo OFF)"
}

build_freetype() {
  cmake_build "$1" "$2" -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON -DFT_DISABLE_BZIP2=ON \
    -DFT_DISABLE_PNG=ON -DFT_REQUIRE_ZLIB=ON -DZLIB_ROOT="$prefix"
}

build_libsdl2() {
  cmake_build "$1" "$2" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=OFF \
    $([[ $target == web ]] && echo -DSDL_THREADS=OFF -DSDL_PTHREADS=OFF)
}

build_libogg() {
  cmake_build "$1" "$2" -DINSTALL_DOCS=OFF -DBUILD_TESTING=OFF
}

# libvorbis finds libogg through the CMake files libogg installed in the prefix; it builds only
# its libraries.
build_libvorbis() {
  cmake_build "$1" "$2"
}

build_googletest() {
  cmake_build "$1" "$2" -DINSTALL_GTEST=ON -DBUILD_GMOCK=ON \
    $([[ $target == web ]] && echo -Dgtest_disable_pthreads=ON)
}

# Debian's source asks git for no version; the package's upstream version stands in.
build_benchmark() {
  cmake_build "$1" "$2" -DGIT_VERSION="${version%%-*}" -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
    -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_ENABLE_INSTALL=ON
}

ensure_source_archives
for package in "${packages[@]}"; do
  version=$(source_version "$package")
  if [[ -z $version ]]; then
    echo "Debian has no source package $package" >&2
    exit 1
  fi
  stamp=$prefix/stamps/${package}_$version
  [[ -f $stamp ]] && continue
  echo "Building $package $version for $target" >&2
  source=$(unpack "$package" "$version")
  rm -f "$prefix/stamps/${package}_"*
  mkdir -p "$cache/build/$target"
  "build_$package" "$source" "$cache/build/$target/$package"
  rm -rf "$cache/build/$target/$package"
  touch "$stamp"
done
echo "$prefix"

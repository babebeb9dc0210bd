#!/usr/bin/env bash
# Builds the game's Debian package, build/package/zorvak_<version>_<arch>.deb: a release build
# installed below /usr (component "game" only), its runtime dependencies found by dpkg-shlibdeps
# from the libraries the program links, then checks the package's file list and dependencies.
# Install it with: sudo apt install ./build/package/zorvak_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
root_dir=$PWD

tools/setup.sh package

out=$root_dir/build/package
build=$out/release
stage=$out/root
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DZORVAK_BUILD_TESTS=OFF -DZORVAK_BUILD_BENCHMARKS=OFF -DZORVAK_BUILD_EXAMPLES=OFF >/dev/null
cmake --build "$build" --target zorvak
rm -rf "$stage"
DESTDIR=$stage cmake --install "$build" --component game --strip >/dev/null

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
program=$stage/usr/lib/games/zorvak/zorvak

# dpkg-shlibdeps reads the package names from a debian/control of its working folder.
shlibs=$out/shlibs
mkdir -p "$shlibs/debian"
printf 'Source: zorvak\n\nPackage: zorvak\nArchitecture: any\n' >"$shlibs/debian/control"
# Its one warning here, that the program is not below debian/<package>/, does not apply.
depends=$(cd "$shlibs" && dpkg-shlibdeps -O -e"$program" 2> >(grep -v 'should already be installed' >&2) \
  | sed -n 's/^shlibs:Depends=//p')
# The program links libOpenGL for the GL calls, but SDL opens libGL.so.1 itself at run time to
# make the GLX context, which no linked library shows.
depends="$depends, libgl1"

mkdir -p "$stage/DEBIAN"
cat >"$stage/DEBIAN/control" <<CONTROL
Package: zorvak
Version: $version
Section: games
Priority: optional
Architecture: $arch
Maintainer: Zorvak developers <zorvak@example.org>
Installed-Size: $(du -sk --exclude=DEBIAN "$stage" | cut -f1)
Depends: $depends
Description: spy-hunt puzzle game with a story
 Tavika: ZORVAK. Find the spies hidden on an 8 by 8 board of direction
 finders, each of which counts the spies along its row, its column and
 both diagonals. Between boards the instructor Tavika tells the story
 in Russian.
CONTROL

deb=$out/zorvak_${version}_${arch}.deb
dpkg-deb --root-owner-group --build "$stage" "$deb" >/dev/null

echo "== checking $deb"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
contents=$(dpkg-deb -c "$deb")
for path in ./usr/lib/games/zorvak/zorvak ./usr/lib/games/zorvak/zorvak.cfg \
            ./usr/share/applications/zorvak.desktop \
            ./usr/share/icons/hicolor/48x48/apps/zorvak.png \
            ./usr/share/icons/hicolor/128x128/apps/zorvak.png \
            ./usr/share/icons/hicolor/256x256/apps/zorvak.png \
            ./usr/share/doc/zorvak/LICENSE-b2.txt ./usr/share/doc/zorvak/README.md; do
  grep -q " $path\$" <<<"$contents" || fail "the package lacks $path"
done
grep -q ' ./usr/games/zorvak -> ../lib/games/zorvak/zorvak$' <<<"$contents" \
  || fail "the package lacks the link ./usr/games/zorvak"
! grep -q -e '/include/' -e '\.a$' -e '/cmake/' <<<"$contents" \
  || fail "the package carries framework development files"
! grep -v ' root/root ' <<<"$contents" | grep -q . || fail "files not owned by root"

package_depends=$(dpkg-deb -f "$deb" Depends)
for library in libsdl2-2.0-0 libpng16-16 libdeflate0 libjpeg62-turbo libfreetype6 libopengl0 libgl1; do
  grep -q "\\b$library\\b" <<<"$package_depends" || fail "Depends lacks $library: $package_depends"
done
if ((failures > 0)); then
  echo "$failures failures" >&2
  exit 1
fi
echo "Depends: $package_depends"
echo "$deb"

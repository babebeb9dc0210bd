#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks the installed layout, starts the installed
# game through its link and looks for its window icon, then builds a small outside project
# against that prefix with find_package only, runs it on the display and checks the colours it
# drew, and builds the same program once more with pkg-config's flags alone.
# Usage: install_test.sh BUILD_DIR OUTSIDE_PROJECT_DIR SOURCE_DIR
set -euo pipefail
build=$(realpath "$1")
outside=$(realpath "$2")
source_dir=$(realpath "$3")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" \
  || { cat "$work/install.log"; exit 1; }

config=$(find "$prefix" -path '*/cmake/Zorvak/ZorvakConfig.cmake' | head -n 1)
[[ -n $config ]] || { echo "FAIL: no ZorvakConfig.cmake below $prefix" >&2; exit 1; }
libdir=$(dirname "$(dirname "$(dirname "$config")")")

echo "== layout"
expect_file() { [[ -f $prefix/$1 ]] || fail "missing $1"; }
expect_file lib/games/zorvak/zorvak
[[ -x $prefix/lib/games/zorvak/zorvak ]] || fail "the program is not executable"
expect_file lib/games/zorvak/zorvak.cfg
cmp -s "$prefix/lib/games/zorvak/zorvak.cfg" "$source_dir/game/zorvak.cfg" \
  || fail "zorvak.cfg is not the default settings file"
link=$prefix/games/zorvak
if [[ -L $link ]]; then
  [[ $(readlink "$link") != /* ]] || fail "games/zorvak is an absolute link: $(readlink "$link")"
  [[ $(realpath "$link") == "$prefix/lib/games/zorvak/zorvak" ]] \
    || fail "games/zorvak leads to $(realpath "$link")"
else
  fail "games/zorvak is not a link"
fi
expect_file share/applications/zorvak.desktop
for size in 48 128 256; do expect_file "share/icons/hicolor/${size}x${size}/apps/zorvak.png"; done
for doc in README.md LICENSE-b2.txt LICENSE-terminus.txt; do expect_file "share/doc/zorvak/$doc"; done
for header in core/api.h stream/api.h stream/data/api.h pixmap/api.h system/api.h kaz2d/api.h \
              kaz2d/gl/api.h kaz2d/glfixed/api.h kaz2d/glshader/api.h framework/framework.h \
              core/object.h stream/stream.h system/keys.h kaz2d/image.h; do
  expect_file "include/zorvak/$header"
done
# Only the API is installed: every header below include/zorvak is an umbrella header or one that
# an umbrella includes.
umbrellas=$(find "$prefix/include/zorvak" -name api.h -o -name framework.h)
while IFS= read -r header; do
  relative=${header#"$prefix/include/zorvak/"}
  [[ $relative == */api.h || $relative == framework/framework.h ]] && continue
  # shellcheck disable=SC2086
  grep -qx "#include \"$relative\"" $umbrellas || fail "the internal header $relative was installed"
done < <(find "$prefix/include/zorvak" -name '*.h')
for doc in framework.md reference.md example-sprites.png LICENSE-terminus.txt examples/CMakeLists.txt \
           examples/sprites.cpp examples/sound.cpp examples/example_run.h examples/data/dart.png \
           examples/data/b2.ttf examples/data/tune.ogg examples/data/blip.wav; do
  expect_file "share/doc/zorvak/$doc"
done
for library in core stream data system pixmap audio kaz2d kaz2d_gl kaz2d_glfixed kaz2d_glshader framework; do
  [[ -f $libdir/libqrv_$library.a ]] || fail "missing libqrv_$library.a in $libdir"
done
for file in ZorvakConfig.cmake ZorvakConfigVersion.cmake ZorvakTargets.cmake Embed.cmake; do
  [[ -f $libdir/cmake/Zorvak/$file ]] || fail "missing cmake/Zorvak/$file"
done
[[ -f $libdir/pkgconfig/zorvak.pc ]] || fail "missing pkgconfig/zorvak.pc"
# The game's own code is not part of the framework.
[[ ! -e $prefix/include/zorvak/game && ! -e $libdir/libqrv_game.a ]] \
  || fail "the game's headers or library were installed with the framework"

echo "== no build paths in installed text files"
if grep -rIl -e "$source_dir" -e "$build" "$prefix"; then
  fail "the files above name the source or build folder"
fi

echo "== desktop entry"
desktop-file-validate "$prefix/share/applications/zorvak.desktop" || fail "desktop entry invalid"

echo "== pkg-config"
flags=$(PKG_CONFIG_PATH=$libdir/pkgconfig pkg-config --cflags --libs zorvak) \
  || fail "pkg-config does not resolve zorvak"
# The prefix is found from the .pc file's own place: the include folder must hold the headers.
include_dir=$(grep -o -- '-I[^ ]*include/zorvak' <<<"$flags" | head -n 1 | cut -c3-)
[[ -n $include_dir && -f $include_dir/framework/framework.h && $flags == *-lqrv_framework* ]] \
  || fail "pkg-config gives '$flags'"

echo "== the installed game, started through its link, shows its window icon"
"$prefix/games/zorvak" >"$work/game.log" 2>&1 &
game=$!
icon=""
for _ in $(seq 1 150); do
  for window in $(xdotool search --pid "$game" 2>/dev/null); do
    icon=$(xprop -id "$window" _NET_WM_ICON 2>/dev/null | grep -o 'Icon ([0-9]* x [0-9]*)' || true)
    [[ -n $icon ]] && break 2
  done
  sleep 0.2
done
kill "$game" 2>/dev/null || true
wait "$game" 2>/dev/null || true
[[ $icon == "Icon (64 x 64)" ]] || { cat "$work/game.log"; fail "no 64 x 64 window icon ('$icon')"; }

echo "== an outside project"
cmake -S "$outside" -B "$work/outside" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_PREFIX_PATH="$prefix" >"$work/configure.log" 2>&1 \
  || { cat "$work/configure.log"; exit 1; }
cmake --build "$work/outside" >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
# It draws the same with either renderer and, like the game, gets the shader renderer where the
# machine can make its context, unless ZORVAK_RENDERER chooses.
expected=$'pixel 255 160 0\npixel 0 0 128'
shader_renderer='renderer OpenGL (3\.3 core|ES [23]\.0)'
check_outside() {  # program, what it is
  local output
  output=$("$1") || fail "$2 failed: $output"
  [[ $output =~ ^"$expected"$'\n'$shader_renderer$'\n'"$rest"$ ]] || fail "$2 printed '$output'"
  output=$(ZORVAK_RENDERER=opengl "$1") || fail "$2 on the fixed-function renderer failed"
  [[ $output == "$expected"$'\nrenderer OpenGL\n'"$rest" ]] \
    || fail "$2 on the fixed-function renderer printed '$output'"
}
# No key is down; the second frame came 30 ms after the first; the missing picture's reason names it.
# The score goes into the data folder below XDG_DATA_HOME, named after the application.
export XDG_DATA_HOME=$work/data
rest=$'keys 0 0\ndelta ok\nfailure "no-such-picture.png": no such file\n'"saved $work/data/Outside Test 000120"
check_outside "$work/outside/outside" "the outside program"

echo "== the same program built with pkg-config alone"
# Static libraries must come in link order; pkg-config's list has to give it.
"${CXX:-c++}" -std=c++20 -Wall -Wextra -Wshadow -Wconversion -Werror "$outside/main.cpp" \
  -o "$work/outside-pc" $flags \
  || fail "the outside program does not build with pkg-config's flags"
if [[ -x $work/outside-pc ]]; then
  check_outside "$work/outside-pc" "the pkg-config build"
fi

echo "== the installed examples, built on their own against the install"
examples=$prefix/share/doc/zorvak/examples
cmake -S "$examples" -B "$work/examples" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  >"$work/examples-configure.log" 2>&1 || { cat "$work/examples-configure.log"; fail "the examples do not configure"; }
if cmake --build "$work/examples" >"$work/examples-build.log" 2>&1; then
  for example in sprites text files sound; do
    (cd "$work/examples" && "./example_$example" 3 >/dev/null) || fail "example_$example did not run"
  done
else
  cat "$work/examples-build.log"
  fail "the installed examples do not build"
fi

if ((failures > 0)); then
  echo "$failures failures" >&2
  exit 1
fi
echo "install layout, package files and outside project: all good"

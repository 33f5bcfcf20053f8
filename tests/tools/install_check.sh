#!/usr/bin/env bash
# Installs a build into a temporary prefix and builds an example against it as a user would:
# once with the CMake package (find_package(vx)), once with pkg-config alone. Runs both.
#   install_check.sh BUILD_DIR SOURCE_DIR CXX_COMPILER
set -euo pipefail
build=$1
source=$2
cxx=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
example=$source/examples/frame_with_depth

echo "== cmake --install into $prefix"
cmake --install "$build" --prefix "$prefix" > "$work/install.log"
for f in include/vx.h include/vxUtil.h include/vxhw.h lib/cmake/vx/vxConfig.cmake \
         lib/pkgconfig/vx.pc lib/pkgconfig/vxUtil.pc lib/pkgconfig/vxhw.pc bin/vxtool; do
    test -e "$prefix/$f" || { echo "missing after install: $f"; exit 1; }
done

echo "== the CMake package"
cmake -S "$example" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_CXX_COMPILER="$cxx" > "$work/configure.log"
cmake --build "$work/cmake-build" > "$work/build.log"
LD_LIBRARY_PATH=$prefix/lib DISPLAY= "$work/cmake-build/frame_with_depth" "$work/cmake.png"
test -s "$work/cmake.png"

echo "== pkg-config"
flags=$(PKG_CONFIG_PATH=$prefix/lib/pkgconfig PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig \
        pkg-config --cflags --libs vx vxUtil)
echo "pkg-config --cflags --libs vx vxUtil: $flags"
"$cxx" -std=c++17 "$example/frame_with_depth.cpp" $flags -o "$work/pkgconfig-example"
LD_LIBRARY_PATH=$prefix/lib DISPLAY= "$work/pkgconfig-example" "$work/pkgconfig.png"
test -s "$work/pkgconfig.png"

echo "== the installed vxtool, without LD_LIBRARY_PATH"
DISPLAY= "$prefix/bin/vxtool" convert "$work/cmake.png" "$work/x.mvd" 2> "$work/vxtool.err" && exit 1
cat "$work/vxtool.err"
grep -qx "vxtool: convert: $work/cmake.png: invalid file extension (expected .mvd, .tga or .raw)" \
    "$work/vxtool.err"
DISPLAY= "$prefix/bin/vxtool" --version
echo "install check passed"

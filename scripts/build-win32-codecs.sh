#!/usr/bin/env bash
# Cross-builds libogg, libvorbis and libFLAC for 32-bit Windows as static
# libraries, from Debian's own source packages, into a scratch prefix:
#
#   scripts/build-win32-codecs.sh [PREFIX]      (default build/win32-codecs)
#
# The prefix is reused while the source versions match; nothing prebuilt is
# kept in the repository.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scratch=${1:-build/win32-codecs}
mkdir -p "$scratch"
scratch=$(cd "$scratch" && pwd)
prefix=$scratch/prefix
toolchain=$root/cmake/mingw-i686.cmake
packages=(libogg libvorbis flac)

versions=$(apt-cache showsrc "${packages[@]}" | awk '/^Package:/{p=$2} /^Version:/{print p, $2}' | sort -u)
if [ -f "$prefix/.versions" ] && [ "$(cat "$prefix/.versions")" = "$versions" ]; then
  echo "codecs up to date in $prefix"
  exit 0
fi

rm -rf "$scratch/src" "$prefix"
mkdir -p "$scratch/src"
(
  cd "$scratch/src"
  apt-get source --download-only "${packages[@]}" 2>&1 | grep -v '^W: Download is performed unsandboxed' || true
  for dsc in *.dsc; do dpkg-source --no-check -x "$dsc" >/dev/null; done
)

# build NAME CMAKE_OPTIONS...: configure, build and install one source tree.
build() {
  local name=$1
  shift
  local source
  source=$(find "$scratch/src" -maxdepth 1 -type d -name "$name-*" | head -n 1)
  echo "== $(basename "$source")"
  cmake -G Ninja -S "$source" -B "$scratch/build/$name" --toolchain "$toolchain" \
    -DCORVANE_WIN32_PREFIX="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF "$@" >/dev/null
  cmake --build "$scratch/build/$name" >/dev/null
  cmake --install "$scratch/build/$name" >/dev/null
}

build libogg -DINSTALL_DOCS=OFF
build libvorbis
# mingw's stack protector and fortify need libssp at every later link; the
# plug-ins are linked without them, as the other codecs are built.
build flac -DBUILD_CXXLIBS=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOCS=OFF \
  -DINSTALL_MANPAGES=OFF -DWITH_OGG=OFF -DWITH_STACK_PROTECTOR=OFF -DWITH_FORTIFY_SOURCE=OFF

echo "$versions" >"$prefix/.versions"
echo "codecs installed in $prefix"

#!/usr/bin/env bash
# Cross-builds libogg, libvorbis, libFLAC, libopus, libopusfile and TagLib for 32-bit Windows as static
# libraries, from Debian's own source packages, into a scratch prefix:
#
#   scripts/build-win32-codecs.sh [PREFIX]      (default build/win32-codecs)
#
# The prefix is reused while the source versions, the toolchain file and
# these build scripts match.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/debian-sources.sh

scratch=${1:-build/win32-codecs}
mkdir -p "$scratch"
scratch=$(cd "$scratch" && pwd)
prefix=$scratch/prefix
packages=(libogg libvorbis flac opus opusfile taglib)

versions="$(source_versions "${packages[@]}")
toolchain $(sha256sum cmake/mingw-i686.cmake | cut -d' ' -f1)
scripts $(cat scripts/build-win32-codecs.sh scripts/debian-sources.sh | sha256sum | cut -d' ' -f1)"
if [ -f "$prefix/.versions" ] && [ "$(cat "$prefix/.versions")" = "$versions" ]; then
  echo "codecs up to date in $prefix"
  exit 0
fi

rm -rf "$prefix"
fetch_sources "$scratch/src" "${packages[@]}"
cross=(--toolchain "$root/cmake/mingw-i686.cmake" -DCORVANE_WIN32_PREFIX="$prefix")
build_source "$scratch/src" libogg "$scratch/build" "$prefix" "${cross[@]}" -DINSTALL_DOCS=OFF
build_source "$scratch/src" libvorbis "$scratch/build" "$prefix" "${cross[@]}"
# mingw's stack protector and fortify need libssp at every later link; the
# plug-ins are linked without them, as the other codecs are built.
build_source "$scratch/src" flac "$scratch/build" "$prefix" "${cross[@]}" "${FLAC_LIBRARY_ONLY[@]}" \
  -DWITH_STACK_PROTECTOR=OFF -DWITH_FORTIFY_SOURCE=OFF
# Debian's opus tarball lacks a file its CMake build includes, and opusfile
# has only its configure script: both are built with configure. No stack
# protector and no fortified calls (as libFLAC: they need libssp at every
# later link; opus adds them unless _FORTIFY_SOURCE is set), no HTTP (it would need OpenSSL), no programs,
# examples or documentation.
CPPFLAGS=-D_FORTIFY_SOURCE=0 build_autotools_source "$scratch/src" opus "$scratch/build" "$prefix" i686-w64-mingw32 \
  --disable-stack-protector --disable-extra-programs --disable-doc
build_autotools_source "$scratch/src" opusfile "$scratch/build" "$prefix" i686-w64-mingw32 \
  --disable-http --disable-examples --disable-doc
build_source "$scratch/src" taglib "$scratch/build" "$prefix" "${cross[@]}" "${TAGLIB_MP4_ONLY[@]}"

echo "$versions" >"$prefix/.versions"
echo "codecs installed in $prefix"

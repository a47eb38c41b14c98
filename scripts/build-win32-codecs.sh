#!/usr/bin/env bash
# Cross-builds libogg, libvorbis and libFLAC for 32-bit Windows as static
# libraries, from Debian's own source packages, into a scratch prefix:
#
#   scripts/build-win32-codecs.sh [PREFIX]      (default build/win32-codecs)
#
# The prefix is reused while the source versions and the toolchain file
# match.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/debian-sources.sh

scratch=${1:-build/win32-codecs}
mkdir -p "$scratch"
scratch=$(cd "$scratch" && pwd)
prefix=$scratch/prefix
packages=(libogg libvorbis flac)

versions="$(source_versions "${packages[@]}")
toolchain $(sha256sum cmake/mingw-i686.cmake | cut -d' ' -f1)"
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

echo "$versions" >"$prefix/.versions"
echo "codecs installed in $prefix"

#!/usr/bin/env bash
# Builds the Windows release: build/win32/corvane-plugins-<version>-win32.zip
# with OGG.cvx, FLAC.cvx, OPUS.cvx, cvxscan.exe, README.txt, THIRD-PARTY-NOTICES.txt
# and SHA256SUMS in one folder. Installs what it needs first. The same
# commit gives the same bytes from any clone at any time: the binaries carry
# no time stamps or build paths, and the zip's entries are in a fixed order
# with the commit's time and fixed modes.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/build-windows.sh >&2

version=$(sed -nE 's/^project\(CorvanePlugins VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
name=corvane-plugins-$version-win32
stage=build/win32/package/$name
rm -rf build/win32/package
mkdir -p "$stage"
cp build/win32/dist/OGG.cvx build/win32/dist/FLAC.cvx build/win32/dist/OPUS.cvx build/win32/dist/cvxscan.exe "$stage/"

# Windows text: CRLF line ends.
crlf() { sed 's/\r$//; s/$/\r/'; }

sed "s/@VERSION@/$version/" scripts/windows-release/README.txt | crlf >"$stage/README.txt"

# The notices, from the sources and packages the build used.
sources=build/win32-codecs/src
source_version() { sed -nE 's/^Version: (.*)/\1/p' "$sources/$1"_*.dsc; }
package_version() { dpkg-query -W -f='${Version}' "$1"; }
# stanza LICENSE FILE: the first paragraph of a Debian copyright file that
# gives its files' licence as LICENSE, from its Copyright line on: the
# copyright and the licence's text.
stanza() {
  awk -v name="$1" 'BEGIN { RS = "" } $0 ~ ("\nLicense: " name "\n") { sub(/^.*\nCopyright:/, "Copyright:"); print; exit }' "$2" |
    sed 's/^ \.$//; s/^ //'
}
mingw_copyright=/usr/share/doc/mingw-w64-i686-dev/copyright
{
  sed -e "s/@VERSION@/$version/" -e "s/@LIBOGG@/$(source_version libogg)/" \
    -e "s/@LIBVORBIS@/$(source_version libvorbis)/" -e "s/@FLAC@/$(source_version flac)/" \
    -e "s/@OPUS@/$(source_version opus)/" -e "s/@OPUSFILE@/$(source_version opusfile)/" \
    -e "s/@MINGW@/$(package_version mingw-w64-i686-dev)/" \
    -e "s/@GCC@/$(package_version gcc-mingw-w64-i686-win32)/" scripts/windows-release/notices-header.txt
  section() { printf '\n\n%s\n%s\n\n' "$1" "$(printf '%s' "$1" | sed 's/./-/g')"; }
  section "libogg $(source_version libogg): COPYING"
  cat "$sources"/libogg-*/COPYING
  section "libvorbis $(source_version libvorbis): COPYING"
  cat "$sources"/libvorbis-*/COPYING
  section "libFLAC $(source_version flac): COPYING.Xiph"
  cat "$sources"/flac-*/COPYING.Xiph
  section "libopus $(source_version opus): COPYING"
  cat "$sources"/opus-*/COPYING
  section "libopusfile $(source_version opusfile): COPYING"
  cat "$sources"/opusfile-*/COPYING
  section "mingw-w64 runtime $(package_version mingw-w64-i686-dev)"
  stanza ZPL-2.1 "$mingw_copyright"
  section "mingw-w64 runtime $(package_version mingw-w64-i686-dev): gdtoa and printf formatting"
  stanza Lucent "$mingw_copyright"
} | crlf >"$stage/THIRD-PARTY-NOTICES.txt"

(cd "$stage" && sha256sum cvxscan.exe FLAC.cvx OGG.cvx OPUS.cvx README.txt THIRD-PARTY-NOTICES.txt >SHA256SUMS)

epoch=$(git log -1 --format=%ct 2>/dev/null || echo 315532800)
zip=build/win32/$name.zip
python3 scripts/windows-release/make_zip.py "$zip" "$stage" "$epoch"
echo "$zip: $(stat -c %s "$zip") bytes, SHA-256 $(sha256sum "$zip" | cut -d' ' -f1)"

#!/usr/bin/env bash
# Builds the Windows release: build/win32/corvane-plugins-<version>-win32.zip
# with every plug-in (build/win32/plugins.txt), cvxscan.exe, README.txt,
# THIRD-PARTY-NOTICES.txt and SHA256SUMS in one folder. Installs what it needs first. The same
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
cp build/win32/dist/*.cvx build/win32/dist/cvxscan.exe "$stage/"

# Windows text: CRLF line ends.
crlf() { sed 's/\r$//; s/$/\r/'; }

# The title's underline as long as the title.
title=$(head -n 1 scripts/windows-release/README.txt | sed "s/@VERSION@/$version/")
sed "s/@VERSION@/$version/; s/@PACKAGE@/$name/; s/^@UNDERLINE@\$/$(printf '%s' "$title" | sed 's/./=/g')/" \
  scripts/windows-release/README.txt | crlf >"$stage/README.txt"

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
plugins=build/win32/plugins.txt
libraries=scripts/windows-release/libraries.txt
library_field() { awk -F'|' -v package="$1" -v field="$2" '$1 == package { print $field }' "$libraries"; }
# The packages the plug-ins name, each once, in the order first named; and
# the plug-ins holding a package.
packages=$(awk '{ for (i = 2; i <= NF; ++i) if (!seen[$i]++) print $i }' "$plugins")
holders() { awk -v package="$1" '{ for (i = 2; i <= NF; ++i) if ($i == package) print $1 ".cvx" }' "$plugins" | paste -sd, | sed 's/,/, /g'; }
{
  library_lines=""
  for package in $packages; do
    library=$(library_field "$package" 2)
    [ -n "$library" ] || { echo "$package: not in $libraries" >&2; exit 1; }
    library_lines+="  $library $(source_version "$package") (in $(holders "$package"))"$'\n'
    library_lines+="      $(library_field "$package" 4); the text: $(library_field "$package" 3)"$'\n'
  done
  plugin_files=$(awk '{ print $1 ".cvx" }' "$plugins" | paste -sd, | sed 's/,/, /g')
  awk -v version="$version" -v plugins="$plugin_files" -v libraries="$library_lines" \
      -v mingw="$(package_version mingw-w64-i686-dev)" -v gcc="$(package_version gcc-mingw-w64-i686-win32)" '
    { gsub(/@VERSION@/, version); gsub(/@PLUGINS@/, plugins); gsub(/@MINGW@/, mingw); gsub(/@GCC@/, gcc) }
    /^@LIBRARIES@$/ { printf "%s", libraries; next }
    { print }' scripts/windows-release/notices-header.txt
  section() { printf '\n\n%s\n%s\n\n' "$1" "$(printf '%s' "$1" | sed 's/./-/g')"; }
  for package in $packages; do
    section "$(library_field "$package" 2) $(source_version "$package"): $(library_field "$package" 3)"
    cat "$sources/$package"-*/"$(library_field "$package" 3)"
  done
  section "mingw-w64 runtime $(package_version mingw-w64-i686-dev)"
  stanza ZPL-2.1 "$mingw_copyright"
  section "mingw-w64 runtime $(package_version mingw-w64-i686-dev): gdtoa and printf formatting"
  stanza Lucent "$mingw_copyright"
} | crlf >"$stage/THIRD-PARTY-NOTICES.txt"

# The files named before SHA256SUMS exists, in byte order; CRLF line ends.
(cd "$stage" && LC_ALL=C bash -c 'files=(*); sha256sum -- "${files[@]}" | sed "s/\$/\r/" >SHA256SUMS')

epoch=$(git log -1 --format=%ct 2>/dev/null || echo 315532800)
zip=build/win32/$name.zip
python3 scripts/windows-release/make_zip.py "$zip" "$stage" "$epoch"
echo "$zip: $(stat -c %s "$zip") bytes, SHA-256 $(sha256sum "$zip" | cut -d' ' -f1)"

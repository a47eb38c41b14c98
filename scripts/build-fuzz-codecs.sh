#!/usr/bin/env bash
# Builds libFLAC and libopusfile from Debian's own source packages with
# clang, AddressSanitizer and libFuzzer's coverage instrumentation, as static
# libraries for the fuzz preset, so that the fuzzers are guided inside
# libFLAC's metadata code and libopusfile's parsing too:
#
#   scripts/build-fuzz-codecs.sh [PREFIX]       (default build/fuzz-codecs)
#
# The prefix is reused while the source versions and this script match.
# Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/debian-sources.sh

./scripts/install-deps.sh clang libclang-rt-14-dev dpkg-dev >&2
enable_deb_src

scratch=${1:-build/fuzz-codecs}
mkdir -p "$scratch"
scratch=$(cd "$scratch" && pwd)
prefix=$scratch/prefix
flags="-g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address"

versions="$(source_versions flac opusfile) $flags $(cat "$0" scripts/debian-sources.sh | sha256sum | cut -d' ' -f1)"
if [ -f "$prefix/.versions" ] && [ "$(cat "$prefix/.versions")" = "$versions" ]; then
  echo "instrumented libFLAC and libopusfile up to date in $prefix"
  exit 0
fi

rm -rf "$prefix"
fetch_sources "$scratch/src" flac opusfile
# The stack protector and fortify stay out: guarding memory is the
# sanitizer's work here.
build_source "$scratch/src" flac "$scratch/build" "$prefix" "${FLAC_LIBRARY_ONLY[@]}" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_C_FLAGS="$flags" -DWITH_STACK_PROTECTOR=OFF \
  -DWITH_FORTIFY_SOURCE=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON

# libopusfile over the machine's libogg and libopus, without HTTP.
build_autotools_source "$scratch/src" opusfile "$scratch/build" "$prefix" "" \
  --disable-http --disable-examples --disable-doc --with-pic CC=clang CFLAGS="$flags"

echo "$versions" >"$prefix/.versions"
echo "instrumented libFLAC and libopusfile installed in $prefix"

#!/usr/bin/env bash
# Builds libogg, libvorbis, libFLAC, libopusfile and TagLib from Debian's own source
# packages with clang, AddressSanitizer and libFuzzer's coverage
# instrumentation, as static libraries for the fuzz preset, so that the
# fuzzers are guided inside the libraries too:
#
#   scripts/build-fuzz-codecs.sh [PREFIX]       (default build/fuzz-codecs)
#
# libvorbisfile's CHUNKSIZE and libopusfile's OP_CHUNK_SIZE are made small
# (CORVANE_FUZZ_CHUNK_SIZE in CMakeLists.txt, which the fuzz build gives the
# readers too), so that inputs of a few KiB reach every branch of the
# readers that follow those libraries' searches.
#
# The prefix is reused while the source versions and this script match.
# Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/debian-sources.sh

./scripts/install-deps.sh clang libclang-rt-14-dev dpkg-dev libutfcpp-dev >&2
enable_deb_src

scratch=${1:-build/fuzz-codecs}
mkdir -p "$scratch"
scratch=$(cd "$scratch" && pwd)
prefix=$scratch/prefix
flags="-g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address"
chunk=$(sed -n 's/^ *set(CORVANE_FUZZ_CHUNK_SIZE \([0-9]*\)).*/\1/p' CMakeLists.txt)
[ -n "$chunk" ] || { echo "CORVANE_FUZZ_CHUNK_SIZE not found in CMakeLists.txt" >&2; exit 1; }

versions="$(source_versions libogg libvorbis flac opusfile taglib) $flags chunk $chunk $(cat "$0" scripts/debian-sources.sh | sha256sum | cut -d' ' -f1)"
if [ -f "$prefix/.versions" ] && [ "$(cat "$prefix/.versions")" = "$versions" ]; then
  echo "instrumented libogg, libvorbis, libFLAC, libopusfile and TagLib up to date in $prefix"
  exit 0
fi

rm -rf "$prefix"
fetch_sources "$scratch/src" libogg libvorbis flac opusfile taglib
sed -i "s/^#define CHUNKSIZE 65536\b/#define CHUNKSIZE $chunk/" "$scratch"/src/libvorbis-*/lib/vorbisfile.c
sed -i "s/^#define OP_CHUNK_SIZE     (65536)/#define OP_CHUNK_SIZE     ($chunk)/" "$scratch"/src/opusfile-*/src/opusfile.c
grep -q "^#define CHUNKSIZE $chunk\b" "$scratch"/src/libvorbis-*/lib/vorbisfile.c
grep -q "^#define OP_CHUNK_SIZE     ($chunk)" "$scratch"/src/opusfile-*/src/opusfile.c

# The stack protector and fortify stay out: guarding memory is the
# sanitizer's work here.
build_autotools_source "$scratch/src" libogg "$scratch/build" "$prefix" "" --with-pic CC=clang CFLAGS="$flags"
build_autotools_source "$scratch/src" libvorbis "$scratch/build" "$prefix" "" --disable-docs --disable-examples \
  --disable-oggtest --with-pic CC=clang CFLAGS="$flags"
build_source "$scratch/src" flac "$scratch/build" "$prefix" "${FLAC_LIBRARY_ONLY[@]}" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_C_FLAGS="$flags" -DWITH_STACK_PROTECTOR=OFF \
  -DWITH_FORTIFY_SOURCE=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON

# libopusfile over the instrumented libogg and the machine's libopus,
# without HTTP.
build_autotools_source "$scratch/src" opusfile "$scratch/build" "$prefix" "" \
  --disable-http --disable-examples --disable-doc --with-pic CC=clang CFLAGS="$flags"

# TagLib with UndefinedBehaviorSanitizer too: the M4A reader keeps files
# from its undefined arithmetic and deep recursion, and m4a_open proves it.
# All but the enum check: TagLib keeps a data box's 32-bit type in its enum
# AtomDataType whatever the value (MP4::Tag::parseData2), which is
# undefined past the enum's range but, without -fstrict-enums (neither
# Debian's build nor ours uses it), is the int's value with GCC and clang;
# the reader takes those items as TagLib gives them (README.md, "What the
# readers answer").
build_source "$scratch/src" taglib "$scratch/build" "$prefix" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="$flags -fsanitize=undefined -fno-sanitize=enum -fno-sanitize-recover=all" \
  -DCMAKE_POSITION_INDEPENDENT_CODE=ON \
  "${TAGLIB_MP4_ONLY[@]}"

echo "$versions" >"$prefix/.versions"
echo "instrumented libogg, libvorbis, libFLAC, libopusfile and TagLib installed in $prefix"

#!/usr/bin/env bash
# Builds the Windows DLLs and runs their tests under Wine: the platform
# layers, a C host calling the DLLs as an MSVC-built host does, and the
# sample library read by the Windows and the Linux build, which must give
# identical records. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
# The Linux side: the sample library and what the Linux plug-ins read in it.
cmake --preset default >/dev/null
cmake --build --preset default --target cvxsamples record_dump cvxscan write_damaged_set
samples=$PWD/build/win32/samples
damaged=$PWD/build/win32/damaged
reference=$PWD/build/win32/reference
rm -rf "$samples" "$reference"
mkdir -p "$reference"
build/default/cvxsamples "$samples" >/dev/null
# Damaged files too: cut and flipped ones, and a selection of the fuzz
# corpora when a fuzz run has left them.
build/default/tests/write_damaged_set "$damaged" build/fuzz/corpus
while read -r plugin _; do
  folder=$(echo "$plugin" | tr '[:upper:]' '[:lower:]')
  build/default/tests/record_dump "build/default/$plugin.cvx" "$samples/$folder" >"$reference/$folder.txt"
  build/default/tests/record_dump "build/default/$plugin.cvx" "$damaged/$folder" >"$reference/damaged-$folder.txt"
done <build/default/plugins.txt
# cvxscan's catalogue of them, from the folder holding samples/, which has
# one damaged file: status 1.
linux=$PWD/build/default
for format in csv json; do
  (cd "$samples/.." && "$linux/cvxscan" --plugins "$linux" --format "$format" samples >"$reference/cvxscan.$format" 2>/dev/null) ||
    [ $? -eq 1 ]
done

# A fresh Wine prefix for every run, made before the tests share it.
prefix=$PWD/build/win32/wineprefix
./scripts/build-windows.sh -DCORVANE_SAMPLES_DIR="$samples" -DCORVANE_DAMAGED_DIR="$damaged" \
  -DCORVANE_REFERENCE_DIR="$reference"
rm -rf "$prefix"
WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY= timeout 300 wineboot --init
cmake --build --preset win32
ctest --preset win32 -j "$(nproc)"

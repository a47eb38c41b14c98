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
cmake --build --preset win32
# Wine runs the 32-bit DLLs in a 32-bit Linux process. Some virtual
# machines run none (their kernel has IA-32 emulation off: execve of a
# 32-bit program gives "Exec format error", and dmesg says so); there the
# tests that need no Wine run, and the skip of the rest is said plainly.
if ! wine --version >/dev/null 2>&1; then
  echo "SKIPPED: the tests under Wine. This machine runs no 32-bit programs (the kernel has IA-32" \
    "emulation off; see dmesg), so Wine cannot run the DLLs here. Only the checks without Wine ran:" >&2
  ctest --preset win32 -j "$(nproc)" -R '_imports_kernel32_and_msvcrt_only$'
  exit 0
fi
rm -rf "$prefix"
WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY= timeout 300 wineboot --init
ctest --preset win32 -j "$(nproc)"

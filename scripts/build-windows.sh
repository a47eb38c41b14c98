#!/usr/bin/env bash
# Builds OGG.cvx, FLAC.cvx and OPUS.cvx as 32-bit Windows DLLs (mingw-w64, codecs
# linked in statically), and cvxscan.exe, and puts them in build/win32/dist:
# the DLLs ready to copy into Corvane's Plugins\Formats folder. Installs
# what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-windows-deps.sh
./scripts/build-win32-codecs.sh
cmake --preset win32 "$@"
cmake --build --preset win32 --target OGG FLAC OPUS cvxscan

dist=build/win32/dist
rm -rf "$dist"
mkdir -p "$dist"
cp build/win32/OGG.cvx build/win32/FLAC.cvx build/win32/OPUS.cvx build/win32/cvxscan.exe "$dist/"
ls -l "$dist"

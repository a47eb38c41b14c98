#!/usr/bin/env bash
# Builds every plug-in (build/win32/plugins.txt, from corvane_add_plugin) as
# a 32-bit Windows DLL (mingw-w64, codecs linked in statically), and
# cvxscan.exe, and puts them in build/win32/dist: the DLLs ready to copy into
# Corvane's Plugins\Formats folder. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-windows-deps.sh
./scripts/build-win32-codecs.sh
cmake --preset win32 "$@"
cmake --build --preset win32 --target corvane_plugins_built cvxscan

dist=build/win32/dist
rm -rf "$dist"
mkdir -p "$dist"
while read -r plugin _; do cp "build/win32/$plugin.cvx" "$dist/"; done <build/win32/plugins.txt
cp build/win32/cvxscan.exe "$dist/"
ls -l "$dist"

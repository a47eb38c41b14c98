#!/usr/bin/env bash
# Builds the Windows release twice, from two clones of this commit in
# different folders, one after the other, with the codecs built once and
# shared, and fails when any byte of the packages differs. Anyone can check
# a release this way: build it, and compare with the published zip or its
# SHA256SUMS.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

./scripts/install-windows-deps.sh
./scripts/build-win32-codecs.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

zips=()
for clone in "$scratch/first/corvane" "$scratch/second/elsewhere/plug-ins"; do
  git clone -q --no-local "$root" "$clone"
  mkdir -p "$clone/build/win32-codecs"
  cp -a build/win32-codecs/prefix build/win32-codecs/src "$clone/build/win32-codecs/"
  echo "== package built in $clone"
  (cd "$clone" && ./scripts/package-windows.sh 2>/dev/null)
  zips+=("$(ls "$clone"/build/win32/corvane-plugins-*-win32.zip)")
done

if cmp -s "${zips[0]}" "${zips[1]}"; then
  echo "reproducible: both builds gave $(basename "${zips[0]}"), SHA-256 $(sha256sum "${zips[0]}" | cut -d' ' -f1)"
  exit 0
fi
echo "the two builds differ:"
first=$(dirname "${zips[0]}")/package
second=$(dirname "${zips[1]}")/package
diff -r "$first" "$second" || true
exit 1

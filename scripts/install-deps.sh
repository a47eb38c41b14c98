#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and any further
# packages named as arguments, skipping those already present. Runs apt-get
# through sudo when not root.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config binutils python3
  libogg-dev libvorbis-dev libflac-dev libgtest-dev
  "$@"
)

missing=()
for pkg in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

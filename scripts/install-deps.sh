#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and any further
# packages named as arguments, skipping those already present.
set -euo pipefail
. "$(dirname "$0")/apt.sh"

packages=(
  cmake ninja-build g++ pkg-config binutils python3
  libogg-dev libvorbis-dev libflac-dev libopusfile-dev libopus-dev libopusenc-dev libtag1-dev libgtest-dev
  ffmpeg
  unicode-data
  "$@"
)

missing=()
for pkg in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
apt_refresh
apt_install "${missing[@]}"

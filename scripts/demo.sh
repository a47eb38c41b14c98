#!/usr/bin/env bash
# Sets up the machine, builds the plug-ins and the tools, writes the sample
# library and prints the catalogue cvxscan makes of it. Extra arguments go to
# cvxscan (e.g. --format json).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh >&2
cmake --preset default >&2
cmake --build --preset default --target cvxscan cvxsamples >&2

cd build/default
rm -rf samples
./cvxsamples samples
echo >&2
# The library holds one damaged file on purpose, so status 1 (some file
# failed) is the expected outcome; anything else is a real failure.
status=0
./cvxscan --format table "$@" samples || status=$?
[ "$status" -le 1 ] || exit "$status"

#!/usr/bin/env bash
# Sets up the machine, builds and runs every test: the normal build and the
# sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer), or only the
# presets named as arguments. Fails when any build step or test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(default sanitize)
for preset in "${presets[@]}"; do
  echo "== $preset build"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j "$(nproc)"
done

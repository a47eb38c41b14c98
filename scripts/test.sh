#!/usr/bin/env bash
# Sets up the machine, builds and runs every test. With no arguments (what
# CI runs): the normal build and the sanitizer build (ASan + UBSan) run the
# whole suite, the ThreadSanitizer build runs the concurrency tests, valgrind
# memcheck runs the whole suite again, every fuzz target runs briefly, and
# the 32-bit Windows DLLs and cvxscan.exe are built and tested under Wine,
# and the Windows release is built twice and must come out the same.
# With preset names as arguments, only those builds' suites run.
set -euo pipefail
cd "$(dirname "$0")/.."

# All at once for the whole run; a run of some builds needs only the base.
if [ $# -eq 0 ]; then ./scripts/install-deps.sh valgrind clang libclang-rt-14-dev; else ./scripts/install-deps.sh; fi

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(default sanitize thread)
for preset in "${presets[@]}"; do
  echo "== $preset build"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j "$(nproc)"
done
[ $# -eq 0 ] || exit 0

echo "== valgrind memcheck"
./scripts/memcheck.sh
echo "== fuzz targets, briefly"
./scripts/fuzz.sh "${FUZZ_SECONDS:-20}"
echo "== Windows DLLs under Wine"
start=$SECONDS
./scripts/test-windows.sh
echo "Windows job: $((SECONDS - start)) s"
echo "== Windows release, built twice"
start=$SECONDS
./scripts/check-reproducible.sh
echo "reproducibility check: $((SECONDS - start)) s"

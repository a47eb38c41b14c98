#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan), generates their seed
# corpus and runs each for SECONDS (default 30), growing a corpus kept in
# build/fuzz/corpus/. Fails when a target finds a crash, a leak, a hang or a
# broken invariant; the input is left in build/fuzz/artifacts/.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]     e.g. scripts/fuzz.sh 600 flac_open
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
targets=("$@")

./scripts/build-fuzz-codecs.sh >&2
cmake --preset fuzz >&2
cmake --build --preset fuzz >&2

out=build/fuzz
# Every target, as fuzz/CMakeLists.txt lists them.
[ ${#targets[@]} -gt 0 ] || mapfile -t targets < "$out/fuzz/targets.txt"
rm -rf "$out/seeds"
"$out/fuzz/make_seeds" "$out/seeds"
mkdir -p "$out/artifacts"
for target in "${targets[@]}"; do
  corpus="$out/corpus/$target"
  mkdir -p "$corpus"
  echo "== $target: ${seconds} s"
  # -timeout: one input taking 10 s is a hang; -rss_limit_mb: memory bound;
  # -max_len: inputs up to 16 KiB, past the small read limits of ogg_open.
  "$out/fuzz/${target}_fuzzer" "$corpus" "$out/seeds/$target" \
    -dict=fuzz/formats.dict -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="$out/artifacts/$target-" 2>"$out/$target.log" \
    || { tail -n 60 "$out/$target.log"; echo "$target: FAILED (input in $out/artifacts/)"; exit 1; }
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb|^Done|cov: " "$out/$target.log" | tail -n 4
done

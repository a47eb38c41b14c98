#!/usr/bin/env bash
# Sets up the machine (valgrind too), builds the plug-ins and the
# benchmark, and runs it on the corpus in build/bench/corpus, which it writes
# the first time. Arguments go to the benchmark: --rounds N, --callgrind,
# --cvxscan [--scan-files N].
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh valgrind >&2
cmake --preset bench >&2
cmake --build --preset bench >&2
exec build/bench/corvane_bench "$@" build/bench/corpus

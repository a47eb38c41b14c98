#!/usr/bin/env bash
# Runs every test program of the normal build, and cvxscan over the sample
# library, under valgrind memcheck: any memory error, or any definite or
# indirect leak, fails. Builds the normal build first when needed.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh valgrind >&2
cmake --preset default >&2
cmake --build --preset default >&2

build=build/default
valgrind=(valgrind --quiet --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite,indirect
          --show-leak-kinds=definite,indirect --suppressions=tests/valgrind.supp --num-callers=30)
export VALGRIND="${valgrind[*]}"
failed=0
# One test program per core at a time; each writes its log beside itself.
ls "$build"/tests/*_test | xargs -P "$(nproc)" -I{} sh -c \
  'if $VALGRIND {} --gtest_brief=1 > {}.memcheck.log 2>&1; then echo "== memcheck $(basename {}): clean";
   else echo "== memcheck $(basename {}): FAILED"; tail -n 80 {}.memcheck.log; exit 1; fi' || failed=1
echo "== memcheck cvxscan"
rm -rf "$build/memcheck-samples"
"$build/cvxsamples" "$build/memcheck-samples"
status=0
"${valgrind[@]}" "$build/cvxscan" --format json --jobs 2 "$build/memcheck-samples" > /dev/null || status=$?
[ "$status" -le 1 ] || { echo "cvxscan under memcheck: status $status"; failed=1; }
exit "$failed"

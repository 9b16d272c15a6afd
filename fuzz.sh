#!/usr/bin/env bash
# Builds the fuzz targets when needed and runs each for SECONDS on a copy of
# its seed corpus (the committed corpus never changes), as many at once as
# there are cores. Prints the executions per target; exits non-zero when any
# target found something.
# Usage: ./fuzz.sh SECONDS [TARGET...]   (default: every target in fuzz/corpus)
# A finding's input is kept in build/fuzz/findings/<target>/, the log in
# build/fuzz/logs/<target>.log.
set -euo pipefail
cd "$(dirname "$0")"
seconds="${1:?usage: ./fuzz.sh SECONDS [TARGET...]}"
shift
if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for dir in fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

scripts/install-deps.sh clang libclang-rt-14-dev
# The build's output is shown only when it fails.
build_log="$(mktemp)"
{ [ -f build/fuzz/CMakeCache.txt ] || cmake --preset fuzz; cmake --build --preset fuzz -j "$(nproc)"; } >"$build_log" 2>&1 \
  || { cat "$build_log" >&2; rm -f "$build_log"; exit 2; }
rm -f "$build_log"

bin=build/fuzz/fuzz
logs=build/fuzz/logs
findings=build/fuzz/findings
mkdir -p "$logs" "$findings"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Leaks too are findings; a sanitizer report ends the run with the input kept.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# Runs one target; its verdict goes to $work/<target>.status.
run_target() {
  local target="$1" corpus="$work/$1" status=0
  mkdir -p "$corpus" "$findings/$target"
  cp fuzz/corpus/"$target"/* "$corpus"/
  "$bin/$target" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/$target/" >"$logs/$target.log" 2>&1 || status=$?
  echo "$status" >"$work/$target.status"
}

# Each target runs single-threaded for the full time: as many at once as
# there are cores, the verdicts printed in order when all are done.
for target in "${targets[@]}"; do
  [ -x "$bin/$target" ] || { echo "no fuzz target $target" >&2; exit 2; }
done
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n || true; done
  run_target "$target" &
done
wait

failed=()
for target in "${targets[@]}"; do
  status="$(cat "$work/$target.status" 2>/dev/null || echo 2)"
  execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$logs/$target.log" | tail -n 1)"
  if [ "$status" -eq 0 ]; then
    printf '%-24s %12s executions in %ss\n' "$target" "${execs:-?}" "$seconds"
  else
    printf '%-24s FINDING (exit %d), see %s and %s\n' "$target" "$status" "$logs/$target.log" "$findings/$target/"
    grep -E 'invariant broken|ERROR: |runtime error|SUMMARY|Test unit written' "$logs/$target.log" >&2 || tail -n 20 "$logs/$target.log" >&2
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "findings in: ${failed[*]}" >&2
  exit 1
fi

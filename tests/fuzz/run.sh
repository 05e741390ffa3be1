#!/usr/bin/env bash
# Runs every fuzz target of a fuzzing build (the asan preset) for a bounded time, two at a
# time, each from its seed corpus in fuzz/corpus/. The seeds are copied into a scratch folder
# under the build folder first, so the corpus kept in the repository never changes. Fails
# when any target crashes, trips a sanitizer, breaks a property, hangs or runs out of memory;
# the input that did it is left in <build dir>/fuzz-run/<target>/.
#
#   bash tests/fuzz/run.sh build/asan [seconds per target, default 60] [target...]
#
# Without targets it runs every one; ctest runs each target as its own test (label fuzz).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: run.sh <build dir> [seconds per target]}" && pwd)
seconds=${2:-60}
parallel=2
scratch=$build/fuzz-run

targets=("${@:3}")
if ((${#targets[@]} == 0)); then
  for source in "$root"/fuzz/*_fuzz.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi
for target in "${targets[@]}"; do
  if [ ! -x "$build/fuzz/$target" ]; then
    echo "Fuzz target $build/fuzz/$target is missing: configure with HARBOVALE_FUZZ=ON and clang" >&2
    exit 1
  fi
done

mkdir -p "$scratch"

# One target: leaves its log and exit code in its scratch folder.
fuzz_one() {
  local target=$1 dir=$scratch/$1
  rm -rf "$dir"
  mkdir -p "$dir/corpus"
  cp "$root/fuzz/corpus/$target/"* "$dir/corpus/" 2>/dev/null || true
  local code=0
  "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$dir/" "$dir/corpus" >"$dir/log" 2>&1 || code=$?
  echo "$code" >"$dir/exit"
}

started=$SECONDS
running=0
for target in "${targets[@]}"; do
  if ((running >= parallel)); then
    wait -n
    running=$((running - 1))
  fi
  fuzz_one "$target" &
  running=$((running + 1))
done
wait

failed=0
for target in "${targets[@]}"; do
  dir=$scratch/$target
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log")
  if [ "$(cat "$dir/exit")" = 0 ]; then
    printf 'ok      %-22s %s runs in %s s\n' "$target" "${runs:-?}" "$seconds"
  else
    failed=$((failed + 1))
    printf 'FAILED  %-22s exit %s; log %s\n' "$target" "$(cat "$dir/exit")" "$dir/log"
    grep -E 'ERROR|property broken|runtime error|Test unit written|^SUMMARY' "$dir/log" | head -20 | sed 's/^/        /'
  fi
done
echo "Fuzzing took $((SECONDS - started)) s"
echo "fuzz: $((${#targets[@]} - failed)) passed, $failed failed"
((failed == 0))

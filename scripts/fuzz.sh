#!/usr/bin/env bash
# Builds the fuzz targets (clang, build/fuzz) and runs each for SECONDS
# (default 60), at most FUZZ_JOBS (default 3) at once, from its seeds, the
# inputs kept in tests/fuzz/corpus/ and what earlier runs found
# (build/fuzz/corpus/). Inputs that crash, hang or leak land in
# build/fuzz/findings/<target>/; each target's log is beside them.
# With SECONDS 0 each target only runs over its corpus once, as CI does.
#   scripts/fuzz.sh [SECONDS [TARGET...]]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

seconds=${1:-60}
shift || true
build=$PWD/build/fuzz # absolute: the targets change their working folder
cmake -S . -B "$build" -DTAVRIX_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)" --target tavrix_fuzz

if [ "$seconds" -eq 0 ]; then
  exec ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
fi

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for bin in "$build"/tests/fuzz/*_fuzz; do
    name=$(basename "$bin")
    targets+=("${name%_fuzz}")
  done
fi

run_target() {
  local name=$1
  local findings=$build/findings/$name
  mkdir -p "$findings" "$build/corpus/$name"
  touch "$findings/.start"
  local inputs=("$build/corpus/$name" "$build/tests/fuzz/seeds/$name")
  [ -d "$PWD/tests/fuzz/corpus/$name" ] && inputs+=("$PWD/tests/fuzz/corpus/$name")
  "$build/tests/fuzz/${name}_fuzz" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" "${inputs[@]}" >"$findings/log" 2>&1 || true
  local runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$findings/log" | tail -1)
  local found
  found=$(find "$findings" -type f -newer "$findings/.start" ! -name log | wc -l)
  printf '%-12s %12s executions, %s findings\n' "$name" "${runs:-?}" "$found"
}
export -f run_target
export build seconds
printf '%s\n' "${targets[@]}" | xargs -P "${FUZZ_JOBS:-3}" -I{} bash -c 'run_target {}'

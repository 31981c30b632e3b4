#!/usr/bin/env bash
# Builds and runs the whole test suite twice: plainly, then under
# AddressSanitizer and UndefinedBehaviorSanitizer. Tests run inside a network
# namespace with only loopback up, so nothing can reach another address.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/format_check.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$PWD/tests/support/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_ctest() {
  local dir=$1
  local cmd="ctest --test-dir $dir --output-on-failure -j$jobs --timeout 600"
  if [ "$(id -u)" -eq 0 ] && unshare -n true 2>/dev/null; then
    unshare -n bash -c "ip link set lo up && $cmd"
  else
    echo "test: cannot make a private network namespace; running the suite as it is"
    bash -c "$cmd"
  fi
}

cmake -S . -B build/plain -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/plain -j"$jobs"
run_ctest build/plain

cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTAVRIX_SANITIZE=ON
cmake --build build/sanitize -j"$jobs"
run_ctest build/sanitize

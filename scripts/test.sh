#!/usr/bin/env bash
# Builds and runs the whole test suite twice: plainly, then under
# AddressSanitizer and UndefinedBehaviorSanitizer; then runs each fuzz target
# over its corpus. Tests run inside a network namespace with only loopback
# up, so nothing can reach another address.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/format_check.sh
source scripts/lib/suite.sh

for config in plain sanitize; do
  build_suite "$config"
  in_loopback_namespace ctest --test-dir "build/$config" --output-on-failure -j"$(nproc)" --timeout 600
done

# Then every fuzz target (clang, build/fuzz) once over its corpus.
bash scripts/fuzz.sh 0

#!/usr/bin/env bash
# Sets up the machine, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTAVRIX_BUILD_TESTS=OFF
cmake --build build/release -j"$(nproc)"
if [ -x build/release/app/tavrix ]; then
  exec build/release/app/tavrix "$@"
fi
echo "run: built; the program itself is not part of this build yet"

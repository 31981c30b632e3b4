#!/usr/bin/env bash
# Sets up the machine, builds the program and starts it from a run folder
# outside the tracked files: the program works in <run>/bin, so <run> is its
# main folder and Sys, Log, Hardware and Plan are made there. Ctrl+C closes
# it the orderly way. TAVRIX_RUN_DIR chooses the run folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTAVRIX_BUILD_TESTS=OFF
cmake --build build/release -j"$(nproc)"

program=$PWD/build/release/frame/tavrix
headless=$PWD/scripts/headless.sh
run=${TAVRIX_RUN_DIR:-$PWD/build/run}
mkdir -p "$run/bin" "$run/Sys"
# The menu files and pictures; files already there are kept.
"$PWD/build/release/frame/tavrix_install_data" "$run/Sys"
cd "$run/bin"
echo "run: main folder $run"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$program" "$@"
elif command -v Xvfb >/dev/null 2>&1 && command -v xauth >/dev/null 2>&1; then
  echo "run: no display; running on a virtual display of Xvfb (the window is not visible)"
  exec bash "$headless" "$program" "$@"
else
  echo "run: no display and no Xvfb; running with QT_QPA_PLATFORM=offscreen"
  QT_QPA_PLATFORM=offscreen exec "$program" "$@"
fi

#!/usr/bin/env bash
# Runs PROGRAM [ARGS...] on a virtual X display of its own.
#
# Xvfb, and the keeper that ends it, run in a session of their own, so the
# terminal's Ctrl+C (and its hang-up) reaches the program alone: the program
# closes the orderly way while its display is still there. The program
# replaces this script, so its exit status is the command's. Xvfb ends once
# the program has exited: the keeper holds the read end of a pipe whose
# write end only the program keeps open.
set -euo pipefail

if [ "${1:-}" = "--keep" ]; then
  # The keeper: starts Xvfb on a free display, hands the number over through
  # the fifo, and waits for the end of the pipe on its standard input.
  dir=$2
  Xvfb -displayfd 3 -auth "$dir/Xauthority" -nolisten tcp -screen 0 1920x1080x24 \
    3>"$dir/display" </dev/null >"$dir/Xvfb.log" 2>&1 &
  xvfb=$!
  cat >/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -rf "$dir"
  exit 0
fi

if [ $# -eq 0 ]; then
  echo "usage: $0 PROGRAM [ARGS...]" >&2
  exit 2
fi
for tool in Xvfb xauth setsid; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "headless: $tool is missing" >&2
    exit 127
  fi
done

dir=$(mktemp -d "${TMPDIR:-/tmp}/tavrix-x.XXXXXX")
mkfifo "$dir/display"
# The server takes every cookie of its file; the client looks its display up.
cookie=$(mcookie 2>/dev/null || od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
: >"$dir/Xauthority"
xauth -q -f "$dir/Xauthority" add :0 MIT-MAGIC-COOKIE-1 "$cookie"

exec {alive}> >(exec setsid bash "${BASH_SOURCE[0]}" --keep "$dir" >/dev/null 2>&1)
display=
read -r display <"$dir/display" || true
if [ -z "$display" ]; then
  echo "headless: Xvfb did not start" >&2
  cat "$dir/Xvfb.log" >&2 2>/dev/null || true
  exit 1
fi
xauth -q -f "$dir/Xauthority" add ":$display" MIT-MAGIC-COOKIE-1 "$cookie"

export DISPLAY=":$display" XAUTHORITY="$dir/Xauthority" QT_QPA_PLATFORM=xcb
exec "$@"

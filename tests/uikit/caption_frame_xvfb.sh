#!/usr/bin/env bash
# Checks by hand (not in CI) what the custom caption leaves to a window
# manager. Starts the demo frame under Xvfb twice, with openbox and with no
# window manager, drives it with xdotool and checks the window's geometry
# after each step: drag the caption by (100, 50), the bottom-right corner by
# (50, 40), maximise and restore with the button, then with double clicks
# on the caption, click a tool button, choose File > New in the caption
# menu and close. Saves a screenshot of the whole screen of each run.
#   tests/uikit/caption_frame_xvfb.sh [BUILD_DIR] [SHOT_DIR]
# BUILD_DIR holds the built caption_frame_demo (default build/plain); the
# screenshots go to SHOT_DIR (default BUILD_DIR/screenshots).
set -uo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/plain}
shots=${2:-$build/screenshots}
demo=$build/tests/uikit/caption_frame_demo
if [ ! -x "$demo" ]; then
  echo "build the caption_frame_demo target first ($demo)"
  exit 2
fi
for tool in Xvfb xdotool openbox; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/setup.sh"; exit 2; }
done
mkdir -p "$shots"

readonly screen_w=1280 screen_h=800
# The frame's own measures: border 3, caption row 24, control buttons 26 x 18
# from the row's right end with 2-pixel gaps; the first tool button's centre.
readonly border=3
failures=0
pids=()
stop_all() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  pids=()
}
trap stop_all EXIT

geometry() {
  local X Y WIDTH HEIGHT WINDOW SCREEN
  eval "$(xdotool getwindowgeometry --shell "$win")"
  echo "$X $Y $WIDTH $HEIGHT"
}

# expect NAME "X Y W H": waits up to 3 s for the window to get there.
expect() {
  local name=$1 want=$2 got
  for _ in $(seq 30); do
    got=$(geometry)
    [ "$got" = "$want" ] && break
    sleep 0.1
  done
  if [ "$got" = "$want" ]; then
    echo "  ok    $name: $got"
  else
    echo "  FAIL  $name: got $got, want $want"
    failures=$((failures + 1))
  fi
}

# drag X Y DX DY: presses at (X, Y), steps one pixel (where a window manager
# takes the drag over), then moves by (DX, DY) and releases. Prints the
# geometry after the first step, which the rest of the drag is measured from.
drag() {
  xdotool mousemove "$1" "$2" mousedown 1
  sleep 0.2
  xdotool mousemove $(($1 + 1)) $(($2 + 1))
  sleep 0.3
  local after_step
  after_step=$(geometry)
  xdotool mousemove $(($1 + 1 + $3)) $(($2 + 1 + $4))
  sleep 0.3
  xdotool mouseup 1
  sleep 0.3
  echo "$after_step"
}

click_at() {
  xdotool mousemove "$1" "$2" click "${3:-1}"
}

# The maximise button's centre for a window at X Y W with border B.
max_button() { echo $(($1 + $3 - $4 - 43)) $(($2 + $4 + 12)); }

run() {
  local mode=$1 fdfile log
  fdfile=$(mktemp)
  log=$(mktemp)
  Xvfb -displayfd 3 -screen 0 ${screen_w}x${screen_h}x24 -nolisten tcp 3>"$fdfile" 2>/dev/null &
  pids+=($!)
  for _ in $(seq 50); do [ -s "$fdfile" ] && break; sleep 0.1; done
  export DISPLAY=:$(cat "$fdfile")
  echo "== $mode (display $DISPLAY)"
  if [ "$mode" = openbox ]; then
    openbox --sm-disable >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
  fi
  "$demo" >"$log" 2>&1 &
  local demo_pid=$!
  pids+=($demo_pid)
  win=$(xdotool search --sync --onlyvisible --name '^Tavrix' | head -1)
  sleep 0.5
  expect "shown" "100 100 800 600"

  local x y w h x1 y1 w1 h1
  read -r x y w h <<<"$(geometry)"
  read -r x1 y1 w1 h1 <<<"$(drag $((x + 200)) $((y + 15)) 100 50)"
  expect "caption dragged by (100, 50)" "$((x1 + 100)) $((y1 + 50)) $w1 $h1"

  read -r x y w h <<<"$(geometry)"
  read -r x1 y1 w1 h1 <<<"$(drag $((x + w - 2)) $((y + h - 2)) 50 40)"
  expect "corner dragged by (50, 40)" "$x1 $y1 $((w1 + 50)) $((h1 + 40))"

  local normal
  normal=$(geometry)
  read -r x y w h <<<"$normal"
  click_at $(max_button "$x" "$y" "$w" $border)
  if [ "$mode" = openbox ]; then
    expect "maximised by its button" "0 0 $screen_w $screen_h"
    read -r x y w h <<<"$(geometry)"
    click_at $(max_button "$x" "$y" "$w" 0)
  else
    # No window manager: the state changes, nothing sizes the window.
    expect "maximise button (no window manager)" "$normal"
    click_at $(max_button "$x" "$y" "$w" 0)
  fi
  expect "restored by its button" "$normal"

  read -r x y w h <<<"$(geometry)"
  xdotool mousemove $((x + 200)) $((y + 15)) click --repeat 2 --delay 120 1
  if [ "$mode" = openbox ]; then
    expect "maximised by a double click" "0 0 $screen_w $screen_h"
    xdotool mousemove 200 12 click --repeat 2 --delay 120 1
  else
    expect "double click (no window manager)" "$normal"
    xdotool mousemove $((x + 200)) $((y + 12)) click --repeat 2 --delay 120 1
  fi
  expect "restored by a double click" "$normal"

  read -r x y w h <<<"$(geometry)"
  click_at $((x + border + 8 + 19)) $((y + border + 24 + 21))
  sleep 0.3
  if grep -q "^notify 1$" "$log"; then
    echo "  ok    tool button 1 notified"
  else
    echo "  FAIL  tool button 1 sent no notification"
    failures=$((failures + 1))
  fi

  # File opens under its item (menu bar from x = 5, items 20 high); New is
  # its first entry.
  click_at $((x + border + 12)) $((y + border + 13))
  sleep 0.5
  click_at $((x + border + 30)) $((y + border + 36))
  sleep 0.3
  if grep -q "^command 101$" "$log"; then
    echo "  ok    File > New chosen in the caption menu"
  else
    echo "  FAIL  the caption menu sent no command"
    failures=$((failures + 1))
  fi

  "$demo" --grab-root "$shots/caption-$mode.png" 2>/dev/null && echo "  shot  $shots/caption-$mode.png"
  click_at $((x + w - border - 15)) $((y + border + 12))
  for _ in $(seq 30); do kill -0 "$demo_pid" 2>/dev/null || break; sleep 0.1; done
  if grep -q "^closed$" "$log"; then
    echo "  ok    closed by its button"
  else
    echo "  FAIL  the close button did not close the frame"
    failures=$((failures + 1))
  fi
  stop_all
  rm -f "$fdfile" "$log"
}

run openbox
run no-wm
echo "failures: $failures"
[ "$failures" -eq 0 ]

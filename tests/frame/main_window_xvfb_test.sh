#!/bin/sh
# The real program on a virtual X display: a main folder with the shipped
# data and a processor file with four sources, its link on the simulator;
# the window must show and be viewable, its tab strip and wall canvas show
# their colours, connect chosen from the menu with the keyboard reaches
# the simulator and fills the source tree (the processor connected, each
# source lit green once the simulator reports its signal), and closing it
# through the window manager's protocol ends the program cleanly with its
# files written. The window after connect is left in SHOT_DIR.
#   main_window_xvfb_test.sh TAVRIX INSTALL_DATA WRITE_PROCESSOR PROBE SIMULATOR SHOT_DIR
set -u
tavrix=$1 install_data=$2 write_processor=$3 probe=$4 simulator=$5 shots=$6
main=$PWD/main
mkdir -p "$main/bin" "$main/Sys"
# A runtime folder of its own: no other copy of the program can be found.
mkdir -p "$PWD/rt" && chmod 700 "$PWD/rt"
export XDG_RUNTIME_DIR="$PWD/rt"
"$install_data" "$main/Sys" || { echo "cannot install the shipped data"; exit 1; }
# Type 0 keeps the model 8 of the file; every input reports a signal.
"$simulator" --type 0,1 --input-signal 1920x1080 port.txt lines.txt &
served=$!
trap 'kill $served 2>/dev/null' EXIT
for _ in $(seq 50); do [ -s port.txt ] && break; sleep 0.1; done
port=$(cat port.txt) || exit 1
(cd "$main/bin" && "$write_processor" "$port") || exit 1
rm -f "$main/Hardware/IOSD.dat"

# The source tree fills the control bar's page, right of the bar's tab
# column (from x = 48) and 92 pixels below the window's top (caption, tool
# row, the bar's own caption), 2 pixels in; its rows are 20 pixels high.
# A band inside each of the first six rows: the processor, its four
# sources and the empty row under them.
bands=""
for row in 0 1 2 3 4 5; do bands="$bands --band 50,$((95 + 20 * row)),210,18"; done
# A row filled with a source's text holds this much green ink at least
# (a name and its resolution, some 16 characters).
min_green=40
# The window painted: the processor's row (band 1) holds its name and the
# canvas its colour.
cat > shown.awk <<'EOA'
/^band/ && ++n == 1 && $4 > 0 { named = 1 }
/^-30,-30 A4A4A4$/ { canvas = 1 }
END { exit !(named && canvas) }
EOA
# The sources' rows (bands 2 to 5) all lit.
cat > filled.awk <<EOA
/^band/ { n++; if (n >= 2 && n <= 5 && \$6 < $min_green) dark = 1 }
END { exit !(n == 6 && !dark) }
EOA

cat > check.sh <<EOS
cd "$main/bin"
# On the X display, whatever platform the suite chose for its other tests.
QT_QPA_PLATFORM=xcb "$tavrix" 2> "$PWD/stderr.txt" &
program=\$!
# x = 10 lies in the tab strip, far below its tabs; 30 pixels in from the
# bottom-right corner lies on the wall view's canvas. Until the window is
# painted, 20 s at most once it shows.
for _ in \$(seq 40); do
  "$probe" Tavrix --keep --settle 500 --ppm "$PWD/before.ppm" 10,-20 -30,-30 $bands > "$PWD/samples.txt"
  awk -f "$PWD/shown.awk" "$PWD/samples.txt" && break
done
xwininfo -name Tavrix > "$PWD/xwininfo.txt" 2>&1
# F10 enters the caption menu, Right makes the processor menu hot, Down
# opens it on its first item, connect over the network.
xdotool search --name '^Tavrix\$' windowfocus --sync
xdotool key --delay 300 F10 Right Down Return
# Until the simulator's answers light the tree, 30 s at most.
for _ in \$(seq 150); do
  "$probe" Tavrix --keep --settle 0 --ppm "$PWD/after.ppm" $bands > "$PWD/after.txt"
  awk -f "$PWD/filled.awk" "$PWD/after.txt" && break
  sleep 0.2
done
"$probe" Tavrix > /dev/null
wait \$program
echo \$? > "$PWD/exit.txt"
EOS
timeout 90 xvfb-run -a -s "-screen 0 1280x1024x24" sh check.sh

fail=0
check() { if ! eval "$1"; then echo "FAILED: $2"; fail=1; fi; }
check 'grep -q "IsViewable" xwininfo.txt' "the window is viewable"
check 'grep -q "^10,-20 3D3D3D$" samples.txt' "the tab strip is RGB(0x3D, 0x3D, 0x3D)"
check 'grep -q "^-30,-30 A4A4A4$" samples.txt' "the canvas is RGB(164, 164, 164)"
check '[ "$(cat exit.txt 2>/dev/null)" = 0 ]' "the program exits with 0"
check '[ -s lines.txt ]' "connect from the menu reaches the simulator"
# Bands of the probe's reports: 1 the processor, 2 to 5 the sources, 6
# the row below; fields 4 and 6 are the ink and the green.
band() { awk -v n="$2" -v f="$3" '/^band/ && ++i == n { print $f }' "$1"; }
check '[ "$(band samples.txt 1 4)" -gt 0 ] 2>/dev/null' "before connect the processor's row shows its name"
for n in 2 3 4 5; do
  check '[ "$(band samples.txt $n 6)" = 0 ]' "before connect source row $((n - 1)) is not lit"
done
check 'awk -f filled.awk after.txt' "after connect the four source rows are lit"
check '[ "$(band after.txt 1 4)" -gt "$(band samples.txt 1 4)" ] 2>/dev/null' \
  "after connect the processor's row shows the longer connected status"
check '[ "$(band after.txt 6 4)" = 0 ]' "after connect no row follows the four sources"
[ -f after.ppm ] && mkdir -p "$shots" && cp after.ppm "$shots/frame_xvfb_test.after_connect.ppm"
for file in Plan/PlanList.txt Plan/CyclePlanList.clt Hardware/Processor.pro Sys/Main.ini; do
  check '[ -f "$main/$file" ]' "$file is written"
done
check '! grep -qE "AddressSanitizer|LeakSanitizer|runtime error" stderr.txt' "no sanitizer report"
check '! grep -qiE "QObject::(killTimer|startTimer)|Timers cannot|cross-thread|different thread" stderr.txt' \
  "no Qt warning about timers or threads"
cat samples.txt after.txt
[ $fail = 0 ] && echo "1 passed, 0 failed" || { cat stderr.txt; echo "0 passed, 1 failed"; }
exit $fail

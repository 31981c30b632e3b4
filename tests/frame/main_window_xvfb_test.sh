#!/bin/sh
# The real program on a virtual X display: a main folder with the shipped
# data and a processor file with one source, its link on the simulator;
# the window must show and be viewable, its tab strip and wall canvas show
# their colours, connect chosen from the menu with the keyboard reaches
# the simulator and changes the source tree, and closing it through the
# window manager's protocol ends the program cleanly with its files
# written.
#   main_window_xvfb_test.sh TAVRIX INSTALL_DATA WRITE_PROCESSOR PROBE SIMULATOR
set -u
tavrix=$1 install_data=$2 write_processor=$3 probe=$4 simulator=$5
main=$PWD/main
mkdir -p "$main/bin" "$main/Sys"
# A runtime folder of its own: no other copy of the program can be found.
mkdir -p "$PWD/rt" && chmod 700 "$PWD/rt"
export XDG_RUNTIME_DIR="$PWD/rt"
"$install_data" "$main/Sys" || { echo "cannot install the shipped data"; exit 1; }
"$simulator" port.txt lines.txt &
served=$!
trap 'kill $served 2>/dev/null' EXIT
for _ in $(seq 50); do [ -s port.txt ] && break; sleep 0.1; done
port=$(cat port.txt) || exit 1
(cd "$main/bin" && "$write_processor" "$port") || exit 1
rm -f "$main/Hardware/IOSD.dat"

cat > check.sh <<EOS
cd "$main/bin"
# On the X display, whatever platform the suite chose for its other tests.
QT_QPA_PLATFORM=xcb "$tavrix" 2> "$PWD/stderr.txt" &
program=\$!
# x = 10 lies in the tab strip, far below its tabs; 30 pixels in from the
# bottom-right corner lies on the wall view's canvas.
"$probe" Tavrix --keep --ppm "$PWD/before.ppm" 10,-20 -30,-30 > "$PWD/samples.txt"
xwininfo -name Tavrix > "$PWD/xwininfo.txt" 2>&1
# F10 enters the caption menu, Right makes the processor menu hot, Down
# opens it on its first item, connect over the network.
xdotool search --name '^Tavrix\$' windowfocus --sync
xdotool key --delay 300 F10 Right Down Return
for _ in \$(seq 100); do [ -s "$PWD/lines.txt" ] && break; sleep 0.2; done
sleep 1
"$probe" Tavrix --keep --ppm "$PWD/after.ppm" > /dev/null
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
check '! cmp -s before.ppm after.ppm' "the window changes once connected"
for file in Plan/PlanList.txt Plan/CyclePlanList.clt Hardware/Processor.pro Sys/Main.ini; do
  check '[ -f "$main/$file" ]' "$file is written"
done
check '! grep -qE "AddressSanitizer|LeakSanitizer|runtime error" stderr.txt' "no sanitizer report"
check '! grep -qiE "QObject::(killTimer|startTimer)|Timers cannot|cross-thread|different thread" stderr.txt' \
  "no Qt warning about timers or threads"
cat samples.txt
[ $fail = 0 ] && echo "1 passed, 0 failed" || { cat stderr.txt; echo "0 passed, 1 failed"; }
exit $fail

#!/usr/bin/env bash
# The real program on a real X server against tavrin-virtual-keyboard in its own process: Game Mode
# opened, OFF clicked, Save clicked; the keyboard receives exactly one WriteGameMode(0) and nothing
# else. Usage: save_game_mode.sh <tavrin-gaming-keyboard> <tavrin-virtual-keyboard>
source "$(dirname "$0")/common.sh"
KEYBOARD="$2"
require_tools xvfb-run xdotool
export QT_QPA_PLATFORM=xcb
mkdir -p "$work/data"

start_keyboard "$KEYBOARD"

cat >"$work/inner.sh" <<INNER
set -u
"$APP" --virtual-device "$work/kbd.sock" --data-dir "$work/data" 2>"$work/app.log" &
app=\$!
find_window() { xdotool search --onlyvisible --name "^Tavrin Gaming Keyboard\$" 2>/dev/null | head -1; }
for i in \$(seq 1 50); do
    [ -n "\$(find_window)" ] && break
    sleep 0.2
done
id=\$(find_window)
[ -n "\$id" ] || { echo "no visible window" >"$work/verdict"; kill \$app; exit 1; }
# The start-up read: the window shows once the keyboard opens, and takes commands once it is read.
for i in \$(seq 1 100); do
    grep -q "the keyboard's settings are read" "$work/app.log" && break
    sleep 0.2
done
grep -q "the keyboard's settings are read" "$work/app.log" ||
    { echo "the start-up read never ended" >"$work/verdict"; kill \$app; exit 1; }
click() { xdotool mousemove --window "\$id" "\$1" "\$2" click 1; sleep 0.4; }
click 100 200   # Game Mode header
click 38 232    # ON
click 950 620   # Save
sleep 1.5
wc -l <"$work/link.txt" >"$work/mark"
click 110 232   # the word OFF
click 950 620   # Save
sleep 1.5
kill \$app
wait \$app 2>/dev/null
echo ok >"$work/verdict"
INNER
timeout 90 xvfb-run -a -s "-screen 0 1280x800x24" bash "$work/inner.sh" || true
[ "$(cat "$work/verdict" 2>/dev/null)" = ok ] || fail "$(cat "$work/verdict" 2>/dev/null || echo 'no verdict')"

# Frames the keyboard received on the command interface (2) after the first Save: op, interface,
# length, payload. SET_FEATURE is op 10, GET_FEATURE 11, WRITE 12.
mark=$(cat "$work/mark")
tail -n +"$((mark + 1))" "$work/link.txt" | awk '$2 == 2 && $3 == "<"' >"$work/after.txt"
requests=$(awk '$4 == "10" || $4 == "11" || $4 == "12"' "$work/after.txt")
expected="10 02 09 00 00 07 00 00 00 00 00 00 00"
count=$(printf '%s\n' "$requests" | grep -c . || true)
[ "$count" = 1 ] || fail "expected one request after the first Save, got $count: $requests"
got=$(printf '%s\n' "$requests" | cut -d' ' -f4-)
[ "$got" = "$expected" ] || fail "expected WriteGameMode(0) ($expected), got $got"
no_breaches
echo "Save sent exactly one WriteGameMode(0)"

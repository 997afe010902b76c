#!/usr/bin/env bash
# The real program on a real X server against tavrin-virtual-keyboard in its own process: Game Mode
# opened, OFF clicked, Save clicked; the keyboard receives exactly one WriteGameMode(0) and nothing
# else. Usage: save_game_mode.sh <tavrin-gaming-keyboard> <tavrin-virtual-keyboard>
source "$(dirname "$0")/common.sh"
KEYBOARD="$2"
require_tools Xvfb xdotool
export QT_QPA_PLATFORM=xcb
mkdir -p "$work/data"

start_keyboard "$KEYBOARD"

cat >"$work/inner.sh" <<'INNER'
work="$1"; APP="$2"
source "$3/inner_common.sh"
verdict() { echo "$*" >"$work/verdict"; exit 1; }
"$APP" --virtual-device "$work/kbd.sock" --data-dir "$work/data" 2>"$work/app.log" &
app=$!
find_window() { xdotool search --onlyvisible --name '^Tavrin Gaming Keyboard$' 2>/dev/null | head -1; }
has_window() { [ -n "$(find_window)" ]; }
# The window shows once the keyboard opens, and takes commands once it is read.
wait_for 60 has_window || verdict "no visible window"
id=$(find_window)
wait_for 60 settings_read "$work/app.log" || verdict "the start-up read never ended"
# Clicks at window points; the X server delivers them in order, and the program handles each
# before it reads the next.
clicks() {
    local args=()
    while [ $# -gt 0 ]; do
        args+=(mousemove --sync --window "$id" "$1" "$2" click 1)
        shift 2
    done
    xdotool "${args[@]}"
}
saved() { [ "$(saves_in "$work/app.log")" -ge "$1" ]; }
clicks 100 200 38 232 950 620   # Game Mode header, ON, Save
wait_for 30 saved 1 || verdict "the first Save never ended"
wc -l <"$work/link.txt" >"$work/mark"
clicks 110 232 950 620          # the word OFF, Save
wait_for 30 saved 2 || verdict "the second Save never ended"
kill $app
wait $app 2>/dev/null
echo ok >"$work/verdict"
INNER
start_xvfb
timeout 120 \
    bash "$work/inner.sh" "$work" "$APP" "$(cd "$(dirname "$0")" && pwd)" >"$work/inner.log" 2>&1 || true
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

#!/usr/bin/env bash
# The real program on a real X server: it stays up and shows a window of the size of "main.png".
source "$(dirname "$0")/common.sh"
require_tools Xvfb xdotool
# The test run sets the offscreen platform for the widget tests; this one needs the X server.
export QT_QPA_PLATFORM=xcb
PROGRAM_DIR=$(dirname "$APP")
read -r want_w want_h < <(png_size "$PROGRAM_DIR/png/english/main.png")

cat >"$work/inner.sh" <<'INNER'
work="$1"; APP="$2"
source "$3/inner_common.sh"
verdict() { echo "$*" >"$work/verdict"; exit 1; }
"$APP" --simulate --data-dir "$work/data" 2>"$work/app.log" &
app=$!
find_window() { xdotool search --onlyvisible --name '^Tavrin Gaming Keyboard$' 2>/dev/null | head -1; }
has_window() { [ -n "$(find_window)" ]; }
wait_for 60 has_window || verdict "no visible window"
# Staying up is the point: three seconds with the window shown.
sleep 3
kill -0 $app || verdict "the program ended"
id=$(find_window)
[ -n "$id" ] || verdict "the window went away"
xdotool getwindowgeometry "$id" >"$work/win.txt" 2>&1
kill $app
wait $app 2>/dev/null
echo ok >"$work/verdict"
INNER
start_xvfb
timeout 100 \
    bash "$work/inner.sh" "$work" "$APP" "$(cd "$(dirname "$0")" && pwd)" >"$work/inner.log" 2>&1 || true
[ "$(cat "$work/verdict" 2>/dev/null)" = ok ] || fail "$(cat "$work/verdict" 2>/dev/null || echo 'no verdict')"
read -r w h < <(awk '/Geometry:/ {split($2, a, "x"); print a[1], a[2]}' "$work/win.txt")
[ "$w" = "$want_w" ] && [ "$h" = "$want_h" ] || fail "window is ${w}x${h}, main.png is ${want_w}x${want_h}"
echo "window ${w}x${h} stayed up for 3 s"

#!/usr/bin/env bash
# The real program as a native Wayland client of weston's headless back end. DISPLAY is unset, so a
# fallback to X11 cannot pass unseen. Clicks come through the program's test input path.
# 1. A private session bus without a notification area: the window shows at start (an
#    xdg_toplevel given a buffer of the window's size), the help pop-up opens and closes, and the
#    close button ends the program with 0.
# 2. With a StatusNotifierItem host (a stand-in watcher): the icon registers, the minimise button
#    hides the window, the host's activation (its primary click) shows it again, and the icon
#    menu's Exit ends the program with 0.
# Arguments: the program, the stand-in watcher.
source "$(dirname "$0")/common.sh"
HERE=$(cd "$(dirname "$0")" && pwd)
require_tools weston dbus-run-session gdbus python3
WATCHER="$2"

PROGRAM_DIR=$(dirname "$APP")
SKIN="$PROGRAM_DIR/png/english"
read -r want_w want_h < <(png_size "$SKIN/main.png")

unset DISPLAY
export QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=tavrin-e2e
weston --backend=headless-backend.so --shell=desktop-shell.so --socket="$WAYLAND_DISPLAY" \
    --idle-time=0 --width=1280 --height=800 --log="$work/weston.txt" >/dev/null 2>&1 &
pids+=($!)
wait_for 30 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || fail "weston did not start"

# Leaks inside Qt's Wayland plugin and the EGL driver it loads are left out (see the file), which
# needs whole stacks: the driver is built without frame pointers.
lsan="suppressions=$HERE/wayland_lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
asan="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"

# The help button, then a click that closes the pop-up, then the close button (the window's own
# buttons at the top right). The screenshot comes half a second after the first click.
status=0
LSAN_OPTIONS="$lsan" ASAN_OPTIONS="$asan" \
    WAYLAND_DEBUG=1 TAVRIN_SCREENSHOT="$work/shot.png" TAVRIN_TEST_CLICK="944,12;986,12;986,12" \
    timeout 90 dbus-run-session -- "$APP" --simulate --data-dir "$work/data" \
    2>"$work/app.log" || status=$?
[ "$status" = 0 ] || fail "the program ended with $status"

# The protocol log (WAYLAND_DEBUG's lines start with a time in brackets) and the rest.
grep -E '^\[ *[0-9]+\.[0-9]+\] ' "$work/app.log" >"$work/protocol.txt" || true
grep -v -E '^\[ *[0-9]+\.[0-9]+\] ' "$work/app.log" >"$work/messages.txt" || true

# Really on Wayland: a toplevel, and a buffer of the window's size attached and committed to it
# (after the line that matches $2, when given).
shown() {
    python3 - "$1" "$want_w" "$want_h" "${2:-}" <<'PY'
import re, sys
path, width, height, after = sys.argv[1:5]
sized = set()   # buffers of the window's size
attached = {}   # surface -> buffer attached last
started = not after
for line in open(path, errors="replace"):
    started = started or after in line
    m = re.search(r"-> wl_shm_pool@\d+\.create_buffer\(new id wl_buffer@(\d+), \d+, (\d+), (\d+),",
                  line)
    if m and (m.group(2), m.group(3)) == (width, height):
        sized.add(m.group(1))
    m = re.search(r"-> wl_surface@(\d+)\.attach\(wl_buffer@(\d+),", line)
    if m:
        attached[m.group(1)] = m.group(2)
    m = re.search(r"-> wl_surface@(\d+)\.commit\(\)", line)
    if started and m and attached.get(m.group(1)) in sized:
        sys.exit(0)
sys.exit(1)
PY
}
grep -q -E -- '-> xdg_surface@[0-9]+\.get_toplevel\(' "$work/protocol.txt" ||
    fail "no xdg_toplevel was created"
shown "$work/app.log" || fail "the window's buffer never reached the compositor"

# The clicks came, in the program's own words, and the close button ended it: it wrote the
# key map file as it does when closed.
clicks=$(grep -c "test click at" "$work/messages.txt" || true)
[ "$clicks" = 3 ] || fail "$clicks of 3 clicks were delivered"
[ -s "$work/data/keymap.bin" ] || fail "the close button did not end the program"

# No complaint of the platform, no X11, and no warning over and over.
complaint=$(grep -i -E "could not load the qt platform plugin|xcb" "$work/messages.txt" || true)
[ -z "$complaint" ] || fail "a platform complaint or X11: $(head -3 <<<"$complaint")"
lines=$(wc -l <"$work/messages.txt")
[ "$lines" -le 40 ] ||
    fail "$lines lines on standard error: $(sort "$work/messages.txt" | uniq -c | sort -rn | head -3)"
repeated=$(sort "$work/messages.txt" | uniq -c | awk '$1 >= 3' | head -1)
[ -z "$repeated" ] || fail "a message repeats: $repeated"

# The picture has the window's size and shows the help pop-up where the window draws it.
grep -q "screenshot written to" "$work/messages.txt" || fail "no screenshot"
read -r w h < <(png_size "$work/shot.png")
[ "$w" = "$want_w" ] && [ "$h" = "$want_h" ] ||
    fail "the screenshot is ${w}x${h}, not ${want_w}x${want_h}"
# The pop-up's picture lies at (830, 22); its words are drawn over part of it.
python3 - "$HERE" "$work/shot.png" "$SKIN/HelpWindow.png" <<'PY' || fail "the help pop-up is not in the screenshot"
import sys
sys.path.insert(0, sys.argv[1])
from png_match import read_png
_, _, sb, shot = read_png(sys.argv[2])
hw, hh, hb, popup = read_png(sys.argv[3])
same = total = 0
for y in range(0, hh, 3):
    for x in range(0, hw, 3):
        total += 1
        a = shot[22 + y][(830 + x) * sb:(830 + x) * sb + 3]
        same += a == popup[y][x * hb:x * hb + 3]
sys.exit(0 if same >= 0.6 * total else 1)
PY

# 2. The icon. The host's calls go over the same private bus, so they run inside it.
cat >"$work/host.sh" <<'HOST'
source "$HERE/inner_common.sh"
"$WATCHER" >"$work/watcher.txt" 2>"$work/watcher.log" &
watcher=$!
wait_for 20 grep -q watching "$work/watcher.txt"
WAYLAND_DEBUG=1 TAVRIN_TEST_CLICK="965,12" "$APP" --simulate --data-dir "$work/data2" \
    2>"$work/app2.log" &
app=$!
verdict() { echo "$1" >"$work/verdict"; exit 0; }
registered() { [ -n "$(awk '$1 == "item" {print $2; exit}' "$work/watcher.txt")" ]; }
wait_for 60 registered || verdict "the icon never registered with the host"
item=$(awk '$1 == "item" {print $2; exit}' "$work/watcher.txt")
wait_for 60 grep -q "test click at 965,12" "$work/app2.log" ||
    verdict "the minimise button was not clicked"
# The window is hidden once its toplevel is gone.
hidden() {
    awk '/test click at 965,12/ {after = 1} after && /-> xdg_toplevel@[0-9]+\.destroy\(/ {found = 1}
         END {exit !found}' "$work/app2.log"
}
wait_for 20 hidden || verdict "the minimise button did not hide the window"
gdbus call --session --dest "$item" --object-path /StatusNotifierItem \
    --method org.kde.StatusNotifierItem.Activate -- 0 0 >/dev/null ||
    verdict "the icon took no activation"
wait_for 20 grep -q "showing the window" "$work/app2.log" ||
    verdict "the icon's activation did not show the window"
layout=$(gdbus call --session --dest "$item" --object-path /MenuBar \
    --method com.canonical.dbusmenu.GetLayout -- 0 -1 "@as []") || verdict "the icon has no menu"
exit_id=$(grep -o -E "\(([0-9]+), \{[^}]*'label': <'Exit'>" <<<"$layout" | grep -o -E '^\([0-9]+' |
    tr -d '(')
[ -n "$exit_id" ] || verdict "the icon's menu has no Exit: $layout"
gdbus call --session --dest "$item" --object-path /MenuBar --method com.canonical.dbusmenu.Event \
    -- "$exit_id" clicked "<0>" 0 >/dev/null || verdict "the menu took no click"
status=0
timeout 30 tail --pid="$app" -f /dev/null || status=timeout
[ "$status" = 0 ] && { wait "$app" || status=$?; }
echo "ended $status" >"$work/verdict"
HOST
export APP WATCHER work HERE
LSAN_OPTIONS="$lsan" ASAN_OPTIONS="$asan" \
    timeout 90 dbus-run-session -- bash "$work/host.sh" 2>"$work/host.log" || true
verdict=$(cat "$work/verdict" 2>/dev/null || echo "no verdict")
[ "$verdict" = "ended 0" ] || fail "with an icon host: $verdict"
# Hidden by the minimise button (its toplevel gone), then shown again by the host's activation.
awk '/test click at 965,12/ {after = 1} after && /-> xdg_toplevel@[0-9]+\.destroy\(/ {found = 1}
     END {exit !found}' "$work/app2.log" || fail "the minimise button did not hide the window"
grep -q "showing the window" "$work/app2.log" || fail "the icon's activation did not show the window"
shown "$work/app2.log" "showing the window" || fail "the window did not come back after the activation"

echo "native Wayland: window ${w}x${h} shown, help pop-up seen, closed with 0; the icon hides and shows it"

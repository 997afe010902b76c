#!/usr/bin/env bash
# The real program as a native Wayland client of weston's headless back end, with a private
# session bus that has no notification area: its window shows at start (an xdg_toplevel given a
# buffer of the window's size), takes clicks through the program's test input path (the help
# pop-up opens and closes, then the close button ends the program) and the program ends with 0.
# DISPLAY is unset, so a fallback to X11 cannot pass unseen. Argument: the program.
# Skips (77) where weston is not installed; scripts/bootstrap installs it.
source "$(dirname "$0")/common.sh"
HERE=$(cd "$(dirname "$0")" && pwd)
if ! command -v weston >/dev/null; then
    echo "SKIP: weston is not installed"
    exit 77
fi
require_tools dbus-run-session python3

PROGRAM_DIR=$(dirname "$APP")
SKIN="$PROGRAM_DIR/png/english"
read -r want_w want_h < <(png_size "$SKIN/main.png")

unset DISPLAY
export QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=tavrin-e2e
weston --backend=headless-backend.so --shell=desktop-shell.so --socket="$WAYLAND_DISPLAY" \
    --idle-time=0 --width=1280 --height=800 --log="$work/weston.txt" >/dev/null 2>&1 &
pids+=($!)
wait_for 20 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || fail "weston did not start"

# The help button, then a click that closes the pop-up, then the close button (the window's own
# buttons at the top right). The screenshot comes half a second after the first click.
status=0
LSAN_OPTIONS="suppressions=$HERE/wayland_lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
    WAYLAND_DEBUG=1 TAVRIN_SCREENSHOT="$work/shot.png" TAVRIN_TEST_CLICK="944,12;986,12;986,12" \
    timeout 90 dbus-run-session -- "$APP" --simulate --data-dir "$work/data" \
    2>"$work/app.log" || status=$?
[ "$status" = 0 ] || fail "the program ended with $status"

# The protocol log (WAYLAND_DEBUG's lines start with a time in brackets) and the rest.
grep -E '^\[ *[0-9]+\.[0-9]+\] ' "$work/app.log" >"$work/protocol.txt" || true
grep -v -E '^\[ *[0-9]+\.[0-9]+\] ' "$work/app.log" >"$work/messages.txt" || true

# Really on Wayland: a toplevel, and a buffer of the window's size attached and committed to it.
grep -q -E -- '-> xdg_surface@[0-9]+\.get_toplevel\(' "$work/protocol.txt" ||
    fail "no xdg_toplevel was created"
python3 - "$work/protocol.txt" "$want_w" "$want_h" <<'PY' || fail "the window's buffer never reached the compositor"
import re, sys
path, width, height = sys.argv[1], sys.argv[2], sys.argv[3]
sized = set()   # buffers of the window's size
attached = {}   # surface -> buffer attached and not yet committed
for line in open(path, errors="replace"):
    m = re.search(r"-> wl_shm_pool@\d+\.create_buffer\(new id wl_buffer@(\d+), \d+, (\d+), (\d+),",
                  line)
    if m and (m.group(2), m.group(3)) == (width, height):
        sized.add(m.group(1))
    m = re.search(r"-> wl_surface@(\d+)\.attach\(wl_buffer@(\d+),", line)
    if m:
        attached[m.group(1)] = m.group(2)
    m = re.search(r"-> wl_surface@(\d+)\.commit\(\)", line)
    if m and attached.get(m.group(1)) in sized:
        sys.exit(0)
sys.exit(1)
PY

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
echo "native Wayland: window ${w}x${h} shown, 3 clicks, help pop-up seen, closed with 0"

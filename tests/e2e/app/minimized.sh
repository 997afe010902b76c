#!/usr/bin/env bash
# --minimized on a real X server, against tavrin-virtual-keyboard as its own process: with a
# notification area (trayer) only the icon shows, and the keyboard is read as at any start;
# without one the window shows iconified. Arguments: the program, tavrin-virtual-keyboard.
source "$(dirname "$0")/common.sh"
VK="$2"
require_tools Xvfb xdotool xwininfo xprop trayer
unset DBUS_SESSION_BUS_ADDRESS  # the icon goes to the XEmbed area, not to a D-Bus watcher
export QT_QPA_PLATFORM=xcb

# The program's windows by name, viewable or not, with their width.
program_windows() {
    local id
    for id in $(xdotool search --name '^Tavrin Gaming Keyboard$' 2>/dev/null); do
        echo "$id $(xwininfo -id "$id" | awk '/Width:/ {print $2}') $(xwininfo -id "$id" |
            awk '/Map State:/ {print $3}')"
    done
}
# The main window: wider than the icon, which shares the name.
main_window() { program_windows | awk '$2 > 100 {print $1; exit}'; }
viewable_main_window() { program_windows | awk '$2 > 100 && $3 == "IsViewable" {print $1; exit}'; }
frames() { wc -l <"$work/frames.txt" 2>/dev/null || echo 0; }
settings_read() { grep -q "the keyboard's settings are read" "$1"; }

mkfifo "$work/keyboard.in"
exec 5<>"$work/keyboard.in"
"$VK" --socket "$work/kb.sock" --strict --log "$work/frames.txt" <"$work/keyboard.in" \
    >"$work/keyboard.log" 2>&1 &
pids+=($!)
wait_for 30 test -S "$work/kb.sock" || fail "the virtual keyboard is not listening"

# 1. With a notification area: the icon, the keyboard read, and no window.
start_xvfb tray
trayer --edge top --align right --widthtype request --height 32 --SetDockType false \
    --transparent false >"$work/trayer.log" 2>&1 &
pids+=($!)
wait_for 30 sh -c 'xwininfo -root -tree | grep -q "\"panel\""' || fail "trayer shows no panel"
"$APP" --minimized --virtual-device "$work/kb.sock" --data-dir "$work/data1" \
    >"$work/app1.log" 2>&1 &
app=$!
pids+=($app)
icon_window() {
    local panel
    panel=$(xwininfo -root -tree | awk '/"panel"/ {print $1; exit}')
    [ -n "$panel" ] && xwininfo -id "$panel" -tree | awk '/tavrin-gaming-keyboard/ {print $1; exit}'
}
has_icon() { [ -n "$(icon_window)" ]; }
wait_for 60 has_icon || fail "no icon in the notification area"
wait_for 60 settings_read "$work/app1.log" || fail "the keyboard was not read at start"
# A window would have shown when the keyboard opened; two more seconds for it to be mapped.
sleep 2
kill -0 "$app" 2>/dev/null || fail "the program ended"
[ -z "$(viewable_main_window)" ] || fail "with --minimized and a notification area a window shows"
echo "with a notification area: the icon only, $(frames) frames of the start-up read"
kill "$app"
wait "$app" 2>/dev/null || true

# 2. Without one: the window, iconified.
start_xvfb bare
: >"$work/frames.txt"
"$APP" --minimized --virtual-device "$work/kb.sock" --data-dir "$work/data2" \
    >"$work/app2.log" 2>&1 &
app=$!
pids+=($app)
has_window() { [ -n "$(main_window)" ]; }
wait_for 60 has_window || fail "without a notification area no window came"
win=$(main_window)
wait_for 60 settings_read "$work/app2.log" || fail "the keyboard was not read at start"
# Without a window manager the server maps it anyway; the hint asks the manager to iconify it.
xprop -id "$win" WM_HINTS | grep -q "Initial state is Iconic" ||
    fail "the window does not start iconified: $(xprop -id "$win" WM_HINTS)"
kill -0 "$app" 2>/dev/null || fail "the program ended"
echo "without a notification area: window $win iconified"
echo quit >&5

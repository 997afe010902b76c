#!/usr/bin/env bash
# The installed program on a real X server with a real notification area (trayer), against
# tavrin-virtual-keyboard as its own process: the icon is there, a double click on it shows the
# window, and turning Game Mode off and pressing Save sends the keyboard WriteGameMode and nothing
# else. Arguments: the build's program, cmake, the build tree.
source "$(dirname "$0")/common.sh"
CMAKE="$2"
BUILD="$3"
require_tools Xvfb xdotool xwininfo trayer
prefix="$work/prefix"
"$CMAKE" --install "$BUILD" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "cmake --install failed"
export HOME="$work/home" XDG_DATA_HOME="$work/home/data"
mkdir -p "$HOME"

start_xvfb
export QT_QPA_PLATFORM=xcb
trayer --edge top --align right --widthtype request --height 32 --SetDockType false \
    --transparent false >"$work/trayer.log" 2>&1 &
pids+=($!)
wait_for 30 sh -c 'xwininfo -root -tree | grep -q "\"panel\""' || fail "trayer shows no panel"

# A keyboard whose game mode is on, so that OFF is a change to save.
vk="$prefix/bin/tavrin-virtual-keyboard"
mkfifo "$work/keyboard.in"
"$vk" --socket "$work/kb.sock" --game-mode on --strict --log "$work/frames.txt" \
    <"$work/keyboard.in" >"$work/keyboard.log" 2>&1 &
pids+=($!)
exec 5>"$work/keyboard.in"
wait_for 30 test -S "$work/kb.sock" || fail "the virtual keyboard is not listening"

unset DBUS_SESSION_BUS_ADDRESS  # the icon goes to the XEmbed area, not to a D-Bus watcher
"$prefix/bin/tavrin-gaming-keyboard" --virtual-device "$work/kb.sock" >"$work/app.log" 2>&1 &
pids+=($!)

# The icon: a window of the program inside trayer's panel.
icon_window() {
    local panel
    panel=$(xwininfo -root -tree | awk '/"panel"/ {print $1; exit}')
    [ -n "$panel" ] && xwininfo -id "$panel" -tree | awk '/tavrin-gaming-keyboard/ {print $1; exit}'
}
has_icon() { [ -n "$(icon_window)" ]; }
# The main window: a viewable window of that name, wider than the icon (which shares the name).
main_window() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Tavrin Gaming Keyboard$' 2>/dev/null); do
        [ "$(xwininfo -id "$id" | awk '/Width:/ {print $2}')" -gt 100 ] && { echo "$id"; return; }
    done
}
has_window() { [ -n "$(main_window)" ]; }
settings_read() { grep -q "the keyboard's settings are read" "$work/app.log"; }
saves() { grep -c "tavrin-gaming-keyboard: saved" "$work/app.log" || true; }
wait_for 60 has_icon || fail "no icon in the notification area"
icon=$(icon_window)
wait_for 60 has_window || fail "with its keyboard the program shows no window"
win=$(main_window)
wait_for 60 settings_read || fail "the start-up read never ended"

# The window's own minimise button hides it while the icon can bring it back.
xdotool mousemove --sync --window "$win" 965 12 click 1
hidden() { ! has_window; }
wait_for 20 hidden ||
    fail "minimise did not hide the window"
xdotool mousemove --sync --window "$icon" 6 6 click --repeat 2 --delay 60 1
wait_for 20 has_window || fail "a double click on the icon did not show the window"
win=$(main_window)

# Game Mode header (all sections closed), its OFF radio, then Save; at window coordinates. The X
# server delivers the clicks in order, and the program handles each before it reads the next.
mark=$(wc -l <"$work/frames.txt")
xdotool mousemove --sync --window "$win" 140 205 click 1 \
    mousemove --sync --window "$win" 101 232 click 1 \
    mousemove --sync --window "$win" 950 620 click 1
saved_once() { [ "$(saves)" -ge 1 ]; }
wait_for 30 saved_once || fail "Save never ended: $(tail -3 "$work/app.log")"
kill -0 "${pids[-1]}" 2>/dev/null || fail "the program ended"

# What the keyboard received after the mark: op, interface, length, then the 9-byte report
# (report ID, command code, arguments).
received=$(tail -n +"$((mark + 1))" "$work/frames.txt" | awk '$3 == "<"')
echo "received after Save:"
echo "${received:-nothing}"
[ -n "$received" ] || fail "Save sent nothing to the keyboard, WriteGameMode expected"
count=$(wc -l <<<"$received")
[ "$count" = 1 ] || fail "the keyboard received $count frames, WriteGameMode only expected"
read -r _ _ _ op _ len_lo len_hi report_id code arg2 arg3 _ <<<"$received"
[ "$op $len_lo $len_hi $report_id $code" = "10 09 00 00 07" ] ||
    fail "the keyboard received op $op command $code, WriteGameMode (set feature 07) expected"
[ "$arg3" = 00 ] || fail "WriteGameMode carries $arg3, OFF (00) expected"
grep -q breach "$work/keyboard.log" && fail "the virtual keyboard saw a breach of the protocol"
echo quit >&5
echo "icon $icon showed window $win; Save sent WriteGameMode OFF and nothing else"

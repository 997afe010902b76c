#!/usr/bin/env bash
# Automatic profiles on a real X server with a window manager that keeps _NET_ACTIVE_WINDOW
# (openbox), a private session bus, and tavrin-virtual-keyboard in its own process. Three
# profiles differ only in their lighting: Chat (Wave), Desktop (Ripple, the default) and Game
# (RainDropo, while a process named "fpsgame-XXXX" runs). Activating a window switches the
# keyboard to its profile, flicking faster than the debounce sends nothing, a process switches
# while it runs, the D-Bus feed switches as X11 does, and a broken rules file is reported and kept.
# Prints the time from the focus change to the first report of the new profile.
# Usage: auto_profiles.sh <tavrin-gaming-keyboard> <tavrinctl> <tavrin-virtual-keyboard>
source "$(dirname "$0")/common.sh"
CTL="$2"
KEYBOARD="$3"
require_tools dbus-run-session gdbus Xvfb xdotool xprop openbox xmessage
HERE=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work/data/Configure"
start_keyboard "$KEYBOARD"

# The profiles: the factory profile with another effect code (byte 3866 of the file).
"$CTL" --data-dir "$work/data" profile list >/dev/null 2>>"$work/ctl.log" ||
    fail "tavrinctl could not make the first profile"
make_profile() {
    cp "$work/data/Configure/Profile_1.bin" "$work/data/Configure/$1.bin"
    printf "\\x$2" | dd of="$work/data/Configure/$1.bin" bs=1 seek=3866 conv=notrunc status=none
}
# The game's name is this run's own: the rule matches any process of that name on the machine.
game="fpsgame-$(printf %04x $((RANDOM)))"
export game
make_profile Chat 02
make_profile Desktop 05
make_profile Game 09
"$CTL" auto add Chat --window-class chatwin >/dev/null 2>>"$work/ctl.log" &&
    "$CTL" auto add Game --process "$game" --while running >/dev/null 2>>"$work/ctl.log" &&
    "$CTL" auto default Desktop >/dev/null 2>>"$work/ctl.log" ||
    fail "tavrinctl could not write the rules"
cp /bin/sleep "$work/$game"

cat >"$work/inner.sh" <<'INNER'
work="$1"; APP="$2"
source "$3/inner_common.sh"
verdict() { echo "$*" >"$work/verdict"; exit 1; }
# WriteLighting reports (command 06) after line $1 of the link's log: their effect bytes.
effects_after() {
    tail -n +$(($1 + 1)) "$work/link.txt" |
        awk '$2 == 2 && $3 == "<" && $4 == "10" && $9 == "06" { print $11 }'
}
lines() { wc -l <"$work/link.txt"; }
# True when no frame crossed the link for half a second: a profile's reports have all been sent.
link_quiet() {
    local before
    before=$(lines)
    sleep 0.5
    [ "$(lines)" = "$before" ]
}
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
# Waits up to $2 seconds for a WriteLighting of effect $3 after line $1; prints the time it came.
wait_effect() {
    local end=$((SECONDS + $2))
    while [ $SECONDS -lt $end ]; do
        if effects_after "$1" | grep -qx "$3"; then now_ms; return 0; fi
        sleep 0.02
    done
    return 1
}
window_of() { xdotool search --classname "$1" | head -1; }
activate() { xdotool windowactivate --sync "$(window_of "$1")"; }

# openbox announces itself as the window manager on the root window (_NET_SUPPORTING_WM_CHECK),
# and keeps _NET_ACTIVE_WINDOW from then on.
openbox >"$work/openbox.log" 2>&1 &
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
wait_for 20 wm_running || verdict "openbox did not start"
xmessage -name chatwin "chat window" &
xmessage -name otherwin "other window" &
both_shown() { [ -n "$(window_of otherwin 2>/dev/null)" ] && [ -n "$(window_of chatwin 2>/dev/null)" ]; }
wait_for 20 both_shown || verdict "the two windows never showed"
activate otherwin

QT_QPA_PLATFORM=offscreen "$APP" --virtual-device "$work/kbd.sock" --data-dir "$work/data" \
    2>"$work/app.log" &
wait_for 60 settings_read "$work/app.log" || verdict "the start-up read never ended"
# The default profile, for the window that has the focus now, and its whole profile sent.
wait_effect 0 20 05 >/dev/null || verdict "the default profile was never applied"
wait_for 20 link_quiet || verdict "the keyboard link never went quiet after the default profile"

# A window with a rule: its profile, within the debounce and a moment.
mark=$(lines)
chat=$(window_of chatwin)
other=$(window_of otherwin)
start=$(now_ms)
xdotool windowactivate "$chat"
came=$(wait_effect "$mark" 10 02) || verdict "activating the chat window did not switch to Chat"
echo "focus to Chat's first report: $((came - start)) ms" >>"$work/latency"
wait_for 20 link_quiet || verdict "the keyboard link never went quiet after Chat"
mark=$(lines)
start=$(now_ms)
xdotool windowactivate "$other"
came=$(wait_effect "$mark" 10 05) || verdict "the other window did not bring the default back"
echo "focus to Desktop's first report: $((came - start)) ms" >>"$work/latency"
wait_for 20 link_quiet || verdict "the keyboard link never went quiet after Desktop"

# Flicking faster than the debounce: nothing at all is sent. One xdotool does all six changes,
# with window ids found first and no --sync: on a loaded machine a process per change, or each
# lookup and wait, took long enough to outlast the debounce. Then 1.5 s, three debounces, in
# which a wrong switch would have been sent.
mark=$(lines)
xdotool windowactivate "$chat" sleep 0.1 windowactivate "$other" sleep 0.1 \
    windowactivate "$chat" sleep 0.1 windowactivate "$other" sleep 0.1 \
    windowactivate "$chat" sleep 0.1 windowactivate "$other"
sleep 1.5
[ -z "$(effects_after "$mark")" ] || verdict "flicking sent $(effects_after "$mark" | tr '\n' ' ')"

# A process under the rule's name: Game while it runs, the default after it ends.
mark=$(lines)
"$work/$game" 60 &
game_pid=$!
wait_effect "$mark" 15 09 >/dev/null || verdict "the running fpsgame did not switch to Game"
wait_for 20 link_quiet || verdict "the keyboard link never went quiet after Game"
mark=$(lines)
kill "$game_pid"
wait "$game_pid" 2>/dev/null
wait_effect "$mark" 15 05 >/dev/null || verdict "the end of fpsgame did not bring the default back"
wait_for 20 link_quiet || verdict "the keyboard link never went quiet after Desktop"

# The D-Bus feed of a compositor's script switches the same way.
mark=$(lines)
gdbus call --session --dest org.tavrin.GamingKeyboard --object-path /org/tavrin/GamingKeyboard \
    --method org.tavrin.GamingKeyboard1.SetActiveApplication "" "chatwin" >/dev/null ||
    verdict "SetActiveApplication was refused"
wait_effect "$mark" 10 02 >/dev/null || verdict "the D-Bus feed did not switch to Chat"

# A broken rules file: named in the log, kept byte for byte, the rules read before stay.
rules="$work/config/tavrin-gaming-keyboard/profile-rules.json"
printf '{"format": broken' >"$rules"
cp "$rules" "$work/broken-copy"
wait_for 20 grep -q "is not a rules file" "$work/app.log" ||
    verdict "the broken rules file was not reported"
cmp -s "$rules" "$work/broken-copy" || verdict "the broken rules file was changed"
echo ok >"$work/verdict"
INNER

start_xvfb
timeout 150 dbus-run-session -- \
    bash "$work/inner.sh" "$work" "$APP" "$HERE" >"$work/inner.log" 2>&1 || true
[ "$(cat "$work/verdict" 2>/dev/null)" = ok ] ||
    fail "$(cat "$work/verdict" 2>/dev/null || echo 'no verdict')"
no_breaches
cat "$work/latency"
echo "automatic profiles switched by focus, by process and by D-Bus"

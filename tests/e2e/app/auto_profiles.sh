#!/usr/bin/env bash
# Automatic profiles on a real X server with a window manager that keeps _NET_ACTIVE_WINDOW
# (openbox), a private session bus, and tavrin-virtual-keyboard in its own process. Three
# profiles differ only in their lighting: Chat (Wave), Desktop (Ripple, the default) and Game
# (RainDropo, while a process named "fpsgame" runs). Activating a window switches the keyboard to
# its profile, flicking faster than the debounce sends nothing, a process switches while it runs,
# the D-Bus feed switches as X11 does, and a broken rules file is reported and kept.
# Prints the time from the focus change to the first report of the new profile.
# Usage: auto_profiles.sh <tavrin-gaming-keyboard> <tavrinctl> <tavrin-virtual-keyboard>
source "$(dirname "$0")/common.sh"
CTL="$2"
KEYBOARD="$3"
require_tools dbus-run-session gdbus xvfb-run xdotool openbox xmessage
mkdir -p "$work/data/Configure"
start_keyboard "$KEYBOARD"

# The profiles: the factory profile with another effect code (byte 3866 of the file).
"$CTL" --data-dir "$work/data" profile list >/dev/null 2>>"$work/ctl.log" ||
    fail "tavrinctl could not make the first profile"
make_profile() {
    cp "$work/data/Configure/Profile_1.bin" "$work/data/Configure/$1.bin"
    printf "\\x$2" | dd of="$work/data/Configure/$1.bin" bs=1 seek=3866 conv=notrunc status=none
}
make_profile Chat 02
make_profile Desktop 05
make_profile Game 09
"$CTL" auto add Chat --window-class chatwin >/dev/null 2>>"$work/ctl.log" &&
    "$CTL" auto add Game --process fpsgame --while running >/dev/null 2>>"$work/ctl.log" &&
    "$CTL" auto default Desktop >/dev/null 2>>"$work/ctl.log" ||
    fail "tavrinctl could not write the rules"
cp /bin/sleep "$work/fpsgame"

cat >"$work/inner.sh" <<'INNER'
set -u
work="$1"; APP="$2"
verdict() { echo "$*" >"$work/verdict"; exit 1; }
# WriteLighting reports (command 06) after line $1 of the link's log: their effect bytes.
effects_after() {
    tail -n +$(($1 + 1)) "$work/link.txt" |
        awk '$2 == 2 && $3 == "<" && $4 == "10" && $9 == "06" { print $11 }'
}
lines() { wc -l <"$work/link.txt"; }
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

openbox >"$work/openbox.log" 2>&1 &
sleep 1
xmessage -name chatwin "chat window" &
xmessage -name otherwin "other window" &
for i in $(seq 50); do
    [ -n "$(xdotool search --classname otherwin 2>/dev/null)" ] &&
        [ -n "$(xdotool search --classname chatwin 2>/dev/null)" ] && break
    sleep 0.1
done
activate otherwin

QT_QPA_PLATFORM=offscreen "$APP" --virtual-device "$work/kbd.sock" --data-dir "$work/data" \
    2>"$work/app.log" &
for i in $(seq 100); do
    grep -q "the keyboard's settings are read" "$work/app.log" && break
    sleep 0.1
done
grep -q "the keyboard's settings are read" "$work/app.log" || verdict "the start-up read never ended"
# The default profile, for the window that has the focus now.
wait_effect 0 10 05 >/dev/null || verdict "the default profile was never applied"
sleep 1

# A window with a rule: its profile, within the debounce and a moment.
mark=$(lines)
chat=$(window_of chatwin)
other=$(window_of otherwin)
start=$(now_ms)
xdotool windowactivate "$chat"
came=$(wait_effect "$mark" 5 02) || verdict "activating the chat window did not switch to Chat"
echo "focus to Chat's first report: $((came - start)) ms" >>"$work/latency"
sleep 0.5
mark=$(lines)
start=$(now_ms)
xdotool windowactivate "$other"
came=$(wait_effect "$mark" 5 05) || verdict "the other window did not bring the default back"
echo "focus to Desktop's first report: $((came - start)) ms" >>"$work/latency"
sleep 0.5

# Flicking faster than the debounce: nothing at all is sent.
mark=$(lines)
# Window ids found first and no --sync: under ThreadSanitizer each lookup and wait took long
# enough to outlast the debounce.
for i in 1 2 3; do
    xdotool windowactivate "$chat"; sleep 0.1
    xdotool windowactivate "$other"; sleep 0.1
done
sleep 1.5
[ -z "$(effects_after "$mark")" ] || verdict "flicking sent $(effects_after "$mark" | tr '\n' ' ')"

# A process under the rule's name: Game while it runs, the default after it ends.
mark=$(lines)
"$work/fpsgame" 60 &
game=$!
wait_effect "$mark" 6 09 >/dev/null || verdict "the running fpsgame did not switch to Game"
mark=$(lines)
kill "$game"
wait_effect "$mark" 6 05 >/dev/null || verdict "the end of fpsgame did not bring the default back"

# The D-Bus feed of a compositor's script switches the same way.
mark=$(lines)
gdbus call --session --dest org.tavrin.GamingKeyboard --object-path /org/tavrin/GamingKeyboard \
    --method org.tavrin.GamingKeyboard1.SetActiveApplication "" "chatwin" >/dev/null ||
    verdict "SetActiveApplication was refused"
wait_effect "$mark" 5 02 >/dev/null || verdict "the D-Bus feed did not switch to Chat"

# A broken rules file: named in the log, kept byte for byte, the rules read before stay.
rules="$work/config/tavrin-gaming-keyboard/profile-rules.json"
printf '{"format": broken' >"$rules"
cp "$rules" "$work/broken-copy"
sleep 1
grep -q "is not a rules file" "$work/app.log" || verdict "the broken rules file was not reported"
cmp -s "$rules" "$work/broken-copy" || verdict "the broken rules file was changed"
echo ok >"$work/verdict"
INNER

timeout 150 dbus-run-session -- xvfb-run -a -s "-screen 0 1280x800x24" \
    bash "$work/inner.sh" "$work" "$APP" >"$work/inner.log" 2>&1 || true
[ "$(cat "$work/verdict" 2>/dev/null)" = ok ] ||
    fail "$(cat "$work/verdict" 2>/dev/null || echo 'no verdict')"
no_breaches
cat "$work/latency"
echo "automatic profiles switched by focus, by process and by D-Bus"

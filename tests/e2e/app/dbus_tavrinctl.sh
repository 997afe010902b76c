#!/usr/bin/env bash
# The program on a private session bus (dbus-run-session) and a real X server, against
# tavrin-virtual-keyboard in its own process; tavrinctl beside it. tavrinctl goes through the
# program and never opens the keyboard itself; what it changes is in the program's model (read
# back over D-Bus); a Save started from the window makes a concurrent tavrinctl answer "busy".
# Usage: dbus_tavrinctl.sh <tavrin-gaming-keyboard> <tavrinctl> <tavrin-virtual-keyboard>
source "$(dirname "$0")/common.sh"
CTL="$2"
KEYBOARD="$3"
require_tools dbus-run-session gdbus Xvfb xdotool
export QT_QPA_PLATFORM=xcb
mkdir -p "$work/data"

start_keyboard "$KEYBOARD"

for n in 1 2 3 4 5; do
    cat >"$work/macro$n.json" <<JSON
{"format": "tavrin-gaming-keyboard-macro", "version": 1, "name": "Macro $n", "loop_count": $n,
 "events": [{"key": "A", "action": "press"}, {"key": "A", "action": "release", "delay_ms": 30}]}
JSON
done

cat >"$work/inner.sh" <<'INNER'
work="$1"; APP="$2"; CTL="$3"
source "$4/inner_common.sh"
verdict() { echo "$*" >"$work/verdict"; kill "$app" 2>/dev/null; exit 1; }
ctl() { "$CTL" "$@" 2>>"$work/ctl.log"; }
prop() {
    gdbus call --session --dest org.tavrin.GamingKeyboard --object-path /org/tavrin/GamingKeyboard \
        --method org.freedesktop.DBus.Properties.Get org.tavrin.GamingKeyboard1 "$1"
}
# Frames that enumerate (DESCRIBE, 01) or open (OPEN, 02) an interface of the keyboard.
opens() { awk '$3 == "<" && ($4 == "01" || $4 == "02")' "$work/link.txt" | wc -l; }
sets() { awk '$2 == 2 && $3 == "<" && $4 == "10"' "$work/link.txt" | cut -d' ' -f4-; }

"$APP" --virtual-device "$work/kbd.sock" --data-dir "$work/data" 2>"$work/app.log" &
app=$!
wait_for 60 settings_read "$work/app.log" || verdict "the start-up read never ended"
owner=$(gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.NameHasOwner org.tavrin.GamingKeyboard)
[ "$owner" = "(true,)" ] || verdict "the program does not own its bus name: $owner"
gdbus monitor --session --dest org.tavrin.GamingKeyboard >"$work/monitor.txt" 2>&1 &
monitor=$!
opened=$(opens)

# A change through tavrinctl reaches the keyboard and is in the program's model.
ctl game-mode on || verdict "game-mode on ended with $?"
[ "$(sets | tail -1)" = "10 02 09 00 00 07 00 01 00 00 00 00 00" ] ||
    verdict "the keyboard did not get WriteGameMode(1): $(sets | tail -1)"
[ "$(prop GameMode)" = "(<true>,)" ] || verdict "the program's model has GameMode $(prop GameMode)"
ctl status --json >"$work/status.json" || verdict "status ended with $?"
grep -q '"via": "program"' "$work/status.json" || verdict "status did not go through the program"
grep -q '"game_mode": true' "$work/status.json" || verdict "status: $(cat "$work/status.json")"

# Staged only: nothing is sent until a Save.
count=$(sets | wc -l)
ctl --no-save lighting wave || verdict "--no-save lighting wave ended with $?"
[ "$(sets | wc -l)" = "$count" ] || verdict "a staged edit reached the keyboard"
[ "$(prop UnsavedEdits)" = "(<true>,)" ] || verdict "the staged edit is not unsaved"
[ "$(prop Effect)" = "(<'Wave'>,)" ] || verdict "the model's effect is $(prop Effect)"
for n in 1 2 3 4 5; do
    ctl --no-save macro import "$n" "$work/macro$n.json" || verdict "macro import $n ended with $?"
done
[ "$(ctl macro list | wc -l)" = 5 ] || verdict "the program does not list five macros"

# A Save from the window: five macros take seconds, and meanwhile tavrinctl is told "busy".
find_window() { xdotool search --onlyvisible --name '^Tavrin Gaming Keyboard$' 2>/dev/null | head -1; }
has_window() { [ -n "$(find_window)" ]; }
wait_for 30 has_window || verdict "no visible window"
id=$(find_window)
state_is() { [ "$(prop KeyboardState)" = "(<'$1'>,)" ]; }
xdotool mousemove --window "$id" 950 620 click 1
wait_for 20 state_is saving || verdict "the window's Save did not start"
ctl win-lock on
busy=$?
[ "$busy" = 5 ] || verdict "tavrinctl during the window's Save ended with $busy, not 5 (busy)"
wait_for 60 state_is ready || verdict "the window's Save never ended"
[ "$(prop UnsavedEdits)" = "(<false>,)" ] || verdict "the window's Save left unsaved edits"
[ "$(prop WinLock)" = "(<false>,)" ] || verdict "the refused call changed the model"
ctl win-lock on || verdict "win-lock on after the Save ended with $?"

[ "$(opens)" = "$opened" ] || verdict "someone opened the keyboard while the program had it"
# Two Saves finished by now: the window's, and win-lock's after it.
two_saves() { [ "$(grep -c "SaveFinished (true," "$work/monitor.txt")" -ge 2 ]; }
wait_for 20 two_saves || verdict "no SaveFinished signals: $(cat "$work/monitor.txt")"
kill "$monitor" 2>/dev/null
kill "$app"
wait "$app" 2>/dev/null
echo ok >"$work/verdict"
INNER

start_xvfb
timeout 150 dbus-run-session -- \
    bash "$work/inner.sh" "$work" "$APP" "$CTL" "$(cd "$(dirname "$0")" && pwd)" \
    >"$work/inner.log" 2>&1 || true
[ "$(cat "$work/verdict" 2>/dev/null)" = ok ] ||
    fail "$(cat "$work/verdict" 2>/dev/null || echo 'no verdict')"
no_breaches
echo "tavrinctl went through the program, and was told busy during the window's Save"

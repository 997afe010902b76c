#!/usr/bin/env bash
# Launch actions from a shared profile, through the real programs: tavrinctl on the keyboard
# itself (tavrin-virtual-keyboard in its own process, strict), then the program on a private
# session bus with tavrinctl and gdbus. A profile whose F12 starts a program is refused without a
# choice (exit 1, the action listed on stderr, or the D-Bus error LaunchActions) and nothing
# changes; --drop-launch / "drop" takes it with F12 as F12; --allow-launch / "keep" takes the
# action, remembers it, and the same profile is not asked about again.
# Usage: launch_actions.sh <tavrin-gaming-keyboard> <tavrinctl> <tavrin-virtual-keyboard>
source "$(dirname "$0")/common.sh"
CTL="$2"
KEYBOARD="$3"
require_tools dbus-run-session gdbus iconv od cmp
mkdir -p "$work/data/Configure" "$work/bin"
start_keyboard "$KEYBOARD"
printf '#!/bin/sh\n' >"$work/bin/tool"
chmod +x "$work/bin/tool"

# The factory profile, made by tavrinctl; F12's record (position 12) and KeyMap entry (118) in
# the file: kind at 4564 + 12 * 772 + 1, the path (UTF-16LE) at + 260, the entry at 792 + 4 * 118.
"$CTL" --data-dir "$work/data" profile list >/dev/null 2>>"$work/ctl.log" ||
    fail "tavrinctl could not make the first profile"
KIND_AT=13829
PATH_AT=14088
ENTRY_AT=1264
EFFECT_AT=3866
poke() { printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }
# share FILE PATH: a profile whose F12 starts PATH, with lighting effect 9.
share() {
    cp "$work/data/Configure/Profile_1.bin" "$1"
    poke "$1" $KIND_AT '\x05'
    { printf '%s' "$2" | iconv -f UTF-8 -t UTF-16LE; printf '\0\0'; } |
        dd of="$1" bs=1 seek=$PATH_AT conv=notrunc status=none
    poke "$1" $ENTRY_AT '\x7b\x00\x00\x0c'
    poke "$1" $EFFECT_AT '\x09'
}
bytes_at() { od -An -tx1 -j "$2" -N "$3" "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }
share "$work/program.bin" "$work/bin/tool"
share "$work/hand.bin" "$work/bin/gone"
share "$work/bus.bin" "/usr/bin/env"
share "$work/bushand.bin" "relative/tool"

cat >"$work/inner.sh" <<'INNER'
work="$1"; APP="$2"; CTL="$3"
source "$4/inner_common.sh"
source "$work/helpers.sh"
verdict() { echo "$*" >"$work/verdict"; [ -n "${app:-}" ] && kill "$app" 2>/dev/null; exit 1; }
direct() { "$CTL" --virtual-device "$work/kbd.sock" --data-dir "$work/data" "$@"; }
lines() { wc -l <"$work/link.txt"; }
# After line $1 of the link's log: KeyMap writes (SET 08 on the command interface), data reports.
keymap_sets() { tail -n +$(($1 + 1)) "$work/link.txt" | awk '$2 == 2 && $3 == "<" && $4 == "10" && $9 == "08"' | wc -l; }
writes() { tail -n +$(($1 + 1)) "$work/link.txt" | awk '$2 == 2 && $3 == "<" && $4 == "12"' | wc -l; }
expect_refusal() {  # status, stderr file, path listed
    [ "$1" = 1 ] || verdict "a refused profile ended with $1, not 1"
    grep -q -F "F12 (Startup): $3" "$2" || verdict "the refusal did not list F12 and $3: $(cat "$2")"
    grep -q -F -- "--allow-launch" "$2" || verdict "the refusal did not say what to do: $(cat "$2")"
}

# ---- tavrinctl on the keyboard itself ----
direct profile import "$work/program.bin" In >/dev/null 2>"$work/err.txt"
expect_refusal $? "$work/err.txt" "$work/bin/tool"
[ ! -e "$work/data/Configure/In.bin" ] || verdict "a refused import wrote the profile"

out=$(direct profile import "$work/program.bin" In --drop-launch 2>>"$work/ctl.log") ||
    verdict "import --drop-launch failed"
[ "$out" = In ] || verdict "import --drop-launch printed $out"
[ "$(bytes_at "$work/data/Configure/In.bin" $KIND_AT 1)" = 00 ] || verdict "--drop-launch kept F12's action"
[ "$(bytes_at "$work/data/Configure/In.bin" $ENTRY_AT 4)" = "45 00 00 00" ] ||
    verdict "--drop-launch left F12's entry $(bytes_at "$work/data/Configure/In.bin" $ENTRY_AT 4)"
[ "$(bytes_at "$work/data/Configure/In.bin" $EFFECT_AT 1)" = 09 ] || verdict "--drop-launch lost the rest"

direct profile import "$work/program.bin" In --allow-launch >/dev/null 2>>"$work/ctl.log" ||
    verdict "import --allow-launch failed"
cmp -s "$work/program.bin" "$work/data/Configure/In.bin" || verdict "--allow-launch did not keep the file"
direct profile import "$work/program.bin" Again >/dev/null 2>>"$work/ctl.log" ||
    verdict "an accepted profile was refused again"

# Applied from the folder: a profile put there by hand.
cp "$work/hand.bin" "$work/data/Configure/Hand.bin"
mark=$(lines)
direct profile apply Hand 2>"$work/err.txt"
expect_refusal $? "$work/err.txt" "$work/bin/gone"
grep -q -F "(not found)" "$work/err.txt" || verdict "the gone path was not marked: $(cat "$work/err.txt")"
[ "$(writes "$mark")" = 0 ] || verdict "a refused apply wrote to the keyboard"
mark=$(lines)
direct profile apply Hand --drop-launch 2>>"$work/ctl.log" || verdict "apply --drop-launch failed"
[ "$(bytes_at "$work/data/keymap.bin" $KIND_AT 1)" = 00 ] || verdict "keymap.bin kept the dropped action"
[ "$(bytes_at "$work/data/keymap.bin" $ENTRY_AT 4)" = "45 00 00 00" ] || verdict "keymap.bin: F12 is not F12"
[ "$(keymap_sets "$mark")" = 0 ] || verdict "F12 as F12 again needed no KeyMap write"
mark=$(lines)
direct profile apply Hand --allow-launch 2>>"$work/ctl.log" || verdict "apply --allow-launch failed"
[ "$(bytes_at "$work/data/keymap.bin" $KIND_AT 1)" = 05 ] || verdict "keymap.bin lacks the kept action"
[ "$(bytes_at "$work/data/keymap.bin" $ENTRY_AT 4)" = "7b 00 00 0c" ] || verdict "keymap.bin: F12 does not report"
[ "$(keymap_sets "$mark")" = 1 ] && [ "$(writes "$mark")" = 8 ] ||
    verdict "the kept F12 did not reach the keyboard: $(keymap_sets "$mark") KeyMap writes, $(writes "$mark") reports"

# ---- the program, on the session bus ----
"$APP" --virtual-device "$work/kbd.sock" --data-dir "$work/data" 2>"$work/app.log" &
app=$!
wait_for 60 settings_read "$work/app.log" || verdict "the program's start-up read never ended"
call() {
    gdbus call --session --dest org.tavrin.GamingKeyboard --object-path /org/tavrin/GamingKeyboard \
        --method "org.tavrin.GamingKeyboard1.$1" "${@:2}" 2>&1
}
reply=$(call ImportProfile "$work/bus.bin" Bus)
grep -q "org.tavrin.GamingKeyboard1.Error.LaunchActions" <<<"$reply" || verdict "ImportProfile took it: $reply"
grep -q -F "F12 (Startup): /usr/bin/env" <<<"$reply" || verdict "the D-Bus error did not list it: $reply"
[ ! -e "$work/data/Configure/Bus.bin" ] || verdict "the refused D-Bus import wrote the profile"
reply=$(call ImportProfileWithLaunch "$work/bus.bin" Bus drop)
[ "$reply" = "('Bus',)" ] || verdict "ImportProfileWithLaunch drop: $reply"
[ "$(bytes_at "$work/data/Configure/Bus.bin" $KIND_AT 1)" = 00 ] || verdict "the D-Bus drop kept the action"
reply=$(call ImportProfileWithLaunch "$work/bus.bin" Bus maybe)
grep -q "Error.InvalidValue" <<<"$reply" || verdict "an unknown choice was taken: $reply"

cp "$work/bushand.bin" "$work/data/Configure/BusHand.bin"
mark=$(lines)
reply=$(call ApplyProfile BusHand true)
grep -q "Error.LaunchActions" <<<"$reply" || verdict "ApplyProfile took it: $reply"
grep -q -F "(not a full path" <<<"$reply" || verdict "the relative path was not marked: $reply"
"$CTL" profile apply BusHand 2>"$work/err.txt"
expect_refusal $? "$work/err.txt" "relative/tool"
[ "$(writes "$mark")" = 0 ] || verdict "a refused apply reached the keyboard"
"$CTL" profile apply BusHand --allow-launch 2>>"$work/ctl.log" || verdict "apply --allow-launch through the program failed"
[ "$(bytes_at "$work/data/keymap.bin" $KIND_AT 1)" = 05 ] || verdict "the program's keymap.bin lacks the kept action"
reply=$(call ApplyProfile BusHand true)
[ "$reply" = "()" ] || verdict "the kept profile was refused again: $reply"
"$CTL" profile import "$work/bus.bin" Bus --allow-launch >/dev/null 2>>"$work/ctl.log" ||
    verdict "import --allow-launch through the program failed"
cmp -s "$work/bus.bin" "$work/data/Configure/Bus.bin" || verdict "the program did not keep the imported file"

kill "$app"
wait "$app" 2>/dev/null
app=
echo ok >"$work/verdict"
INNER

declare -f bytes_at >"$work/helpers.sh"
echo "KIND_AT=$KIND_AT PATH_AT=$PATH_AT ENTRY_AT=$ENTRY_AT EFFECT_AT=$EFFECT_AT" >>"$work/helpers.sh"
QT_QPA_PLATFORM=offscreen timeout 150 dbus-run-session -- \
    bash "$work/inner.sh" "$work" "$APP" "$CTL" "$(cd "$(dirname "$0")" && pwd)" \
    >"$work/inner.log" 2>&1 || true
[ "$(cat "$work/verdict" 2>/dev/null)" = ok ] ||
    fail "$(cat "$work/verdict" 2>/dev/null || echo 'no verdict')"
no_breaches
echo "shared profiles' launch actions were refused, dropped and kept as chosen, directly and over D-Bus"

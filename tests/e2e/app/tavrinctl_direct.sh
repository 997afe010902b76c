#!/usr/bin/env bash
# tavrinctl without the program, on a real session bus where nobody owns the program's name:
# it opens the keyboard (tavrin-virtual-keyboard in its own process, in strict mode), reads it,
# does the one thing and ends. After the start-up read the keyboard receives exactly the command's
# reports and nothing else; bad input changes nothing and ends with its exit code.
# Usage: tavrinctl_direct.sh <tavrinctl> <tavrin-virtual-keyboard>
source "$(dirname "$0")/common.sh"
CTL="$1"
KEYBOARD="$2"
require_tools dbus-run-session
mkdir -p "$work/data"

start_keyboard "$KEYBOARD"

cat >"$work/macro.json" <<'JSON'
{"format": "tavrin-gaming-keyboard-macro", "version": 1, "name": "Burst", "loop_count": 2,
 "events": [{"key": "A", "action": "press"}, {"key": "A", "action": "release", "delay_ms": 250}]}
JSON

cat >"$work/inner.sh" <<'INNER'
work="$1"
CTL="$2"
source "$3/inner_common.sh"
ctl() { "$CTL" --virtual-device "$work/kbd.sock" --data-dir "$work/data" "$@"; }
# The requests on the command interface (2), one per line: op and payload in hex.
requests() { awk '$2 == 2 && $3 == "<" && ($4 == "10" || $4 == "11" || $4 == "12")' "$work/link.txt" | cut -d' ' -f4-; }
lines() { requests | wc -l; }

# The start-up read alone, to learn its length.
before=$(lines)
ctl status >"$work/status.txt" 2>>"$work/ctl.log" || { echo "status failed" >"$work/verdict"; exit 1; }
read_length=$(( $(lines) - before ))
grep -q "^Keyboard: *ready" "$work/status.txt" || { echo "status did not show a ready keyboard" >"$work/verdict"; exit 1; }
grep -q "the keyboard itself" "$work/status.txt" || { echo "status did not run directly" >"$work/verdict"; exit 1; }

# command | exit code | the requests after the start-up read: "SET <hex>" for a set-feature
# report, "GET" for a get-feature, "WRITE n" for n data reports. Commands on files alone (macro
# list, the profile folder) open nothing, so they show no read either.
while IFS='|' read -r args code expected; do
    [ -n "$args" ] || continue
    start=$(lines)
    # shellcheck disable=SC2086
    ctl $args >"$work/out.txt" 2>>"$work/ctl.log"
    status=$?
    if [ "$status" != "$code" ]; then
        echo "'$args' ended with $status, expected $code" >"$work/verdict"; exit 1
    fi
    got=$(requests | tail -n +$((start + 1)))
    if [ "$code" = 0 ]; then
        got=$(printf '%s\n' "$got" | tail -n +$((read_length + 1)))
    fi
    summary=$(printf '%s\n' "$got" | awk '
        $1 == "10" { if (w) { printf "WRITE %d;", w; w = 0 } ; s = "SET"; for (i = 5; i <= NF; i++) s = s " " $i; printf "%s;", s }
        $1 == "11" { if (w) { printf "WRITE %d;", w; w = 0 } ; printf "GET;" }
        $1 == "12" { w++ }
        END { if (w) printf "WRITE %d;", w }')
    if [ "$code" != 0 ]; then
        # Refused: the keyboard may have been read, but nothing was written to it.
        if printf '%s\n' "$summary" | tr ';' '\n' | grep -q -e '^WRITE' -e '^SET 00 0[134678ABCD]'; then
            echo "'$args' was refused but wrote: $summary" >"$work/verdict"; exit 1
        fi
        continue
    fi
    if [ "$summary" != "$expected" ]; then
        echo "'$args': expected [$expected], got [$summary]" >"$work/verdict"; exit 1
    fi
done <<'CASES'
game-mode on|0|SET 00 07 00 01 00 00 00 00 00;
win-lock on|0|SET 00 03 01 00 00 00 00 00 00;
response-time 8|0|SET 00 04 00 04 00 00 00 00 00;
report-rate 1000Hz|0|SET 00 01 00 03 00 00 00 00 00;
report-rate 250|0|SET 00 01 00 01 00 00 00 00 00;
lighting wave --speed 3 --direction up|0|SET 00 06 00 02 01 FF 08 03 00;
lighting Static|0|SET 00 06 00 00 01 FF 01 03 00;
lighting 1 --colour 5 --brightness 0|0|SET 00 06 00 01 01 00 05 03 00;
key Caps --key A|0|SET 00 08 00 00 08 00 00 00 00;WRITE 8;
key Caps --default|0|SET 00 08 00 00 08 00 00 00 00;WRITE 8;
key F1 --disable|0|SET 00 09 00 00 01 00 00 00 00;WRITE 1;
key F1 --default|0|SET 00 09 00 00 01 00 00 00 00;WRITE 1;
diy 2 --on Esc W|0|SET 00 0B 00 01 02 00 00 00 00;WRITE 2;
diy 2 --clear|0|SET 00 0B 00 01 02 00 00 00 00;WRITE 2;
macro import 1 MACRO|0|SET 00 0A 00 00 08 00 00 00 00;WRITE 8;
game-mode on|0|
key Caps --combo LCtrl+C|0|SET 00 08 00 00 08 00 00 00 00;WRITE 8;
key F2 --macro 1|0|SET 00 08 00 00 08 00 00 00 00;WRITE 8;
key F3 --function Mute|0|SET 00 08 00 00 08 00 00 00 00;WRITE 8;
key F4 --program /bin/true|0|SET 00 08 00 00 08 00 00 00 00;WRITE 8;
diy 3 --all|0|SET 00 0B 00 02 02 00 00 00 00;WRITE 2;
diy 3 --off A|0|SET 00 0B 00 02 02 00 00 00 00;WRITE 2;
macro list|0|
macro show 1|0|
macro export 1 EXPORTED|0|
macro delete 1|0|
profile list|0|
profile new|0|
profile copy Profile_1|0|
profile rename Profile_2 FPS|0|
profile export FPS EXPORTED|0|
profile import EXPORTED Imported|0|
profile delete Imported|0|
profile apply FPS|0|SET 00 07 00 00 00 00 00 00 00;SET 00 08 00 00 08 00 00 00 00;WRITE 8;SET 00 01 00 02 00 00 00 00 00;SET 00 04 00 0A 00 00 00 00 00;SET 00 0B 00 00 02 00 00 00 00;WRITE 2;SET 00 0B 00 02 02 00 00 00 00;WRITE 2;SET 00 0A 00 00 08 00 00 00 00;WRITE 8;SET 00 06 00 01 04 32 00 00 00;SET 00 0D 00 00 00 00 00 00 00;SET 00 03 00 00 00 00 00 00 00;
save|0|
cancel|0|
reset --factory|0|SET 00 0C FF 00 00 00 00 00 00;SET 00 07 00 01 00 00 00 00 00;SET 00 07 00 01 00 00 00 00 00;SET 00 86 00 00 00 00 00 00 00;GET;SET 00 87 00 00 00 00 00 00 00;GET;SET 00 80 00 00 00 00 00 00 00;GET;SET 00 8D 00 00 00 00 00 00 00;GET;SET 00 88 00 00 00 00 00 00 00;GET;SET 00 89 00 00 00 00 00 00 00;GET;SET 00 8A 00 00 00 00 00 00 00;GET;SET 00 8A 00 01 00 00 00 00 00;GET;SET 00 8A 00 02 00 00 00 00 00;GET;SET 00 8A 00 03 00 00 00 00 00;GET;SET 00 8A 00 04 00 00 00 00 00;GET;SET 00 8B 00 00 00 00 00 00 00;GET;SET 00 8B 00 01 00 00 00 00 00;GET;SET 00 8B 00 02 00 00 00 00 00;GET;SET 00 8B 00 03 00 00 00 00 00;GET;SET 00 8B 00 04 00 00 00 00 00;GET;SET 00 89 00 00 00 00 00 00 00;GET;
lighting wavy|2|
lighting wave --speed 7|2|
response-time 21|2|
report-rate 300|2|
key Hyper --key A|2|
key A --function Levitate|2|
key A --combo A+B+C+D|2|
diy 9 --all|2|
profile apply ../Profile_1|2|
profile apply a/b|2|
macro import 1 /nonexistent.json|1|
macro import 1 BROKEN|2|
macro import 1 HUGE|2|
macro import 1 LATE|2|
profile import SHORT|2|
game-mode|2|
frobnicate|2|
--no-save game-mode off|2|
CASES

# On a Chinese desktop the messages are Chinese: tavrinctl installs the program's translation,
# for its own usage errors and for the keyboard service's answers alike.
while IFS='|' read -r args expected; do
    # shellcheck disable=SC2086
    LC_ALL=zh_CN.UTF-8 ctl $args 2>"$work/zh.txt"
    grep -q -F "$expected" "$work/zh.txt" ||
        { echo "'$args' on a Chinese desktop said: $(cat "$work/zh.txt")" >"$work/verdict"; exit 1; }
done <<'CASES'
game-mode maybe|请输入 on 或 off，而不是“maybe”。
response-time 21|响应时间为 2 到 20 毫秒，步长为 2；21 不在其中。
CASES

# Two at once without the program: while the first writes, the second is told "busy".
ctl macro import 1 "$work/macro2.json" 2>>"$work/ctl.log" &
first=$!
locked() { [ -e "$work/data/.tavrinctl.lock" ] || ! kill -0 "$first" 2>/dev/null; }
wait_for 30 locked
[ -e "$work/data/.tavrinctl.lock" ] ||
    { echo "the first tavrinctl never took the folder's lock" >"$work/verdict"; exit 1; }
ctl game-mode off
second=$?
wait "$first"
first=$?
[ "$first" = 0 ] || { echo "the first tavrinctl ended with $first" >"$work/verdict"; exit 1; }
[ "$second" = 5 ] || { echo "the second tavrinctl ended with $second, not 5 (busy)" >"$work/verdict"; exit 1; }
echo ok >"$work/verdict"
INNER

sed -e 's/"loop_count": 2/"loop_count": 7/' "$work/macro.json" >"$work/macro2.json"
# Files for the bad imports.
printf '{"format": ' >"$work/broken.json"
{
    printf '{"format":"tavrin-gaming-keyboard-macro","version":1,"name":"x","events":['
    for i in $(seq 1 128); do
        [ "$i" = 1 ] || printf ','
        printf '{"key":"A","action":"press"}'
    done
    printf ']}'
} >"$work/huge.json"
printf '{"format":"tavrin-gaming-keyboard-macro","version":1,"name":"x","events":[{"key":"A","action":"press","delay_ms":60001}]}' >"$work/late.json"
head -c 1000 /dev/zero >"$work/short.bin"
sed -i -e "s|MACRO|$work/macro.json|" -e "s|BROKEN|$work/broken.json|" -e "s|HUGE|$work/huge.json|" \
    -e "s|LATE|$work/late.json|" -e "s|SHORT|$work/short.bin|" -e "s|EXPORTED|$work/exported|" "$work/inner.sh"

timeout 120 dbus-run-session -- bash "$work/inner.sh" "$work" "$CTL" "$(cd "$(dirname "$0")" && pwd)" \
    >"$work/inner.log" 2>&1 || true
[ "$(cat "$work/verdict" 2>/dev/null)" = ok ] ||
    fail "$(cat "$work/verdict" 2>/dev/null || echo 'no verdict')"
no_breaches
echo "tavrinctl sent exactly each command's reports"

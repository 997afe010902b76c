#!/usr/bin/env bash
# A second start asks the running program to show its window and ends without a window of its own.
source "$(dirname "$0")/common.sh"
export QT_QPA_PLATFORM=offscreen

"$APP" --simulate --data-dir "$work/first" 2>"$work/first.log" &
pids+=($!)
wait_for 20 sh -c "ls '$XDG_RUNTIME_DIR' | grep -q tavrin-gaming-keyboard" ||
    fail "the first instance never listened"

start=$SECONDS
timeout 20 "$APP" --simulate --data-dir "$work/second" 2>"$work/second.log" ||
    fail "the second start did not end by itself"
[ ! -e "$work/second/keymap.bin" ] || fail "the second start ran its own start-up"
wait_for 30 grep -q "showing the window" "$work/first.log" ||
    fail "the first instance was not asked to show its window"
kill -0 "${pids[0]}" || fail "the first instance ended"
echo "second start ended after $((SECONDS - start)) s and raised the first"

#!/usr/bin/env bash
# The program and its skinned dialogs on a real X server at QT_SCALE_FACTOR=2.
# - The main window's screenshot at scale 2 is the window composed again at twice the pixels, not
#   the scale-1 screenshot enlarged (density_compare).
# - The HighDensity widget tests pass on the X server too (but for the move between two screens,
#   which has one screen only), and leave screenshots of the main
#   window, the key assignment dialog, the macro manager and the profile manager.
# TAVRIN_DENSITY_SHOTS=<folder> keeps the screenshots there, for a person to look at.
# Arguments: the program, density_compare, ui_tests.
source "$(dirname "$0")/../../e2e/app/common.sh"
COMPARE="$2"
UI_TESTS="$3"
require_tools Xvfb dbus-run-session
shots="${TAVRIN_DENSITY_SHOTS:-$work/shots}"
mkdir -p "$shots"
# Room for the main window at twice its size.
Xvfb -displayfd 3 -screen 0 2560x1600x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$work/display")" QT_QPA_PLATFORM=xcb

for scale in 1 2; do
    rm -f "$shots/main-scale$scale.png"
    QT_SCALE_FACTOR=$scale TAVRIN_SCREENSHOT="$shots/main-scale$scale.png" \
        "$APP" --simulate --data-dir "$work/data$scale" 2>"$work/app$scale.log" &
    app=$!
    pids+=($app)
    wait_for 30 test -s "$shots/main-scale$scale.png" || fail "no screenshot at scale $scale"
    kill "$app"
    wait "$app" 2>/dev/null || true
done
"$COMPARE" "$shots/main-scale1.png" "$shots/main-scale2.png" >"$work/compare.txt" 2>&1 ||
    fail "$(cat "$work/compare.txt")"
cat "$work/compare.txt"

QT_SCALE_FACTOR=2 TAVRIN_SCREENSHOT_DIR="$shots" dbus-run-session -- \
    "$UI_TESTS" --gtest_filter='HighDensity.*-HighDensity.WindowsFollowTheirScreen' >"$work/density-tests.log" 2>&1 ||
    fail "the HighDensity tests failed on the X server: $(tail -30 "$work/density-tests.log")"
for name in density2-main density2-keymap density2-macro density2-profile; do
    read -r w h < <(png_size "$shots/$name.png") || fail "no screenshot $name"
    echo "$name: ${w}x${h}"
done

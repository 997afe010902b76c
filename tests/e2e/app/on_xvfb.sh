#!/usr/bin/env bash
# A test program on a private X server without a window manager, with a private session bus. The
# server does not reset when its last client leaves: each test connects afresh.
# Argument: the test program.
source "$(dirname "$0")/common.sh"
require_tools Xvfb xdotool dbus-run-session
# The X server picks a free display and names it on descriptor 3.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for 30 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$work/display")" QT_QPA_PLATFORM=xcb
# A private session bus, as a desktop has: without one, libdbus leaks its failed connection's
# buffer when Qt asks for the desktop's settings, and LeakSanitizer reports it.
dbus-run-session -- "$APP" 2>"$work/test.log" || fail "$(basename "$APP") failed: $(tail -40 "$work/test.log")"

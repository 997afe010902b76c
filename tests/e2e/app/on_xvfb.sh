#!/usr/bin/env bash
# A test program on a private X server without a window manager, with a private session bus. The
# server does not reset when its last client leaves: each test connects afresh.
# Argument: the test program.
source "$(dirname "$0")/common.sh"
require_tools Xvfb xdotool dbus-run-session
start_xvfb
export QT_QPA_PLATFORM=xcb
# A private session bus, as a desktop has: without one, libdbus leaks its failed connection's
# buffer when Qt asks for the desktop's settings, and LeakSanitizer reports it.
dbus-run-session -- "$APP" 2>"$work/test.log" || fail "$(basename "$APP") failed: $(tail -40 "$work/test.log")"

# Shared by the scripts that the end-to-end tests run inside a private session bus
# (dbus-run-session) or beside a private X server: whatever such a script starts in the
# background ends with it, and its waits are bounded.
set -u

# Stops and waits for every background job of the script, however it ends.
stop_jobs() {
    local left
    left=$(jobs -p)
    [ -z "$left" ] && return 0
    # shellcheck disable=SC2086
    kill $left 2>/dev/null || true
    wait 2>/dev/null || true
}
trap stop_jobs EXIT

# Waits up to $1 seconds for the command in the remaining arguments to succeed.
wait_for() {
    local limit=$1
    shift
    local end=$((SECONDS + limit))
    until "$@"; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.1
    done
}

# The program's log line that says the keyboard's settings are read, in the log $1.
settings_read() { grep -q "the keyboard's settings are read" "$1"; }
# How many Saves the program reports ended well in the log $1.
saves_in() { grep -c "tavrin-gaming-keyboard: saved" "$1" || true; }

# Shared by the application's end-to-end scripts: a private environment and small helpers.
set -euo pipefail
APP="$1"
work=$(mktemp -d)
pids=()
# The programs' standard error goes to logs in $work, not to the test's output: a sanitizer's
# report there fails the test whatever the checks found.
cleanup() {
    local status=$? reports
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    reports=$(grep -l -E 'WARNING: ThreadSanitizer|ERROR: (Address|Leak)Sanitizer|runtime error: ' \
        "$work"/*.log 2>/dev/null || true)
    for f in $reports; do
        echo "FAIL: sanitizer report in $f" >&2
        cat "$f" >&2
        status=1
    done
    [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
mkdir -p "$work/run" "$work/config"
chmod 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config"

fail() {
    echo "FAIL: $*" >&2
    for f in "$work"/*.log; do [ -f "$f" ] && { echo "--- $f" >&2; tail -20 "$f" >&2; }; done
    exit 1
}

# The tools a script needs. scripts/bootstrap installs every one of them and scripts/test runs it
# first, so a missing tool is a broken set-up and fails the test: a skip would hide the checks.
require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || fail "$tool missing (scripts/bootstrap installs it)"
    done
}

# Waits up to $1 seconds for the command in the remaining arguments to succeed.
wait_for() {
    local limit=$1
    shift
    local end=$((SECONDS + limit))
    until "$@"; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.2
    done
}

# A private X server ($1 names its files, default xvfb) on a display that it picks itself and
# names on a descriptor once it listens: two servers starting at once cannot take the same
# display, as they can with xvfb-run -a. It does not reset when its last client leaves. DISPLAY
# names it; the server is stopped with the script.
start_xvfb() {
    local name=${1:-xvfb}
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/$name.display" \
        2>"$work/$name.log" &
    pids+=($!)
    wait_for 30 test -s "$work/$name.display" || fail "Xvfb did not start"
    export DISPLAY=":$(head -1 "$work/$name.display")"
}

# Width and height of a PNG file, from its header.
png_size() {
    local hex
    hex=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
    echo "$((16#${hex:0:8})) $((16#${hex:8:8}))"
}

# tavrin-virtual-keyboard ($1) in strict mode on $work/kbd.sock, one line per frame in
# $work/link.txt, its complaints in $work/keyboard.log; its standard input stays open while it runs.
start_keyboard() {
    mkfifo "$work/kbd-in"
    sleep 600 >"$work/kbd-in" &
    pids+=($!)
    "$1" --socket "$work/kbd.sock" --log "$work/link.txt" --strict <"$work/kbd-in" \
        2>"$work/keyboard.log" &
    pids+=($!)
    wait_for 30 test -S "$work/kbd.sock" || fail "the virtual keyboard never listened"
}

# Fails when the keyboard saw a breach of the protocol's manners.
no_breaches() {
    if [ -s "$work/keyboard.log" ]; then
        fail "the keyboard saw a breach of the protocol: $(cat "$work/keyboard.log")"
    fi
}

# Shared by the application's end-to-end scripts: a private environment and small helpers.
set -euo pipefail
APP="$1"
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"
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

# Width and height of a PNG file, from its header.
png_size() {
    local hex
    hex=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
    echo "$((16#${hex:0:8})) $((16#${hex:8:8}))"
}

#!/usr/bin/env bash
# tavrinctl from process start to exit, over several runs, against tavrin-virtual-keyboard in its
# own process: `status --json` without the program (tavrinctl opens and reads the keyboard
# itself) and with it (one D-Bus round trip), and `lighting` without the program (read, then one
# Save of the lighting). Prints min, median and max in milliseconds.
# The protocol's waits in the start-up read and the lighting read add up to 137 ms; a lighting
# change sent adds the 10 ms after WriteLighting.
# Usage: bench/tavrinctl_timing.sh [build dir, default build/release] [runs, default 20]
set -euo pipefail
build=${1:-build/release}
runs=${2:-20}
ctl="$build/src/cli/tavrinctl"
app="$build/src/app/tavrin-gaming-keyboard"
keyboard="$build/src/sim/tool/tavrin-virtual-keyboard"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen
mkdir -p "$work/data"
mkfifo "$work/in"
sleep 3600 >"$work/in" &
"$keyboard" --socket "$work/kbd.sock" <"$work/in" >/dev/null 2>&1 &
for _ in $(seq 50); do [ -S "$work/kbd.sock" ] && break; sleep 0.1; done

# Times `$@` $runs times; prints "label min median max".
measure() {
    local label=$1 times=() start end
    shift
    for _ in $(seq "$runs"); do
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk -v label="$label" '
        { t[NR] = $1 }
        END { printf "%-44s min %7.1f ms  median %7.1f ms  max %7.1f ms\n", label,
              t[1] / 1000, t[int((NR + 1) / 2)] / 1000, t[NR] / 1000 }'
}
# Everything runs on a session bus of its own, as on a desktop: without the program tavrinctl
# asks the bus, finds nobody, and opens the keyboard itself.
cat >"$work/inner.sh" <<INNER
set -euo pipefail
$(declare -f measure)
runs=$runs
direct=("$ctl" --virtual-device "$work/kbd.sock" --data-dir "$work/data")
# Static and Wave in turn, so that every run sends a change.
lighting() {
    if [ -e "$work/wave" ]; then rm "$work/wave"; "\${direct[@]}" lighting static
    else touch "$work/wave"; "\${direct[@]}" lighting wave; fi
}
measure "status --json, without the program" "\${direct[@]}" status --json
measure "lighting (a change, sent), without it" lighting
measure "--version (the process alone)" "$ctl" --version
"$app" --virtual-device "$work/kbd.sock" --data-dir "$work/data" 2>"$work/app.log" &
for _ in \$(seq 100); do grep -q "settings are read" "$work/app.log" && break; sleep 0.1; done
measure "status --json, with the program running" "$ctl" status --json
kill %1
INNER
dbus-run-session -- bash "$work/inner.sh" 2> >(grep -v "fd limit" >&2)

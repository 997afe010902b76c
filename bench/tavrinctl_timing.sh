#!/usr/bin/env bash
# tavrinctl from process start to exit, over several runs, against tavrin-virtual-keyboard in its
# own process: `status --json` without the program (tavrinctl opens and reads the keyboard
# itself) and with it (one D-Bus round trip), and `lighting` without the program (read, then one
# Save of the lighting). Prints min, median and max in milliseconds.
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
direct=("$ctl" --virtual-device "$work/kbd.sock" --data-dir "$work/data")
lighting() { "${direct[@]}" lighting "$(( RANDOM % 2 ? 0 : 2 ))"; }

export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus"
measure "status --json, without the program" "${direct[@]}" status --json
measure "lighting (a change, sent), without it" lighting

cat >"$work/with.sh" <<INNER
set -euo pipefail
"$app" --virtual-device "$work/kbd.sock" --data-dir "$work/data" 2>"$work/app.log" &
for _ in \$(seq 100); do grep -q "settings are read" "$work/app.log" && break; sleep 0.1; done
$(declare -f measure)
runs=$runs
measure "status --json, with the program running" "$ctl" status --json
kill %1
INNER
dbus-run-session -- bash "$work/with.sh"

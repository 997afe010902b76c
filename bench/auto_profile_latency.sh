#!/usr/bin/env bash
# Automatic profiles: from the focus change (the xdotool call) to the first report of the new
# profile on tavrin-virtual-keyboard, for profiles that differ only in their lighting. Runs the
# end-to-end scenario of tests/e2e/app/auto_profiles.sh (Xvfb, openbox, a private session bus)
# with the given build's programs, $runs times, and prints each run's two switches.
# Usage: bench/auto_profile_latency.sh [build dir, default build/release] [runs, default 3]
set -euo pipefail
build=${1:-build/release}
runs=${2:-3}
here=$(dirname "$0")
for _ in $(seq "$runs"); do
    bash "$here/../tests/e2e/app/auto_profiles.sh" "$build/src/app/tavrin-gaming-keyboard" \
        "$build/src/cli/tavrinctl" "$build/src/sim/tool/tavrin-virtual-keyboard" |
        grep "first report"
done

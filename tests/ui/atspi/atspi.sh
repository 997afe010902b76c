#!/usr/bin/env bash
# A real AT-SPI client against the real program: at-spi2-core's bus and registry on a private
# session bus, the program on Xvfb (with openbox) against tavrin-virtual-keyboard in its own
# process, and atspi_client.py on Debian's Python, in English and in Chinese. Every process started
# here is stopped and waited for.
# Usage: atspi.sh <tavrin-gaming-keyboard> <tavrin-virtual-keyboard> <atspi_client.py>
set -euo pipefail
APP="$1" KEYBOARD="$2" CLIENT="$3"
work=$(mktemp -d)
pids=()
cleanup() {
    local status=$? reports pid
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
fail() {
    echo "FAIL: $*" >&2
    for f in "$work"/*.log; do [ -f "$f" ] && { echo "--- $f" >&2; tail -30 "$f" >&2; }; done
    exit 1
}
for tool in Xvfb openbox dbus-run-session gdbus /usr/libexec/at-spi-bus-launcher /usr/bin/python3; do
    command -v "$tool" >/dev/null || fail "$tool missing (scripts/bootstrap installs it)"
done
/usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' ||
    fail "python3-gi or gir1.2-atspi-2.0 missing (scripts/bootstrap installs them)"
mkdir -m 700 "$work/run"
mkdir -p "$work/config"
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config"

# The X server on a free display, which it names once it listens.
mkfifo "$work/display"
exec {displayfd}<>"$work/display"
Xvfb -displayfd "$displayfd" -screen 0 1280x800x24 -nolisten tcp 2>"$work/xvfb.err" &
pids+=($!)
read -r -t 20 -u "$displayfd" display || fail "Xvfb never listened: $(cat "$work/xvfb.err")"
export DISPLAY=":$display"
openbox --sm-disable >/dev/null 2>"$work/openbox.err" &
pids+=($!)

mkfifo "$work/kbd-in"
sleep 600 >"$work/kbd-in" &
pids+=($!)
"$KEYBOARD" --socket "$work/kbd.sock" --log "$work/link.txt" --strict <"$work/kbd-in" \
    2>"$work/keyboard.log" &
pids+=($!)
for _ in $(seq 1 100); do [ -S "$work/kbd.sock" ] && break; sleep 0.1; done
[ -S "$work/kbd.sock" ] || fail "the virtual keyboard never listened"

# One session: its bus, the accessibility bus and registry, the program, the client.
cat >"$work/session.sh" <<'SESSION'
set -u
work="$1" APP="$2" CLIENT="$3" language="$4"
children=()
stop() {
    local pid
    for pid in "${children[@]}"; do
        # The launcher's own bus and the registry go with it.
        for child in $(pgrep -P "$pid" 2>/dev/null); do kill "$child" 2>/dev/null; done
        kill "$pid" 2>/dev/null
    done
    for pid in "${children[@]}"; do wait "$pid" 2>/dev/null; done
}
trap stop EXIT
/usr/libexec/at-spi-bus-launcher --launch-immediately 2>"$work/bus-$language.err" &
children+=($!)
for _ in $(seq 1 100); do
    gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
        --method org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
    sleep 0.1
done
printf '[General]\nLanguage=%s\n' "$language" >"$XDG_CONFIG_HOME/Mervic.conf"
mkdir -p "$work/data-$language"
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    "$APP" --virtual-device "$work/kbd.sock" --data-dir "$work/data-$language" \
    2>"$work/app-$language.log" &
children+=($!)
for _ in $(seq 1 150); do
    grep -q "the keyboard's settings are read" "$work/app-$language.log" && break
    sleep 0.1
done
grep -q "the keyboard's settings are read" "$work/app-$language.log" || {
    echo "FAIL: the start-up read never ended"; exit 1; }
timeout 120 /usr/bin/python3 "$CLIENT" "$work" "$language"
SESSION

for language in english chinese; do
    timeout 150 dbus-run-session -- bash "$work/session.sh" "$work" "$APP" "$CLIENT" "$language" \
        >"$work/client-$language.out" 2>"$work/session-$language.err" ||
        fail "$language: $(cat "$work/client-$language.out" "$work/session-$language.err")"
    cat "$work/client-$language.out"
    grep -q '^ok ' "$work/client-$language.out" || fail "$language: no check ran"
done
if [ -s "$work/keyboard.log" ]; then
    fail "the keyboard saw a breach of the protocol: $(cat "$work/keyboard.log")"
fi
echo "AT-SPI: every window named and operable, in English and Chinese"

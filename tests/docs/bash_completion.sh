#!/usr/bin/env bash
# The bash completion of tavrinctl: sources the completion file, sets COMP_WORDS and COMP_CWORD as
# bash does for each line of the table, calls the completion function and compares COMPREPLY.
# Profile names come from a stub tavrinctl first on PATH. The table runs once with the completion
# alone and once more over bash-completion's library (which brings _filedir), when it is installed.
# Usage: bash_completion.sh COMPLETION_FILE
set -uo pipefail

completion=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A folder to complete file and folder names in, and a stub tavrinctl that answers `profile list`
# with two names (one with a space, one with a quote) and records how it was called. With
# STUB_FAIL set it fails as tavrinctl does without a keyboard, printing on both streams.
mkdir -p "$work/files/configs" "$work/bin"
touch "$work/files/burst.json"
cat >"$work/bin/tavrinctl" <<'STUB'
#!/usr/bin/env bash
printf '%s\n' "$*" >>"$STUB_CALLS"
if [ -n "${STUB_FAIL:-}" ]; then
    echo '{"profiles": [{"name": "Stale", "current": true}]}'
    echo "tavrinctl: no keyboard" >&2
    exit 3
fi
printf '{"profiles": [{"name": "FPS", "current": true}, {"name": "Desktop Work", "current": false}, {"name": "Say \\"hi\\"", "current": false}]}\n'
STUB
chmod +x "$work/bin/tavrinctl"
export PATH="$work/bin:$PATH" STUB_CALLS="$work/calls"
STUB_MODE=ok
# The tools that may stay on PATH when tavrinctl is not installed.
mkdir -p "$work/tools"
for tool in timeout sort paste; do
    ln -s "$(command -v "$tool")" "$work/tools/$tool"
done
cd "$work/files" || exit 1

# Each case: the words before the cursor | the word being completed | the expected offers, sorted
# and joined by single spaces ("" for none).
cases=(
    'tavrinctl|li|lighting'
    'tavrinctl||auto cancel diy game-mode key lighting macro profile report-rate reset response-time save status win-lock'
    'tavrinctl|r|report-rate reset response-time'
    'tavrinctl|--j|--json'
    'tavrinctl --json|win|win-lock'
    'tavrinctl --virtual-device /tmp/kb.sock|sta|status'
    'tavrinctl lighting|W|Wave'
    'tavrinctl lighting|w|Wave'
    'tavrinctl lighting|s|Scatter Sidewinder Single\ Ripple Static'
    'tavrinctl lighting|Hor|Horse\ Race'
    'tavrinctl lighting|"Hor|Horse Race'
    'tavrinctl lighting|diy|DIY1 DIY2 DIY3 DIY4 DIY5'
    'tavrinctl --no-save lighting|ra|Radar RainDropo'
    'tavrinctl lighting Wave|--dir|--direction'
    'tavrinctl lighting Wave|--co|--color --colour'
    'tavrinctl lighting Wave --direction||down left right up'
    'tavrinctl lighting Wave --speed||0 1 2 3 4'
    'tavrinctl lighting Wave --speed 3 --colour||1 2 3 4 5 6 7 8'
    'tavrinctl lighting Wave --speed 3||'
    'tavrinctl game-mode||off on'
    'tavrinctl win-lock|o|off on'
    'tavrinctl game-mode on||'
    'tavrinctl response-time|1|10 12 14 16 18'
    'tavrinctl report-rate|1|1 1000 125'
    'tavrinctl key||'
    'tavrinctl key F12||--combo --default --disable --file --folder --function --key --macro --program --sound'
    'tavrinctl key --num|--d|--data-dir --default --disable'
    'tavrinctl key F12|--f|--file --folder --function'
    'tavrinctl key F12 --function|vol|Vol+ Vol-'
    'tavrinctl key F12 --function|Media|Media\ Player'
    'tavrinctl key F12 --macro||1 2 3 4 5'
    'tavrinctl key F12 --program|b|burst.json'
    'tavrinctl key F12 --folder||configs'
    'tavrinctl key F12 --disable||'
    'tavrinctl diy||1 2 3 4 5'
    'tavrinctl diy 2||--all --clear --off --on'
    'tavrinctl diy 2 --on A||'
    'tavrinctl macro||delete export import list show'
    'tavrinctl macro show||1 2 3 4 5'
    'tavrinctl macro import 1|b|burst.json'
    'tavrinctl macro export 2||burst.json configs'
    'tavrinctl macro list||'
    'tavrinctl profile||apply copy delete export import list new rename'
    'tavrinctl profile apply||Desktop\ Work FPS Say\ \"hi\"'
    'tavrinctl profile apply|f|FPS'
    'tavrinctl profile apply|"Des|Desktop Work'
    'tavrinctl profile copy||Desktop\ Work FPS Say\ \"hi\"'
    'tavrinctl profile rename||Desktop\ Work FPS Say\ \"hi\"'
    'tavrinctl profile delete|d|Desktop\ Work'
    'tavrinctl profile export||Desktop\ Work FPS Say\ \"hi\"'
    'tavrinctl profile export FPS|b|burst.json'
    'tavrinctl profile import|b|burst.json'
    'tavrinctl profile rename FPS||'
    'tavrinctl profile apply FPS|--|--allow-launch --data-dir --drop-launch --help --json --no-save --version --virtual-device'
    'tavrinctl profile import|--a|--allow-launch'
    'tavrinctl profile import --drop-launch|b|burst.json'
    'tavrinctl profile apply --allow-launch||Desktop\ Work FPS Say\ \"hi\"'
    'tavrinctl profile apply FPS --allow-launch|--|--data-dir --help --json --no-save --version --virtual-device'
    'tavrinctl profile export|--|--data-dir --help --json --no-save --version --virtual-device'
    'tavrinctl profile new||'
    'tavrinctl reset||--factory'
    'tavrinctl status||'
    'tavrinctl auto||add default list off on remove'
    'tavrinctl auto add|f|FPS'
    'tavrinctl auto add FPS|--|--data-dir --help --json --no-save --process --version --virtual-device --while --window-class'
    'tavrinctl auto add FPS --process obs --while||focused running'
    'tavrinctl auto default|n|none'
    'tavrinctl --data-dir||configs'
)

failures=0

# Completes one case in this shell; prints the offers sorted and joined, and whatever the
# completion wrote to standard error on a line starting with "stderr:".
complete_line() {
    local before=$1 current=$2
    read -ra COMP_WORDS <<<"$before"
    COMP_WORDS+=("$current")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    (
        # Without a tavrinctl anywhere on PATH; only what the test itself needs is left.
        [[ $STUB_MODE == missing ]] && PATH=$work/tools
        [[ $STUB_MODE == fail ]] && export STUB_FAIL=1
        _tavrinctl tavrinctl "$current" "${COMP_WORDS[COMP_CWORD - 1]}" 2>"$work/stderr"
        printf '%s\n' "${COMPREPLY[@]}" >"$work/offers"
    )
    LC_ALL=C sort -u "$work/offers" | paste -sd' ' || echo "cannot sort the offers"
    [[ -s $work/stderr ]] && printf 'stderr: %s\n' "$(<"$work/stderr")"
}

check() {
    local pass=$1 before=$2 current=$3 expected=$4 got
    got=$(complete_line "$before" "$current")
    if [[ $got != "$expected" ]]; then
        printf 'FAIL [%s] "%s" + "%s":\n  expected: %s\n  got:      %s\n' \
            "$pass" "$before" "$current" "$expected" "$got"
        failures=$((failures + 1))
    fi
}

run_table() {
    local pass=$1 entry before current expected
    for entry in "${cases[@]}"; do
        IFS='|' read -r before current expected <<<"$entry"
        check "$pass" "$before" "$current" "$expected"
    done

    # The global options on the line reach the stub's `profile list`; nothing else is asked.
    : >"$STUB_CALLS"
    check "$pass" 'tavrinctl --data-dir /srv/kb profile apply' '' 'Desktop\ Work FPS Say\ \"hi\"'
    local calls
    calls=$(sort -u "$STUB_CALLS")
    if [[ $calls != '--data-dir /srv/kb --json profile list' ]]; then
        printf 'FAIL [%s] the stub was called as: %s\n' "$pass" "$calls"
        failures=$((failures + 1))
    fi

    # tavrinctl fails (no keyboard): no names, not even those it printed, and nothing on the
    # terminal.
    STUB_MODE=fail check "$pass" 'tavrinctl profile apply' '' ''
    # tavrinctl is not installed at all.
    STUB_MODE=missing check "$pass" 'tavrinctl profile apply' '' ''
}

# shellcheck source=/dev/null
source "$completion" || { echo "FAIL: $completion cannot be sourced"; exit 1; }
if [[ $(complete -p tavrinctl 2>/dev/null) != "complete -F _tavrinctl tavrinctl" ]]; then
    echo "FAIL: the completion file does not register _tavrinctl for tavrinctl"
    failures=$((failures + 1))
fi
run_table plain

library=/usr/share/bash-completion/bash_completion
if [[ -r $library ]]; then
    # shellcheck source=/dev/null
    source "$library"
    source "$completion"
    run_table bash-completion
else
    echo "bash-completion is not installed: the table ran without its library only"
fi

if ((failures)); then
    echo "$failures case(s) failed"
    exit 1
fi
echo "bash completion: all cases pass"

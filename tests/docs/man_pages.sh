#!/usr/bin/env bash
# The manual pages: each builds with scdoc without a complaint, renders with man (or groff) without
# a warning, and lists what a reader looks for in it: every command, option, exit status and JSON
# field of tavrinctl; every option of the program and every member of its D-Bus interface.
# Usage: man_pages.sh SCDOC DOC_DIR. Exits 77 (skipped) when scdoc is missing.
set -uo pipefail

scdoc=$1
doc_dir=$2
if [[ -z $scdoc || ! -x $scdoc ]]; then
    echo "scdoc is not installed (scripts/bootstrap installs it): the pages cannot be built"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    printf 'FAIL %s\n' "$*"
    failures=$((failures + 1))
}

# The lines of a section (.SH) or sub-section (.SS) of a built page, up to the next one of the same
# or a higher level.
section() {
    local page=$1 title=$2
    awk -v title="$title" '
        /^\.SH / { if (inside) exit; level = "SH" }
        /^\.SS / { if (inside && level_of_title == "SS") exit }
        $0 == ".SH " title { inside = 1; level_of_title = "SH"; next }
        $0 == ".SS " title { inside = 1; level_of_title = "SS"; next }
        inside { print }
    ' "$page"
}

# A name as an extended regular expression matching its roff: scdoc writes "\&" after a full stop.
name_regex() {
    local name=$1 out= char i
    for ((i = 0; i < ${#name}; i++)); do
        char=${name:i:1}
        case $char in
            .) out+='\.(\\&)?' ;;
            [][\\^\$*+?\(\){}\|/]) out+="\\$char" ;;
            *) out+=$char ;;
        esac
    done
    printf '%s' "$out"
}

# require PAGE SECTION KIND NAME...: each NAME is in SECTION of PAGE as
#   entry   the start of an entry line ("\fBNAME\fR ...", "\fBNAME\fR(...")
#   member  a bold or italic name on an entry line ("\fBEffect\fR s, \fBEffectIndex\fR i")
#   json    a field of a JSON example ("NAME":)
require() {
    local page=$1 title=$2 kind=$3 text name regex pattern
    shift 3
    text=$(section "$page" "$title")
    if [[ -z $text ]]; then
        fail "$(basename "$page"): no section \"$title\""
        return
    fi
    for name in "$@"; do
        regex=$(name_regex "$name")
        case $kind in
            entry) pattern="^\\\\fB${regex}\\\\fR( |\\(|$)" ;;
            member) pattern="^\\\\f[BI](.*\\\\f[BI])?${regex}\\\\fR( |\\(|,|$)" ;;
            json) pattern="\"${regex}\":" ;;
        esac
        if ! grep -Eq -- "$pattern" <<<"$text"; then
            fail "$(basename "$page"): \"$title\" does not list $name"
        fi
    done
}

for source in tavrinctl.1.scd tavrin-gaming-keyboard.1.scd; do
    page=$work/${source%.scd}
    if ! "$scdoc" <"$doc_dir/$source" >"$page" 2>"$work/scdoc.err" || [[ -s $work/scdoc.err ]]; then
        fail "$source does not build: $(<"$work/scdoc.err")"
        continue
    fi
    name=${source%.1.scd}
    grep -q "^\.TH \"$name\" \"1\"" "$page" || fail "$source: no .TH line for $name(1)"
    for title in NAME SYNOPSIS DESCRIPTION OPTIONS FILES "SEE ALSO" "EXIT STATUS"; do
        grep -qx "\.SH $title" "$page" || fail "$source: no section $title"
    done

    # What a reader sees: man, else groff. Any warning is a fault of the page.
    rendered=
    if command -v man >/dev/null; then
        rendered=$(MANWIDTH=100 MANPAGER=cat man --warnings -l "$page" 2>"$work/render.err")
    elif command -v groff >/dev/null; then
        rendered=$(groff -k -man -Tutf8 -ww "$page" 2>"$work/render.err")
    else
        echo "neither man nor groff is installed: $source is checked as roff only"
        : >"$work/render.err"
    fi
    [[ -s $work/render.err ]] && fail "$source renders with warnings: $(<"$work/render.err")"
    if command -v man >/dev/null || command -v groff >/dev/null; then
        grep -q "^ *$name - " <<<"$rendered" || fail "$source: the rendered page has no NAME line"
    fi
done

ctl=$work/tavrinctl.1
app=$work/tavrin-gaming-keyboard.1
if [[ -f $ctl ]]; then
    require "$ctl" COMMANDS entry status lighting game-mode win-lock response-time report-rate key \
        diy save cancel reset "macro list" "macro show" "macro delete" "macro import" \
        "macro export" "profile list" "profile apply" "profile new" "profile copy" \
        "profile rename" "profile delete" "profile import" "profile export" "auto list" \
        "auto add" "auto remove" "auto default"
    require "$ctl" COMMANDS member --speed --brightness --direction --colour --key --combo --macro \
        --function --program --file --folder --sound --disable --default --on --off --clear --all \
        --factory --process --window-class --while --allow-launch --drop-launch
    require "$ctl" OPTIONS entry --json --no-save --virtual-device --data-dir --help --version
    require "$ctl" "EXIT STATUS" entry 0 1 2 3 4 5
    require "$ctl" "JSON OUTPUT" json keyboard present product layout firmware effect effect_index \
        speed brightness colour direction game_mode win_lock response_time_ms report_rate \
        report_rate_hz profile unsaved_edits via profiles name current macros slot loop_count events
    require "$ctl" "MACRO FILE" json format version name loop_count record_delay events key action \
        delay_ms
    require "$ctl" ENVIRONMENT entry DBUS_SESSION_BUS_ADDRESS XDG_CONFIG_HOME
fi
if [[ -f $app ]]; then
    require "$app" OPTIONS member --simulate --virtual-device --data-dir --minimized --help
    # The section is read whole first: grep -q stops at its match, and under pipefail the
    # writer it leaves behind would fail the check.
    dbus_section=$(section "$app" "D-BUS INTERFACE")
    for name in org.tavrin.GamingKeyboard /org/tavrin/GamingKeyboard org.tavrin.GamingKeyboard1; do
        grep -Eq "\\\\fB$(name_regex "$name")\\\\fR" <<<"$dbus_section" ||
            fail "tavrin-gaming-keyboard.1: the D-Bus section does not name $name"
    done
    require "$app" Properties member KeyboardState Product Layout Firmware Effect EffectIndex Speed \
        Brightness Colour Direction GameMode WinLock ResponseTime ReportRate CurrentProfile \
        UnsavedEdits
    require "$app" Methods member SetLighting SetGameMode SetWinLock SetResponseTime SetReportRate \
        AssignKey SetDiyKeys ListMacros GetMacro DeleteMacro ImportMacro ExportMacro Save Cancel \
        FactoryReset ListProfiles ApplyProfile NewProfile CopyProfile RenameProfile DeleteProfile \
        ImportProfile ExportProfile SetActiveApplication ApplyProfileWithLaunch \
        ImportProfileWithLaunch
    require "$app" Signals member KeyboardArrived KeyboardRemoved SettingsChanged SaveFinished \
        KeyEvent
    require "$app" Errors member org.tavrin.GamingKeyboard1.Error.NoKeyboard \
        org.tavrin.GamingKeyboard1.Error.AccessDenied org.tavrin.GamingKeyboard1.Error.Busy \
        org.tavrin.GamingKeyboard1.Error.InvalidValue \
        org.tavrin.GamingKeyboard1.Error.FileNotReadable org.tavrin.GamingKeyboard1.Error.Failed \
        org.tavrin.GamingKeyboard1.Error.LaunchActions
    require "$app" FILES member keymap.bin MacroDefine.bin Configure/ \
        '$XDG_CONFIG_HOME/Mervic.conf' '$XDG_CONFIG_HOME/Dalvex.conf'
fi

if ((failures)); then
    echo "$failures fault(s) in the manual pages"
    exit 1
fi
echo "manual pages: built, rendered and complete"

#!/usr/bin/env bash
# `cmake --install` into a fresh prefix lays out a working installation, and the installed program,
# whose bin/ it may not write, keeps its files in the per-user data folder and finds its skins in
# share/tavrin-gaming-keyboard.
# Arguments: the build's program, cmake, the build tree, cpack.
source "$(dirname "$0")/common.sh"
CMAKE="$2"
BUILD="$3"
CPACK="${4:-}"
HERE=$(cd "$(dirname "$0")" && pwd)
export QT_QPA_PLATFORM=offscreen
require_tools desktop-file-validate dpkg-deb python3
prefix="$work/prefix"
"$CMAKE" --install "$BUILD" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "cmake --install failed"

rule=70-tavrin-gaming-keyboard.rules
# The bash completion always; the manual pages when the build had scdoc to make them.
docs=(share/bash-completion/completions/tavrinctl)
if [ -f "$BUILD/doc/tavrinctl.1" ]; then
    docs+=(share/man/man1/tavrinctl.1 share/man/man1/tavrin-gaming-keyboard.1)
fi
for f in bin/tavrin-gaming-keyboard bin/tavrin-virtual-keyboard \
    share/tavrin-gaming-keyboard/png/english/main.png share/tavrin-gaming-keyboard/png/chinese/main.png \
    share/tavrin-gaming-keyboard/png/english/Custom share/tavrin-gaming-keyboard/udev/$rule \
    lib/udev/rules.d/$rule share/applications/tavrin-gaming-keyboard.desktop "${docs[@]}"; do
    [ -e "$prefix/$f" ] || fail "the installation has no $f"
done
[ -x "$prefix/bin/tavrin-gaming-keyboard" ] || fail "the program is not executable"
for size in 16 32 48 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/tavrin-gaming-keyboard.png"
    [ -f "$icon" ] || fail "no ${size}x${size} icon"
    [ "$(png_size "$icon")" = "$size $size" ] || fail "the ${size}x${size} icon is $(png_size "$icon")"
done
entry="$prefix/share/applications/tavrin-gaming-keyboard.desktop"
grep -qx 'Exec=tavrin-gaming-keyboard' "$entry" || fail "the desktop entry does not start the program"
grep -qx 'Icon=tavrin-gaming-keyboard' "$entry" || fail "the desktop entry names another icon"
grep -qx 'Type=Application' "$entry" || fail "the desktop entry is no application"
desktop-file-validate "$entry" || fail "desktop-file-validate refuses the entry"
# Nothing of the build tree or of a user's files belongs in the installation.
extra=$(cd "$prefix" && find . -type f \( -name '*.bin' -o -name '*.qrc' -o -name '*.stamp' \) | head -3)
[ -z "$extra" ] || fail "the installation holds $extra"

# The Debian package holds the same layout below /usr, with its dependencies and the rule's loader.
if [ -n "$CPACK" ]; then
    "$CPACK" -G DEB -B "$work/deb" --config "$BUILD/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
        fail "cpack made no package"
    deb=$(ls "$work"/deb/tavrin-gaming-keyboard_*.deb 2>/dev/null | head -1)
    [ -n "$deb" ] || fail "cpack wrote no .deb"
    dpkg-deb -c "$deb" >"$work/deb.list"
    for f in usr/bin/tavrin-gaming-keyboard usr/bin/tavrin-virtual-keyboard \
        usr/share/tavrin-gaming-keyboard/png/english/main.png usr/lib/udev/rules.d/$rule \
        usr/share/applications/tavrin-gaming-keyboard.desktop \
        usr/share/icons/hicolor/48x48/apps/tavrin-gaming-keyboard.png "${docs[@]/#/usr/}"; do
        grep -q " \./$f\$" "$work/deb.list" || fail "the package has no /$f"
    done
    depends=$(dpkg-deb -f "$deb" Depends)
    for d in libqt6widgets6 libqt6dbus6 libhidapi-hidraw0 libudev1 qt6-qpa-plugins qt6-wayland \
        fonts-liberation; do
        grep -q "$d" <<<"$depends" || fail "the package does not depend on $d: $depends"
    done
    dpkg-deb -e "$deb" "$work/control"
    [ -x "$work/control/postinst" ] && grep -q "udevadm trigger" "$work/control/postinst" ||
        fail "the package does not load the rule when installed"
fi

# The user may read the installation but not write its bin/. Root may write anywhere, so as root
# the program runs as nobody.
home="$work/home"
mkdir -p "$home"
chmod 755 "$work"
as_user=()
if [ "$(id -u)" = 0 ]; then
    chown -R 65534:65534 "$home" "$work/run" "$work/config"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
fi
chmod a-w "$prefix/bin"
before=$(ls -A "$prefix/bin")
env HOME="$home" XDG_DATA_HOME="$home/data" TAVRIN_SCREENSHOT="$home/shot.png" \
    "${as_user[@]}" "$prefix/bin/tavrin-gaming-keyboard" --simulate >"$work/app.log" 2>&1 &
pids+=($!)
wait_for 30 test -s "$home/shot.png" || fail "the installed program wrote no screenshot"
kill "${pids[@]}" 2>/dev/null || true
wait 2>/dev/null || true
pids=()

[ -d "$home/data/tavrin-gaming-keyboard/Configure" ] ||
    fail "no per-user data folder with its profiles folder"
[ "$(ls -A "$prefix/bin")" = "$before" ] || fail "the program wrote into bin/"
# The skins were found: the window shows main.png where no control covers it.
match=$(python3 "$HERE/png_match.py" "$home/shot.png" \
    "$prefix/share/tavrin-gaming-keyboard/png/english/main.png")
python3 -c "import sys; sys.exit(0 if float('$match') >= 0.5 else 1)" ||
    fail "the window matches main.png in only $match of its pixels: skins not found"
echo "installed layout complete; data in \$XDG_DATA_HOME, window $match like main.png"

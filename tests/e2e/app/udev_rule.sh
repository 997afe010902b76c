#!/usr/bin/env bash
# The access rule: exactly the keyboard's IDs in lower-case hex, the uaccess tag, and a name
# that udev reads before 73-seat-late.rules (which turns the tag into the user's access).
set -euo pipefail
RULE="$1"
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$RULE" ] || fail "no rule at $RULE"
name=$(basename "$RULE")
case "$name" in *.rules) ;; *) fail "$name does not end in .rules" ;; esac
first=$(printf '%s\n%s\n' "$name" 73-seat-late.rules | LC_ALL=C sort | head -1)
[ "$first" = "$name" ] || fail "$name sorts after 73-seat-late.rules"

rules=$(grep -v '^[[:space:]]*\(#\|$\)' "$RULE")
[ -n "$rules" ] || fail "no rule lines"
products=()
while IFS= read -r line; do
    grep -q 'SUBSYSTEM=="hidraw"' <<<"$line" || fail "not limited to hidraw: $line"
    grep -q 'ATTRS{idVendor}=="04d9"' <<<"$line" || fail "not vendor 04d9: $line"
    grep -q 'TAG+="uaccess"' <<<"$line" || fail "no uaccess tag: $line"
    # Access for the user at the seat only: no mode or group opens the node to everyone.
    ! grep -q 'MODE\|GROUP\|OWNER' <<<"$line" || fail "sets a mode, group or owner: $line"
    product=$(sed -n 's/.*ATTRS{idProduct}=="\([^"]*\)".*/\1/p' <<<"$line")
    [ -n "$product" ] || fail "names no product: $line"
    products+=("$product")
done <<<"$rules"
got=$(printf '%s\n' "${products[@]}" | LC_ALL=C sort | tr '\n' ' ')
[ "$got" = "a247 a2a0 " ] || fail "products are '$got', a247 and a2a0 expected"
echo "rule $name: 04d9:a2a0 and 04d9:a247, uaccess"

#!/bin/sh
# On a kernel without cfg80211 the program must stop at WlanOpenHandle with
# ERROR_SERVICE_NOT_ACTIVE. Elsewhere there is nothing to see here: skipped.
[ -e /sys/module/cfg80211 ] && { echo "cfg80211 is loaded: skipped"; exit 77; }
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
"$1" >"$tmp/out" 2>"$tmp/err"
rc=$?
[ $rc -eq 255 ] || { echo "exit status $rc, want 255"; exit 1; }
# The banner line is the report's business; what follows it is ours.
tail -n +2 "$tmp/out" >"$tmp/rest"
printf 'WlanOpenHandle: 1062\n' | cmp - "$tmp/rest" || { cat "$tmp/out"; exit 1; }
printf '\r\n[failed] ' | cmp - "$tmp/err" || { od -c "$tmp/err"; exit 1; }

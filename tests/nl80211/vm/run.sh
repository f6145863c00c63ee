#!/bin/bash
# Runs the backend's checks against real kernel radios with the tests/vm
# harness: each NAME.sh here boots its own VM with the binary under test as
# `wlsurvey`, and its stdout must match NAME.expected byte for byte.
#
# usage: tests/nl80211/vm/run.sh [BINARY]   (default build/wlsurvey)
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$here/../../..
bin=${1:-$root/build/wlsurvey}
[[ -x $bin ]] || { echo "no binary: $bin" >&2; exit 1; }
failed=0
for script in "$here"/*.sh; do
    name=$(basename "$script" .sh)
    [[ $name == run ]] && continue
    read -r -a args <<<"$(sed -n 's/^# vm://p' "$script" | head -n1)"
    out=$(mktemp) err=$(mktemp)
    "$root/tests/vm/run-in-vm.sh" "${args[@]}" --binary-as wlsurvey "$bin" --script "$script" >"$out" 2>"$err"
    rc=$?
    if [[ $rc -eq 0 ]] && cmp -s "$here/$name.expected" "$out"; then
        echo "PASS $name"
    else
        echo "FAIL $name (exit $rc)"; diff "$here/$name.expected" "$out"; cat "$err"; failed=1
    fi
    rm -f "$out" "$err"
done
exit $failed

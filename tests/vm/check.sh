#!/bin/bash
# Runs the VM checks: every checks/NAME.sh (or only the NAMEs given) boots its
# own VM. A check passes when its script exits 0 and, if checks/NAME.expected
# exists, its stdout matches that file byte for byte. The first line of a
# check starting with "# vm:" holds extra run-in-vm.sh arguments; in it,
# @wlsurvey@ stands for the binary under test. A check that needs it is
# skipped while that binary does not exist.
#
# Env: WLSURVEY_BIN      binary under test (default <repo>/build/wlsurvey)
#      WLSURVEY_VM_OUT=DIR keeps each check's output and kernel log in
#                        DIR/NAME/; other WLSURVEY_VM_* variables go
#                        through to run-in-vm.sh.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bin=${WLSURVEY_BIN:-$here/../../build/wlsurvey}
names=("$@")
if ((${#names[@]} == 0)); then
    for f in "$here"/checks/*.sh; do n=${f##*/}; names+=("${n%.sh}"); done
fi

# Make sure the cache is ready before timing anything.
"$here/prepare.sh" >/dev/null || exit 1

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=()
for name in "${names[@]}"; do
    script=$here/checks/$name.sh
    [[ -f $script ]] || { echo "no such check: $name" >&2; failed+=("$name"); continue; }
    line=$(sed -n 's/^# vm://p' "$script" | head -n1)
    if [[ $line == *@wlsurvey@* ]]; then
        [[ -x $bin ]] || { echo "SKIP $name (no $bin)"; continue; }
        line=${line//@wlsurvey@/$bin}
    fi
    read -r -a args <<<"$line"
    out=${WLSURVEY_VM_OUT:+$WLSURVEY_VM_OUT/$name}
    start=$SECONDS
    "$here/run-in-vm.sh" "${args[@]}" ${out:+--outdir "$out"} --script "$script" \
        >"$tmp/$name.out" 2>"$tmp/$name.err"
    rc=$?
    verdict=PASS
    if [[ $rc -ne 0 ]]; then
        verdict="FAIL (exit $rc)"
    elif [[ -f $here/checks/$name.expected ]] && ! cmp -s "$tmp/$name.out" "$here/checks/$name.expected"; then
        verdict="FAIL (output differs)"
    fi
    echo "$verdict $name ($((SECONDS - start)) s)"
    if [[ $verdict != PASS ]]; then
        failed+=("$name")
        [[ -f $here/checks/$name.expected ]] && diff -a "$here/checks/$name.expected" "$tmp/$name.out" | sed 's/^/    /'
        sed 's/^/    stderr: /' "$tmp/$name.err"
    fi
done
if ((${#failed[@]})); then
    echo "failed: ${failed[*]}"
    exit 1
fi

#!/bin/bash
# Compares one full scan by iw with one run of the program under test, in one
# VM on the standard access points (country CN): ROUNDS rounds (default 5),
# each one iw scan and one wlsurvey run, alternating, each from an empty scan
# cache. Prints the wall time of every run, the medians and a summary line.
# A measurement to read, not a test: it fails only if a run fails.
#   bench-scan.sh [ROUNDS]
# Env: WLSURVEY_BIN (default build/wlsurvey); WLSURVEY_VM_* as for
#      run-in-vm.sh.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
rounds=${1:-5}
[[ $rounds =~ ^[1-9][0-9]*$ ]] || { echo "usage: bench-scan.sh [ROUNDS]" >&2; exit 2; }
bin=${WLSURVEY_BIN:-$here/../../build/wlsurvey}
[[ -x $bin ]] || { echo "bench-scan.sh: no $bin" >&2; exit 2; }

exec "$here/run-in-vm.sh" --radios 7 --binary-as wlsurvey "$bin" --timeout $((60 + rounds * 20)) --cmd "
. /vm/lib.sh
vm_standard_aps || exit 1
vm_up wlan6
now() { cut -d' ' -f1 /proc/uptime; }
# timed NAME CMD...: one run of CMD from an empty cache, as 'NAME SECONDS'.
timed() {
    name=\$1; shift
    vm_flush wlan6
    a=\$(now)
    \"\$@\" >/dev/null 2>&1 || vm_fail \"\$name failed\"
    b=\$(now)
    echo \"\$name \$a \$b\" | awk '{ printf \"%s %.2f\\n\", \$1, \$3 - \$2 }'
}
r=1
while [ \$r -le $rounds ]; do
    timed iw iw dev wlan6 scan
    timed wlsurvey wlsurvey
    r=\$((r + 1))
done >/tmp/times
awk '
    { t[\$1, ++n[\$1]] = \$2; if (\$1 == \"iw\") printf \"round %d: iw scan %.2f s\", n[\$1], \$2; else printf \", wlsurvey %.2f s\\n\", \$2 }
    function median(k,   i, j, m, v, x) {
        m = n[k]; for (i = 1; i <= m; i++) v[i] = t[k, i]
        for (i = 2; i <= m; i++) { x = v[i]; for (j = i - 1; j > 0 && v[j] > x; j--) v[j + 1] = v[j]; v[j + 1] = x }
        return m % 2 ? v[(m + 1) / 2] : (v[m / 2] + v[m / 2 + 1]) / 2
    }
    END {
        a = median(\"iw\"); b = median(\"wlsurvey\")
        printf \"median: iw scan %.2f s, wlsurvey %.2f s\\n\", a, b
        printf \"bench-scan: %d rounds, median wall time iw scan %.2f s, wlsurvey %.2f s (%+.2f s)\\n\", n[\"iw\"], a, b, b - a
    }' /tmp/times
"

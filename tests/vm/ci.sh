#!/bin/bash
# CI entry point for the VM tests: installs the host tools, fills the cache
# (kernel, base initramfs; kept between runs), runs the harness self-test and
# every check. The checks that run wlsurvey run again with the sanitizer
# build if there is one. Exits non-zero if anything failed. The whole run is
# bounded. Last, a short scan benchmark prints its figures; they never fail
# the run.
#
# Env: WLSURVEY_VM_CI_TIMEOUT (default 900 s) bounds everything after setup;
#      WLSURVEY_BIN (default build/wlsurvey), WLSURVEY_ASAN_BIN (default
#      build-asan/wlsurvey) pick the binaries; WLSURVEY_VM_BENCH_ROUNDS
#      (default 3, 0 for none) the benchmark's rounds.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$here/setup.sh" || exit 1

start=$SECONDS
timeout -k 10 "${WLSURVEY_VM_CI_TIMEOUT:-900}" bash -c '
    here=$1; rc=0
    "$here/prepare.sh" >/dev/null || exit 1
    echo "vm: cache ready after $SECONDS s"
    "$here/selftest.sh" || rc=1
    "$here/check.sh" || rc=1
    asan=${WLSURVEY_ASAN_BIN:-$here/../../build-asan/wlsurvey}
    if [[ -x $asan ]]; then
        echo "vm: again with $asan"
        mapfile -t uses < <(grep -l "@wlsurvey@" "$here"/checks/*.sh | xargs -n1 basename | sed "s/\.sh\$//")
        WLSURVEY_BIN=$asan "$here/check.sh" "${uses[@]}" || rc=1
    fi
    exit $rc' _ "$here"
rc=$?
[[ $rc -eq 124 ]] && echo "vm: tests timed out"
rounds=${WLSURVEY_VM_BENCH_ROUNDS:-3}
if ((rc != 124 && rounds > 0)) && [[ -x ${WLSURVEY_BIN:-$here/../../build/wlsurvey} ]]; then
    timeout -k 10 300 "$here/bench-scan.sh" "$rounds" || echo "vm: benchmark failed (ignored)"
fi
echo "vm: done in $((SECONDS - start)) s, exit $rc"
exit $rc

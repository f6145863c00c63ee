#!/bin/bash
# CI entry point for the VM tests: installs the host tools, fills the cache
# (kernel, base initramfs; kept between runs), runs the harness self-test and
# every check. Exits non-zero if anything failed. The whole run is bounded.
#
# Env: WLSURVEY_VM_CI_TIMEOUT (default 900 s) bounds everything after setup.
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
    exit $rc' _ "$here"
rc=$?
[[ $rc -eq 124 ]] && echo "vm: tests timed out"
echo "vm: done in $((SECONDS - start)) s, exit $rc"
exit $rc

#!/bin/bash
# Runs the binary under test against the standard access points and shows
# what it prints, for a look by eye rather than a check:
#   try-wlsurvey.sh [--country CC] [--as root|user|net-admin] [BINARY] [-- ARGS...]
# Without ARGS it runs three surveys in one VM: no options, -q and -s. The
# program sees wlan6 (the scanner radio) and hwsim0 (hwsim's monitor device,
# not a WLAN interface); the access points sit in another network namespace.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
country=CN as=root bin=${WLSURVEY_BIN:-$here/../../build/wlsurvey}
while (($#)); do
    case $1 in
        --country) country=$2; shift 2 ;;
        --as) as=$2; shift 2 ;;
        --) shift; break ;;
        *) bin=$1; shift ;;
    esac
done
sets=("")
(($#)) && sets=("$(printf '%q ' "$@")") || sets=("" "-q" "-s")
case $as in
    root) prefix= ;;
    user) prefix="vm_as_user" ;;
    net-admin) prefix="vm_as_user --net-admin" ;;
    *) echo "--as root|user|net-admin" >&2; exit 2 ;;
esac
name=${bin##*/}
cmd=". /vm/lib.sh
vm_standard_aps country_code=$country || exit 1
vm_up wlan6"
for a in "${sets[@]}"; do
    cmd+="
echo \"=== $name $a ($as)\"
$prefix $name $a 2>&1; echo \"=== exit \$?\""
done
exec "$here/run-in-vm.sh" --radios 7 --binary-as "$name" "$bin" --cmd "$cmd"

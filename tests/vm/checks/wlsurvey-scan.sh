# vm: --radios 7 --binary-as wlsurvey @wlsurvey@
# The program against the standard access points, in all three forms, as
# root and as a user holding only CAP_NET_ADMIN. Each run starts from an
# empty scan cache, so it lists what its own scan found. The SCANNING line
# gets one dot per 100 ms tick, which is timing: it is cut down to one dot.
. /vm/lib.sh
vm_standard_aps || exit 1
vm_up wlan6
survey() {
    iw dev wlan6 scan flush >/dev/null || exit 1
    echo "=== $*"
    "$@"
    echo "=== exit $?"
}
survey wlsurvey | sed 's/SCANNING  \.*/SCANNING  ./'
survey wlsurvey -q
survey wlsurvey -s
survey vm_as_user --net-admin wlsurvey -s

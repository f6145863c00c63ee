# vm: --radios 3
# What an unprivileged scanner meets: the trigger needs CAP_NET_ADMIN, the
# dump does not; and the errors for a down interface and an AP interface.
. /vm/lib.sh
vm_ap wlan0 open-24.conf
VM_AP_NETNS=0 vm_ap wlan1 open-24.conf ssid=wlsurvey-local channel=6
vm_up wlan2
show() {
    printf '%s: ' "$1"; shift
    err=$("$@" 2>&1 >/dev/null); rc=$?
    echo "rc=$rc${err:+ $err}"
}
show "user trigger" vm_as_user iw dev wlan2 scan trigger
show "net_admin trigger" vm_as_user --net-admin iw dev wlan2 scan
printf 'user dump: '; vm_as_user iw dev wlan2 scan dump | grep -c '^BSS'
show "trigger on AP interface" iw dev wlan1 scan trigger
ip link set wlan2 down
show "trigger on down interface" iw dev wlan2 scan trigger

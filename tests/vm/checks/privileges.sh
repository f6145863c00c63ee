# vm: --radios 3
# What a scanner meets: an unprivileged one cannot trigger but can read the
# results and hear the scan events (an aborted scan's too); and the errors of
# a trigger on a busy, an AP or a down interface.
. /vm/lib.sh
iw reg set CN  # keeps the scan short
vm_ap wlan0 open-24.conf
VM_AP_NETNS=0 vm_ap wlan1 open-24.conf ssid=wlsurvey-local channel=6
vm_up wlan2
show() {
    printf '%s: ' "$1"; shift
    err=$("$@" 2>&1 >/dev/null); rc=$?
    echo "rc=$rc${err:+ $err}"
}
show "user trigger" vm_as_user iw dev wlan2 scan trigger
vm_as_user iw event >/tmp/events 2>&1 &
ev=$!
sleep 0.2
show "net_admin trigger" vm_as_user --net-admin iw dev wlan2 scan
printf 'user dump: '; vm_as_user iw dev wlan2 scan dump | grep -c '^BSS'
iw dev wlan2 scan trigger
show "trigger while scanning" iw dev wlan2 scan trigger
iw dev wlan2 scan abort
sleep 0.2
kill $ev
sed -n 's/^\(wlan2 (phy #2): scan [a-z]*\).*/user event: \1/p' /tmp/events
show "trigger on AP interface" iw dev wlan1 scan trigger
ip link set wlan2 down
show "trigger on down interface" iw dev wlan2 scan trigger

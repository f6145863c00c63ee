# vm: --radios 3
# What the backend answers when a scan cannot be had: a user without
# CAP_NET_ADMIN, an interface that is down, and one deleted while its scan
# runs (the removal event ends the wait long before the 40 ticks, and the
# network list then reports the interface gone).
. /vm/lib.sh
iw reg set CN  # keeps the scan short
vm_ap wlan0 open-24.conf
vm_up wlan1
run() {
    echo "=== $*"
    "$@"
    echo "=== exit $?"
}
run vm_as_user wlsurvey -q
ip link set wlan1 down
run wlsurvey -q
ip link set wlan1 up
( sleep 1; iw dev wlan1 del ) &
gone=$!
# One dot per tick: all 40 would mean the removal went unheard.
run wlsurvey | sed -n 's/.*SCANNING  \.\{1,39\}\(Wlan.*\)$/ended early, then \1/p; /^=== /p'
wait $gone

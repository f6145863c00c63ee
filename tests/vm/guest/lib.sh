# Helpers for guest scripts: . /vm/lib.sh
#
# Access points live in their own network namespace, so that a program under
# test in the initial namespace sees only the radios left for it; hwsim still
# carries frames between all radios, whatever namespace they are in.

VM_APNS_PID=

vm_fail() { echo "vm: $*" >&2; exit 1; }

# Starts the namespace that holds the access points, once.
vm_apns() {
    [ -n "$VM_APNS_PID" ] && return 0
    unshare -n sh -c 'ip link set lo up; while :; do sleep 3600; done' </dev/null >/dev/null 2>&1 &
    VM_APNS_PID=$!
    # Wait until the new namespace is in place.
    i=0
    while [ "$(readlink /proc/$VM_APNS_PID/ns/net)" = "$(readlink /proc/self/ns/net)" ]; do
        i=$((i + 1)); [ $i -le 100 ] || vm_fail "AP namespace did not start"
        sleep 0.02
    done
}

# Runs a command in the AP namespace.
vm_in_apns() { vm_apns; nsenter -t "$VM_APNS_PID" -n "$@"; }

# vm_ap IFACE CONF [KEY=VALUE ...]
# Starts hostapd on IFACE with /vm/ap/CONF (or a path), moved into the AP
# namespace. KEY=VALUE pairs replace or add configuration lines, e.g.
# channel=11 or country_code=DE. Returns once the AP beacons.
# Env: VM_AP_NETNS=0 keeps the interface in the initial namespace.
vm_ap() {
    ifc=$1 conf=$2; shift 2
    case $conf in /*) ;; *) conf=/vm/ap/$conf ;; esac
    [ -r "$conf" ] || vm_fail "no such AP config: $conf"
    [ -e "/sys/class/net/$ifc" ] || [ "${VM_AP_NETNS:-1}" = 1 ] || vm_fail "no interface $ifc"
    mkdir -p /run/hostapd
    out=/run/hostapd/$ifc.conf
    cp "$conf" "$out"
    for kv in interface="$ifc" ctrl_interface=/run/hostapd "$@"; do
        k=${kv%%=*}
        sed -i "/^$k=/d" "$out"
        printf '%s\n' "$kv" >>"$out"
    done
    if [ "${VM_AP_NETNS:-1}" = 1 ]; then
        vm_apns
        if [ -e "/sys/class/net/$ifc" ]; then
            phy=$(cat "/sys/class/net/$ifc/phy80211/name")
            iw phy "$phy" set netns "$VM_APNS_PID" || vm_fail "cannot move $phy"
        fi
        run=vm_in_apns
    else
        run=
    fi
    $run hostapd -B -P "/run/hostapd/$ifc.pid" -f "/run/hostapd/$ifc.log" "$out" \
        || { cat "/run/hostapd/$ifc.log" >&2; vm_fail "hostapd failed on $ifc"; }
    i=0
    until grep -q 'AP-ENABLED' "/run/hostapd/$ifc.log" 2>/dev/null; do
        i=$((i + 1))
        if [ $i -gt 300 ] || ! kill -0 "$(cat "/run/hostapd/$ifc.pid" 2>/dev/null)" 2>/dev/null; then
            cat "/run/hostapd/$ifc.log" >&2
            vm_fail "AP on $ifc did not come up"
        fi
        sleep 0.05
    done
}

# vm_ap_stop IFACE: ends the hostapd on IFACE; its BSS stops beaconing.
vm_ap_stop() {
    pid=$(cat "/run/hostapd/$1.pid" 2>/dev/null) || vm_fail "no AP on $1"
    kill "$pid"
    while kill -0 "$pid" 2>/dev/null; do sleep 0.02; done
    rm -f "/run/hostapd/$1.pid"
}

# vm_txpower IFACE MBM: fixed transmit power in mBm, wherever IFACE lives.
# A scanner sees the signal as the power minus 50 dB (500 -> -45 dBm).
vm_txpower() {
    if [ -e "/sys/class/net/$1" ]; then
        iw dev "$1" set txpower fixed "$2"
    else
        vm_in_apns iw dev "$1" set txpower fixed "$2"
    fi
}

# vm_up IFACE...: brings interfaces up (a scan needs that).
vm_up() { for ifc; do ip link set "$ifc" up || vm_fail "cannot bring up $ifc"; done; }

# vm_as_user [--net-admin] CMD...: runs CMD as uid/gid 1000 with no
# capabilities, or with CAP_NET_ADMIN only (as an ambient capability, so no
# file capabilities are needed).
vm_as_user() {
    if [ "$1" = --net-admin ]; then
        shift
        /usr/bin/setpriv --reuid 1000 --regid 1000 --clear-groups \
            --inh-caps -all,+net_admin --ambient-caps +net_admin --bounding-set -all,+net_admin -- "$@"
    else
        /usr/bin/setpriv --reuid 1000 --regid 1000 --clear-groups \
            --inh-caps -all --bounding-set -all -- "$@"
    fi
}

# vm_scan IFACE: one full scan with iw, to fill the kernel's scan cache.
vm_scan() { iw dev "$1" scan >/dev/null || vm_fail "scan on $1 failed"; }

# vm_flush IFACE: empties the scan cache in about 0.1 s. The flush flag takes
# effect when a scan ends, so this scans one channel that every regulatory
# domain allows and no standard AP uses (2417 MHz, channel 2).
vm_flush() { iw dev "$1" scan freq 2417 flush >/dev/null || vm_fail "flush on $1 failed"; }

# vm_run CMD...: runs CMD with its stdout in /tmp/run.out and its stderr in
# /tmp/run.err (files, so neither is a terminal); VM_RC is its exit status.
vm_run() { "$@" >/tmp/run.out 2>/tmp/run.err; VM_RC=$?; }

# vm_dots: the number of progress dots after SCANNING in /tmp/run.out (0 if
# there are none, or no SCANNING at all).
vm_dots() { awk -F 'SCANNING  ' 'NF > 1 { match($2, /^\.*/); n = RLENGTH } END { print n + 0 }' /tmp/run.out; }

# vm_standard_aps: the access points most checks scan for, on wlan0..wlan5
# (needs --radios 7 or more; wlan6 is left for the scanner). Each gets its own
# transmit power, so the signal tells them apart, and its own channel: a scan
# goes through the channels in order and the kernel lists BSSs in the order
# it heard them, so a fresh scan lists them in this order (by frequency):
#   wlan0 open-24     ch 1   2412 MHz  -45 dBm
#   wlan4 utf8        ch 3   2422 MHz  -41 dBm
#   wlan2 wpa2-24     ch 6   2437 MHz  -43 dBm
#   wlan5 ctrl-bytes  ch 9   2452 MHz  -39 dBm
#   wlan3 hidden      ch 11  2462 MHz  -47 dBm
#   wlan1 wpa2-5g     ch 36  5180 MHz  -40 dBm
# Extra KEY=VALUE arguments go to the 5 GHz AP (e.g. country_code=DE), which
# is started first because its country decides the regulatory domain.
vm_standard_aps() {
    vm_ap wlan1 wpa2-5g.conf "$@"; vm_txpower wlan1 1000
    vm_ap wlan0 open-24.conf;      vm_txpower wlan0 500
    vm_ap wlan2 wpa2-24.conf;      vm_txpower wlan2 700
    vm_ap wlan3 hidden.conf;       vm_txpower wlan3 300
    vm_ap wlan4 utf8.conf;         vm_txpower wlan4 900
    vm_ap wlan5 ctrl-bytes.conf;   vm_txpower wlan5 1100
}

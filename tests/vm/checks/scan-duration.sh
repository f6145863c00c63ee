# vm: --radios 2
# How long one full scan lasts depends on the regulatory domain: with CN it
# ends well inside four seconds, with DE it outlasts them. Checks that want a
# scan to finish or to time out rely on this.
. /vm/lib.sh
set -e
vm_ap wlan0 wpa2-5g.conf country_code=CN
vm_up wlan1
scan_time() {
    iw reg set "$1"
    until iw reg get | grep -q "^country $1:"; do sleep 0.1; done
    a=$(cut -d' ' -f1 /proc/uptime)
    iw dev wlan1 scan >/dev/null
    b=$(cut -d' ' -f1 /proc/uptime)
    echo "$1 $a $b" | awk '{ d = $3 - $2; printf "%s %s 4 s\n", $1, d < 4 ? "under" : "over"; printf "%s: %.2f s\n", $1, d > "/dev/stderr" }'
}
scan_time CN
scan_time DE

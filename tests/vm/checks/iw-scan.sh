# vm: --radios 7
# The standard access points as iw sees them from the one radio left in the
# initial namespace: proves the APs, their SSID bytes, channels and signal,
# and that a fresh scan lists them in channel order.
. /vm/lib.sh
set -e
vm_standard_aps
echo "interfaces: $(ls /sys/class/net | tr '\n' ' ')"
vm_up wlan6
iw dev wlan6 scan >/dev/null
iw dev wlan6 scan dump | awk '
    /^BSS /         { if (b) print b; b = substr($2, 1, 17) }
    /^\tfreq:/      { b = b " " $2 }
    /^\tsignal:/    { b = b " " $2 }
    /^\tcapability:/ { b = b (/Privacy/ ? " privacy" : " open") }
    /^\tSSID:/      { s = $0; sub(/^\tSSID: ?/, "", s); b = b " [" s "]" }
    /^\tRSN:/       { b = b " rsn" }
    /^\tVHT operation:/ { b = b " vht" }
    END             { if (b) print b }'

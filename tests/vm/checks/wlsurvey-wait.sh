# vm: --radios 7 --binary-as wlsurvey @wlsurvey@
# How the wait for the scan ends. With CN the scan's end ends it, well inside
# the run's 40 ticks. With US the scan outlasts them (about 14 s): exactly 40
# dots, then the list as it stands, which holds every standard AP by then
# (their channels are done after about 2.3 s). An interface deleted half a
# second into the scan ends the wait at once, and the run fails on the list
# with the kernel's ENODEV.
. /vm/lib.sh
vm_standard_aps || exit 1
vm_up wlan6
# survey LIMIT: runs wlsurvey from an empty cache; shows its dots (exactly,
# or only whether there are fewer than LIMIT), the list and how it ended.
survey() {
    vm_flush wlan6
    vm_run wlsurvey
    d=$(vm_dots)
    if [ -z "$1" ]; then
        tr '\r' '\n' </tmp/run.out | grep -a SCANNING
    elif [ "$d" -lt "$1" ]; then
        echo "dots: under $1"
    else
        echo "dots: $d"
    fi
    tr '\r' '\n' </tmp/run.out | grep -a -e 'Wireless networks' -e BSSID
    echo "--- stderr"; cat /tmp/run.err; echo
    echo "--- exit $VM_RC"
}
echo "=== CN"
survey 40
iw reg set US
until iw reg get | grep -q "^country US:"; do sleep 0.1; done
echo "=== US"
survey

echo "=== wlan6 deleted during the scan"
iw dev wlan6 scan abort 2>/dev/null  # what is left of the last scan
sleep 0.2
vm_flush wlan6
iw event >/tmp/events 2>&1 &
ev=$!
sleep 0.2
(
    i=0
    until grep -q '^wlan6 .*scan started' /tmp/events || [ $i -ge 100 ]; do i=$((i + 1)); sleep 0.05; done
    sleep 0.5
    iw dev wlan6 del
) &
del=$!
vm_run wlsurvey
wait $del
kill $ev
d=$(vm_dots)
if [ "$d" -lt 15 ]; then echo "dots: under 15"; else echo "dots: $d"; fi
# The rest of the run: the network list of a vanished interface fails.
sed -n '/SCANNING/,$ { s/.*SCANNING  \.*//; p; }' /tmp/run.out
echo "--- stderr"; cat /tmp/run.err; echo
echo "--- exit $VM_RC"

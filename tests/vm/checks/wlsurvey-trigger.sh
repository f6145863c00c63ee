# vm: --radios 7 --binary-as wlsurvey @wlsurvey@
# What the program makes of its trigger's answer. A user without
# CAP_NET_ADMIN is refused with EPERM: the run fails, after the interface
# header in the full form, with the message alone in the short one. A radio
# that is already scanning answers EBUSY, which is no failure: the program
# waits for that scan's end (no scan of its own starts) and lists its finds.
. /vm/lib.sh
vm_standard_aps || exit 1
vm_up wlan6
streams() {
    echo "--- stderr"; cat /tmp/run.err; echo
    echo "--- exit $VM_RC"
}
for form in "" -s; do
    echo "=== user: wlsurvey${form:+ $form}"
    vm_run vm_as_user wlsurvey $form
    cat /tmp/run.out
    streams
done

echo "=== wlsurvey while wlan6 is scanning"
vm_flush wlan6
iw event >/tmp/events 2>&1 &
ev=$!
sleep 0.2
iw dev wlan6 scan trigger || exit 1
vm_run wlsurvey
sleep 0.2
kill $ev
sed -n 's/^wlan6 (phy #6): \(scan [a-z]*\).*/event: \1/p' /tmp/events
d=$(vm_dots)
if [ "$d" -lt 40 ]; then echo "dots: under 40"; else echo "dots: $d"; fi
tr '\r' '\n' </tmp/run.out | grep -a -e 'Wireless networks' -e BSSID
streams

# A radio that is down refuses the trigger with ENETDOWN.
echo "=== wlsurvey -q while wlan6 is down"
ip link set wlan6 down
vm_run wlsurvey -q
cat /tmp/run.out
streams

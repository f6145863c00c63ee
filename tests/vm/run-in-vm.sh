#!/bin/bash
# Boots the cached Debian kernel with mac80211_hwsim radios under QEMU and runs
# a shell script inside it. The script's stdout and stderr come back on this
# script's stdout and stderr, its exit status becomes ours.
#
# usage: run-in-vm.sh [options] --script FILE | --cmd 'SHELL TEXT'
#   --radios N       hwsim radios to create: wlan0..wlan(N-1)   (default 2)
#   --script FILE    guest script, run by busybox sh as root in /vm
#   --cmd TEXT       inline guest script instead of --script
#   --binary PATH    host executable to put into /usr/local/bin, with the
#                    shared libraries ldd names for it (repeatable)
#   --binary-as NAME PATH   the same, installed as NAME
#   --file PATH      extra file, copied to /vm/files/BASENAME (repeatable)
#   --timeout SECS   hard limit for the whole VM run (default 180)
#   --outdir DIR     keep console.log, stdout, stderr, status in DIR
#   --memory MB      guest memory (default 512)
#
# In the guest, /vm/lib.sh has helpers (start access points, run as an
# unprivileged user, ...) and /vm/ap/ holds the hostapd configurations.
#
# Exit status: the script's, 124 if the VM hit the timeout, 125 if the VM
# never reported a status (boot or harness failure; console log goes to
# stderr then).
#
# Env: WLSURVEY_VM_CACHE (see prepare.sh), WLSURVEY_VM_TIMEOUT,
#      WLSURVEY_VM_ACCEL (default tcg), WLSURVEY_VM_CONSOLE=1 to copy the
#      kernel log to stderr after every run.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
radios=2 script= cmd= timeout=${WLSURVEY_VM_TIMEOUT:-180} outdir= memory=512
binaries=() files=()

usage() { sed -n '2,/^set -e/{/^#/s/^# \{0,1\}//p}' "${BASH_SOURCE[0]}" >&2; exit 2; }
while (($#)); do
    case $1 in
        --radios)  radios=$2; shift 2 ;;
        --script)  script=$2; shift 2 ;;
        --cmd)     cmd=$2; shift 2 ;;
        --binary)  binaries+=("$2" "${2##*/}"); shift 2 ;;
        --binary-as) binaries+=("$3" "$2"); shift 3 ;;
        --file)    files+=("$2"); shift 2 ;;
        --timeout) timeout=$2; shift 2 ;;
        --outdir)  outdir=$2; shift 2 ;;
        --memory)  memory=$2; shift 2 ;;
        -h|--help) usage ;;
        *) echo "run-in-vm.sh: unknown argument: $1" >&2; usage ;;
    esac
done
[[ -n $script || -n $cmd ]] || usage
[[ $radios =~ ^[0-9]+$ ]] || { echo "run-in-vm.sh: bad --radios" >&2; exit 2; }

eval "$("$here/prepare.sh")"

work=$(mktemp -d "${TMPDIR:-/tmp}/wlsurvey-vm.XXXXXX")
trap 'rm -rf "$work"' EXIT
stage=$work/stage
mkdir -p "$stage/vm/files" "$stage/usr/local/bin"

# --- the per-run initramfs, appended to the cached base ----------------------
install -m 0755 "$here/guest/init" "$stage/init"
install -m 0644 "$here/guest/lib.sh" "$stage/vm/lib.sh"
cp -r "$here/ap" "$stage/vm/ap"
if [[ -n $script ]]; then cp "$script" "$stage/vm/script"; else printf '%s\n' "$cmd" >"$stage/vm/script"; fi
printf 'VM_RADIOS=%s\n' "$radios" >"$stage/vm/env"
for f in "${files[@]}"; do cp "$f" "$stage/vm/files/"; done
for ((i = 0; i < ${#binaries[@]}; i += 2)); do
    b=${binaries[i]}
    [[ -x $b ]] || { echo "run-in-vm.sh: not an executable: $b" >&2; exit 2; }
    install -m 0755 "$b" "$stage/usr/local/bin/${binaries[i + 1]}"
    for lib in $(ldd "$b" 2>/dev/null | grep -oE '(^|[[:space:]])/[^ ]+' || true); do
        install -D -m 0755 "$(readlink -f "$lib")" "$stage$lib"
    done
done
(cd "$stage" && find . -mindepth 1 | LC_ALL=C sort | cpio -o -H newc --quiet -R 0:0) >"$work/run.cpio"
cat "$VM_INITRD" "$work/run.cpio" >"$work/initrd"

# --- boot ----------------------------------------------------------------------
# ttyS0 kernel console, ttyS1 stdout, ttyS2 exit status, ttyS3 stderr.
: >"$work/console.log"; : >"$work/stdout"; : >"$work/status"; : >"$work/stderr"
accel=${WLSURVEY_VM_ACCEL:-tcg}
cpu=max; [[ $accel == kvm ]] && cpu=host
rc=0
timeout -k 5 "$timeout" qemu-system-x86_64 \
    -M pc -accel "$accel" -cpu "$cpu" -m "$memory" -smp 1 \
    -nodefaults -no-user-config -display none -monitor none -no-reboot \
    -kernel "$VM_KERNEL" -initrd "$work/initrd" \
    -append "console=ttyS0 panic=-1 oops=panic 8250.nr_uarts=4 quiet loglevel=4" \
    -serial "file:$work/console.log" -serial "file:$work/stdout" \
    -serial "file:$work/status" -serial "file:$work/stderr" \
    </dev/null >"$work/qemu.log" 2>&1 || rc=$?

if [[ -n $outdir ]]; then
    mkdir -p "$outdir"
    cp "$work"/{console.log,stdout,stderr,status,qemu.log} "$outdir/"
fi
cat "$work/stdout"
cat "$work/stderr" >&2
[[ ${WLSURVEY_VM_CONSOLE:-0} == 1 ]] && cat "$work/console.log" >&2

status=$(tr -dc '0-9a-z-' <"$work/status")
if [[ $rc -eq 124 || $rc -eq 137 ]]; then
    echo "run-in-vm.sh: VM timed out after ${timeout}s; console tail:" >&2
    tail -n 30 "$work/console.log" >&2
    exit 124
fi
if [[ ! $status =~ ^[0-9]+$ ]]; then
    echo "run-in-vm.sh: VM gave no exit status (qemu rc $rc, status '${status}'); console tail:" >&2
    tail -n 40 "$work/console.log" >&2
    cat "$work/qemu.log" >&2
    exit 125
fi
exit "$status"

#!/bin/bash
# Installs the host tools the VM tests need. Safe to run repeatedly.
set -euo pipefail

pkgs=(qemu-system-x86 busybox-static iw hostapd kmod cpio wireless-regdb xz-utils util-linux)

missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    if [[ $(id -u) -ne 0 ]]; then
        echo "setup.sh: missing packages (need root to install): ${missing[*]}" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

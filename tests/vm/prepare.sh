#!/bin/bash
# Fetches a Debian kernel (never installed, only unpacked) and builds the base
# initramfs for the VM tests. Everything lands in the cache directory; a second
# call with nothing changed only prints the paths it already has.
#
# Prints shell assignments on stdout: VM_KERNEL=... VM_INITRD=... VM_KVER=...
#
# Env:
#   WLSURVEY_VM_CACHE   cache dir (default ${XDG_CACHE_HOME:-$HOME/.cache}/wlsurvey-vm)
#   WLSURVEY_VM_REFRESH=1  look up the current kernel package again even if one
#                          is cached
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cache=${WLSURVEY_VM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/wlsurvey-vm}
mkdir -p "$cache"
log() { echo "prepare: $*" >&2; }

# Parallel runs share the cache; the first one fills it.
exec 9>"$cache/.lock"
flock 9

# apt-get download needs package lists; a fresh machine may not have any yet.
apt_download() {
    if ! apt-get download "$@" >&2 2>"$cache/apt.err"; then
        if [[ $(id -u) -eq 0 ]]; then
            apt-get update -qq >&2
            apt-get download "$@" >&2
        else
            cat "$cache/apt.err" >&2
            return 1
        fi
    fi
}

# --- kernel -----------------------------------------------------------------
# Resolve linux-image-amd64 to the versioned package it depends on. The
# cloud flavour lacks cfg80211/mac80211/hwsim, so it must be the generic one.
kver_file=$cache/kernel.version
if [[ ! -s $kver_file || ${WLSURVEY_VM_REFRESH:-0} == 1 ]]; then
    tmp=$(mktemp -d "$cache/dl.XXXXXX")
    (cd "$tmp" && apt_download linux-image-amd64)
    dep=$(dpkg-deb -f "$tmp"/linux-image-amd64_*.deb Depends)
    rm -rf "$tmp"
    # e.g. "linux-image-6.1.0-58-amd64 (= 6.1.194-1)"
    pkg=$(sed -E 's/^ *(linux-image-[^ ,]+).*/\1/' <<<"$dep")
    ver=$(sed -nE 's/.*\(= *([^)]+)\).*/\1/p' <<<"$dep")
    [[ $pkg == linux-image-*-amd64 ]] || { log "unexpected dependency: $dep"; exit 1; }
    echo "$pkg $ver" >"$kver_file"
fi
read -r kpkg kpkgver <"$kver_file"
kver=${kpkg#linux-image-}
kdir=$cache/kernel-$kver

if [[ ! -e $kdir/.done ]]; then
    log "fetching $kpkg $kpkgver"
    rm -rf "$kdir"
    mkdir -p "$kdir/dl"
    (cd "$kdir/dl" && apt_download "$kpkg${kpkgver:+=$kpkgver}")
    dpkg-deb -x "$kdir"/dl/*.deb "$kdir/root"
    rm -rf "$kdir/dl"
    depmod -b "$kdir/root" "$kver"
    touch "$kdir/.done"
fi
kroot=$kdir/root
bzimage=$kroot/boot/vmlinuz-$kver

# Under TCG, decompressing the bzImage costs about 3 s per boot. The kernel
# has a PVH entry point, so qemu can boot the bare ELF inside it directly.
vmlinux=$kdir/vmlinux
if [[ ! -s $vmlinux ]]; then
    off=$(LC_ALL=C grep -obUaP '\xfd7zXZ\x00' "$bzimage" | head -n1 | cut -d: -f1 || true)
    # xz stops after the first stream, so tail may die of SIGPIPE: no pipefail.
    if [[ -n $off ]] && (set +o pipefail; tail -c +$((off + 1)) "$bzimage" | xz -dc --single-stream >"$vmlinux.tmp" 2>/dev/null) \
        && [[ $(head -c4 "$vmlinux.tmp" | od -An -c | tr -d ' ') == 177ELF ]]; then
        mv "$vmlinux.tmp" "$vmlinux"
    else
        log "could not extract vmlinux, booting the bzImage instead"
        rm -f "$vmlinux.tmp"
        ln -sf "$bzimage" "$vmlinux"
    fi
fi

# --- base initramfs ---------------------------------------------------------
tools=(/usr/sbin/iw /usr/sbin/hostapd /usr/sbin/hostapd_cli /usr/bin/setpriv /usr/bin/kmod)
busybox=/bin/busybox
regdb=/lib/firmware/regulatory.db
crypto_mods=(ccm gcm ctr cmac ghash-generic gf128mul)

# The base image is keyed on everything that goes into it, so a tool upgrade
# or a change to this script rebuilds it.
key=$( { echo "$kver"; sha256sum "${BASH_SOURCE[0]}" "$busybox" "${tools[@]}" \
         "$(readlink -f "$regdb")" "$(readlink -f "$regdb.p7s")" | cut -d' ' -f1; } \
       | sha256sum | cut -c1-16)
base=$cache/base-$key.cpio

# Copies a file to the same path under $stage, resolving symlinks.
put() { install -D -m "${2:-0755}" "$(readlink -f "$1")" "$stage$1"; }
# Copies the shared libraries ldd names for a binary (and the loader).
put_libs() {
    local lib
    for lib in $(ldd "$1" | grep -oE '(^|[[:space:]])/[^ ]+' ); do
        [[ -e $stage$lib ]] || put "$lib"
    done
}

if [[ ! -s $base ]]; then
    log "building base initramfs for $kver"
    stage=$(mktemp -d "$cache/stage.XXXXXX")
    trap 'rm -rf "$stage"' EXIT
    mkdir -p "$stage"/{bin,sbin,usr/bin,usr/sbin,usr/local/bin,lib,lib64,proc,sys,dev,tmp,run,var,etc,root}
    ln -s ../run "$stage/var/run"
    for t in "${tools[@]}"; do put "$t"; put_libs "$t"; done
    # The kernel runs /sbin/modprobe to load crypto on demand; it has to be
    # kmod, not the busybox applet.
    for a in modprobe insmod rmmod lsmod depmod modinfo; do ln -s /usr/bin/kmod "$stage/sbin/$a"; done
    put "$busybox"
    for a in $("$busybox" --list); do
        [[ -e $stage/bin/$a ]] || ln -s busybox "$stage/bin/$a"
    done
    put "$regdb" 0644
    put "$regdb.p7s" 0644

    mods=$( { modprobe -d "$kroot" -S "$kver" --show-depends mac80211_hwsim
              for m in "${crypto_mods[@]}"; do modprobe -d "$kroot" -S "$kver" --show-depends "$m"; done
            } | awk '$1 == "insmod" { print $2 }' | sort -u)
    for m in $mods; do
        rel=${m#"$kroot"}
        install -D -m 0644 "$m" "$stage$rel"
    done
    for f in modules.order modules.builtin modules.builtin.modinfo; do
        install -D -m 0644 "$kroot/lib/modules/$kver/$f" "$stage/lib/modules/$kver/$f"
    done
    depmod -b "$stage" "$kver"

    echo "root:x:0:0:root:/root:/bin/sh" >"$stage/etc/passwd"
    echo "nobody:x:65534:65534:nobody:/nonexistent:/bin/sh" >>"$stage/etc/passwd"
    echo "user:x:1000:1000:user:/tmp:/bin/sh" >>"$stage/etc/passwd"
    printf 'root:x:0:\nnogroup:x:65534:\nuser:x:1000:\n' >"$stage/etc/group"

    (cd "$stage" && find . -mindepth 1 | LC_ALL=C sort | cpio -o -H newc --quiet -R 0:0) >"$base.tmp"
    mv "$base.tmp" "$base"
    rm -rf "$stage"
    trap - EXIT
    # Older base images are dead weight.
    find "$cache" -maxdepth 1 -name 'base-*.cpio' ! -name "${base##*/}" -delete
fi

printf 'VM_KVER=%q\nVM_KERNEL=%q\nVM_INITRD=%q\n' "$kver" "$vmlinux" "$base"

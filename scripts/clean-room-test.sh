#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the README's test command in a freshly bootstrapped minimal Debian 12, so that an
# install step missing from scripts/install-deps.sh shows as a failure here instead of on a
# user's machine. Not part of CI: it takes about 20 minutes of a CPU.
#
#   sudo scripts/clean-room-test.sh [ROOT]    (default ROOT: /var/tmp/orv-clean-room)
#
# Bootstraps "debootstrap --variant=minbase bookworm" into ROOT (emptied first) from the
# Debian mirror of this machine's own apt sources (/etc/apt/sources.list and
# /etc/apt/sources.list.d/*), copies the checkout in (the files git knows, as they are in the
# working tree; no build folders), mounts /proc, /dev, /dev/pts and a tmpfs on /tmp, and runs
# the test command as root in the chroot. Everything is unmounted on exit, whatever happens.
#
# Environment:
#   CLEAN_ROOM_COMMAND   what runs in the checkout (default: ./scripts/test.sh)
#   CLEAN_ROOM_KEEP=1    keep ROOT afterwards (default: removed on success, kept on failure)
#   CLEAN_ROOM_STOP_AFTER=bootstrap   stop once the system is ready, without running the command
set -euo pipefail

src="$(cd "$(dirname "$0")/.." && pwd)"
root="${1:-/var/tmp/orv-clean-room}"
command="${CLEAN_ROOM_COMMAND:-./scripts/test.sh}"

[ "$(id -u)" -eq 0 ] || { echo "clean-room: run as root (debootstrap, mount and chroot need it)" >&2; exit 1; }
root="$(realpath -m "$root")"
case "$root" in
/ | /bin | /boot | /dev | /etc | /home | /lib* | /proc | /root | /run | /sbin | /sys | /tmp | /usr | /var | /var/tmp)
    echo "clean-room: refusing to use $root" >&2
    exit 1
    ;;
esac

# The enabled apt sources of this machine as "URI SUITE" lines, from both formats.
apt_sources() {
    local files=()
    [ -f /etc/apt/sources.list ] && files+=(/etc/apt/sources.list)
    for f in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && files+=("$f")
    done
    for f in "${files[@]}"; do
        case "$f" in
        *.sources)
            # deb822: paragraphs of "Key: value" lines; several URIs and suites each.
            awk 'function flush() {
                     if (types ~ /(^| )deb( |$)/ && enabled != "no")
                         for (u = 1; u <= nu; u++) for (s = 1; s <= ns; s++) print uris[u], suites[s]
                     types = ""; enabled = ""; nu = 0; ns = 0
                 }
                 /^[ \t]*#/ { next }
                 /^[ \t]*$/ { flush(); next }
                 tolower($1) == "types:" { types = ""; for (i = 2; i <= NF; i++) types = types " " $i; types = types " " }
                 tolower($1) == "uris:" { for (i = 2; i <= NF; i++) uris[++nu] = $i }
                 tolower($1) == "suites:" { for (i = 2; i <= NF; i++) suites[++ns] = $i }
                 tolower($1) == "enabled:" { enabled = tolower($2) }
                 END { flush() }' "$f"
            ;;
        *)
            # One-line format: deb [options] URI SUITE COMPONENTS...
            awk '$1 == "deb" {
                     i = 2
                     if ($i ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
                     if (i + 1 <= NF) print $i, $(i + 1)
                 }' "$f"
            ;;
        esac
    done
}

sources="$(apt_sources)"
mirror="$(awk '$2 == "bookworm" { print $1; exit }' <<<"$sources")"
security="$(awk '$2 == "bookworm-security" { print $1; exit }' <<<"$sources")"
[ -n "$mirror" ] || { echo "clean-room: no bookworm mirror in this machine's apt sources" >&2; exit 1; }
echo "clean-room: mirror $mirror${security:+, security $security}"

if ! command -v debootstrap >/dev/null 2>&1; then
    echo "clean-room: installing debootstrap"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null ||
        { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null; }
fi

mounted=()
unmount_inside() {
    findmnt -rn -o TARGET | grep "^$root/" | sort -r | while read -r target; do
        umount "$target" 2>/dev/null || umount -l "$target" 2>/dev/null || true
    done
}
cleanup() {
    local status=$?
    # In reverse order; lazily when something inside still holds a mount.
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" 2>/dev/null || true
    done
    # What the tests mounted themselves (network namespaces under /run/netns), deepest first.
    unmount_inside
    if [ "${CLEAN_ROOM_KEEP:-0}" != 1 ] && [ $status -eq 0 ] && ! findmnt -rn -o TARGET | grep -q "^$root/"; then
        rm -rf --one-file-system "$root"
    else
        echo "clean-room: kept $root"
    fi
    exit $status
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -e "$root" ]; then
    # A run that was killed may have left the tests' own mounts behind.
    unmount_inside
    if findmnt -rn -o TARGET | grep -q "^$root/"; then
        echo "clean-room: something is still mounted under $root" >&2
        exit 1
    fi
    rm -rf --one-file-system "$root"
fi
mkdir -p "$root"

echo "clean-room: bootstrapping Debian 12 (minbase) into $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
    { tail -30 "$root.debootstrap.log" >&2; exit 1; }
mv "$root.debootstrap.log" "$root/debootstrap.log"

{
    echo "deb $mirror bookworm main"
    echo "deb $mirror bookworm-updates main"
    [ -n "$security" ] && echo "deb $security bookworm-security main"
} >"$root/etc/apt/sources.list"
cp -L /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
# Packages must not start services inside the chroot.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"

echo "clean-room: copying the checkout"
mkdir -p "$root/src/orvane"
git -C "$src" ls-files -z | tar -C "$src" --null --ignore-failed-read -T - -cf - | tar -C "$root/src/orvane" -xf -

mount_in() { # type-or-bind, source, target, options
    mkdir -p "$root$3"
    if [ "$1" = bind ]; then
        mount --bind "$2" "$root$3"
    else
        mount -t "$1" ${4:+-o "$4"} "$2" "$root$3"
    fi
    mounted+=("$root$3")
}
mount_in proc proc /proc
mount_in bind /dev /dev
mount_in bind /dev/pts /dev/pts
mount_in tmpfs tmpfs /tmp mode=1777

if [ "${CLEAN_ROOM_STOP_AFTER:-}" = bootstrap ]; then
    chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
        /bin/bash -c 'cat /etc/debian_version; apt-get --version | head -1; ls /src/orvane | head -20'
    echo "clean-room: system ready; stopping as asked"
    exit 0
fi

echo "clean-room: running $command"
start=$SECONDS
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin TERM=dumb LANG=C.UTF-8 \
    /bin/bash -c "cd /src/orvane && $command"
echo "clean-room: $command passed in $((SECONDS - start)) s"

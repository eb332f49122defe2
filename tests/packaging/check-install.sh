#!/usr/bin/env bash
# Installs the package with apt-get into a fresh, minimal Debian 12 root and starts the
# installed program there: proves that the package's dependencies bring in everything
# the program needs on a machine that has never seen Qt. Needs root (chroot, mount).
#
#   tests/packaging/check-install.sh PACKAGE.deb [ROOT-FOLDER]
set -euo pipefail

deb=$(realpath -- "${1:?usage: ${0##*/} PACKAGE.deb [ROOT-FOLDER]}")
root=${2:-$(mktemp -d "${TMPDIR:-/tmp}/knobwerk-root.XXXXXX")}
"$(dirname -- "${BASH_SOURCE[0]}")/../../scripts/ensure-packages.sh" debootstrap

[ -x "$root/usr/bin/apt-get" ] || debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >/dev/null
mount -t proc proc "$root/proc"
trap 'umount "$root/proc"' EXIT

cp -- "$deb" "$root/tmp/knobwerk.deb"
cp /etc/resolv.conf "$root/etc/resolv.conf"
chroot "$root" apt-get update -qq
chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/knobwerk.deb >/dev/null
echo "ok:   installed with apt-get into $root"

if chroot "$root" ldd /usr/bin/Knobwerk | grep -q 'not found'; then
    echo "FAIL: libraries missing:"; chroot "$root" ldd /usr/bin/Knobwerk | grep 'not found'; exit 1
fi
echo "ok:   every library of /usr/bin/Knobwerk resolves"

# Without game files the start-up waits in its "could not be found" box: still running
# after a few seconds means it started; the tweak file beside it shows start-up ran.
status=0
chroot "$root" env QT_QPA_PLATFORM=offscreen HOME=/root timeout 5 /usr/bin/Knobwerk >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || { echo "FAIL: the program ended with status $status"; exit 1; }
[ -f "$root/usr/bin/Knobwerk.ini" ] || { echo "FAIL: start-up did not create Knobwerk.ini"; exit 1; }
echo "ok:   the installed program starts (and created /usr/bin/Knobwerk.ini as root)"

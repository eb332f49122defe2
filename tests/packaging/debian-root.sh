# shellcheck shell=bash
# Sourced by the checks that use a release in a fresh, minimal Debian 12 root as the
# ordinary user "player" would, on the virtual displays of scripts/xvfb.sh; needs root
# (debootstrap, chroot, mount). Everything it starts or mounts goes away on exit.
#
#   new_debian_root           makes a fresh root and sets DEBIAN_ROOT to it
#   root_install PACKAGE...   apt-get installs them in the root, without recommended ones
#   root_bind HOST-DIR PATH   makes a host folder visible at PATH inside
#   in_root CMD... / as_player CMD...   CMD inside the root, as root / as the player, with
#                             a clean environment plus the NAME=value words of PLAYER_ENV
#   resolved FILE...          fails unless every library of those files resolves in the root
#   player_x NAME=value...    the sample game files in the player's documents folder and an
#                             X server visible inside; PLAYER_ENV is its DISPLAY and these
#   start_as_player CMD...    CMD as the player in the background, watched by the waits
#
# The first root on a machine is bootstrapped once and kept as a tar file below
# ${KNOBWERK_CACHE:-~/.cache/knobwerk}, with the packages apt-get downloads inside.

[ "$(id -u)" -eq 0 ] || { echo "${0##*/}: needs root (chroot, mount)" >&2; exit 2; }
# shellcheck source=../../scripts/xvfb.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/../../scripts/xvfb.sh"
KNOBWERK_CACHE=${KNOBWERK_CACHE:-$HOME/.cache/knobwerk}
PLAYER_CONFIG="/home/player/Documents/My Games/Unreal Tournament 3/UTGame/Config"
DEBIAN_ROOT=""
ROOT_MOUNTS=()
PLAYER_ENV=()
PLAYER_BASE=(HOME=/home/player USER=player LOGNAME=player PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8)
LOG=$(mktemp "${TMPDIR:-/tmp}/knobwerk-check.XXXXXX")
trap 'stop_displays; drop_debian_root; rm -f -- "$LOG"' EXIT
trap 'exit 130' INT TERM

# The cached minimal root, bootstrapped from the mirror this machine's apt uses for bookworm.
debian_root_tar() {
    local tar="$KNOBWERK_CACHE/debian-bookworm-minbase.tar" work mirror
    if [ ! -f "$tar" ]; then
        mirror=$(cat /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null |
            awk '/^URIs:/ { uris = $2 } /^Suites:/ && / bookworm( |$)/ { print uris; exit }
                 $1 == "deb" && $3 == "bookworm" { print $2; exit }')
        [ -n "$mirror" ] || fail "no bookworm mirror in this machine's apt sources"
        mkdir -p -- "$KNOBWERK_CACHE"
        work=$(mktemp -d "$KNOBWERK_CACHE/bootstrap.XXXXXX")
        chmod 755 -- "$work" # it becomes "/" of the root, which every user must enter
        echo "Bootstrapping a minimal Debian 12 root (once per machine) into $tar" >&2
        debootstrap --variant=minbase bookworm "$work" "$mirror" >"$work.log" 2>&1 ||
            fail "debootstrap failed; see $work.log"
        tar -C "$work" -cf "$tar.part" . && mv -- "$tar.part" "$tar"
        rm -rf -- "$work" "$work.log"
    fi
    echo "$tar"
}

new_debian_root() {
    local tar
    tar=$(debian_root_tar)
    DEBIAN_ROOT=$(mktemp -d "${TMPDIR:-/tmp}/knobwerk-root.XXXXXX")
    chmod 755 -- "$DEBIAN_ROOT"
    tar -C "$DEBIAN_ROOT" -xf "$tar"
    cp /etc/resolv.conf "$DEBIAN_ROOT/etc/resolv.conf"
    # A throw-away root needs no fsync after every file dpkg unpacks.
    echo force-unsafe-io >"$DEBIAN_ROOT/etc/dpkg/dpkg.cfg.d/knobwerk-unsafe-io"
    mkdir -p -- "$KNOBWERK_CACHE/apt-archives/partial"
    root_bind "$KNOBWERK_CACHE/apt-archives" /var/cache/apt/archives
    mount -t proc proc "$DEBIAN_ROOT/proc"
    ROOT_MOUNTS+=("$DEBIAN_ROOT/proc")
    in_root useradd --create-home --shell /bin/sh player
    in_root apt-get update -qq
}

root_install() {
    in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >"$LOG" 2>&1 ||
        fail "apt-get install failed: $(tail -n 20 "$LOG")"
}

root_bind() {
    mkdir -p -- "$DEBIAN_ROOT$2"
    mount --bind "$1" "$DEBIAN_ROOT$2"
    ROOT_MOUNTS+=("$DEBIAN_ROOT$2")
}

in_root() {
    chroot "$DEBIAN_ROOT" "$@"
}

as_player() {
    chroot --userspec=player:player "$DEBIAN_ROOT" env -i "${PLAYER_BASE[@]}" "${PLAYER_ENV[@]}" "$@"
}

resolved() {
    local missing
    missing=$(in_root ldd "$@" | grep 'not found' || true)
    [ -z "$missing" ] || fail "libraries missing in the root: $missing"
}

# Unmounts everything in reverse order; removes the root only when nothing is mounted
# inside it any more, so that a failed unmount can never delete a host folder.
drop_debian_root() {
    local i
    for ((i = ${#ROOT_MOUNTS[@]} - 1; i >= 0; i--)); do
        umount -- "${ROOT_MOUNTS[i]}" 2>/dev/null || umount -l -- "${ROOT_MOUNTS[i]}" 2>/dev/null || true
    done
    [ -n "$DEBIAN_ROOT" ] || return 0
    if findmnt -rn -o TARGET | grep -qF -- "$DEBIAN_ROOT"; then
        echo "warning: something is still mounted below $DEBIAN_ROOT; left in place" >&2
    else
        rm -rf -- "$DEBIAN_ROOT"
    fi
}

player_x() {
    local file
    as_player mkdir -p "$PLAYER_CONFIG" /tmp/runtime-player
    as_player chmod 700 /tmp/runtime-player
    for file in "$(dirname -- "${BASH_SOURCE[0]}")"/../../data/*.ini; do
        as_player sh -c 'cat >"$1"' - "$PLAYER_CONFIG/${file##*/}" <"$file"
    done
    start_xvfb 1280x1024
    root_bind /tmp/.X11-unix /tmp/.X11-unix
    PLAYER_ENV=(DISPLAY="$DISPLAY" XDG_RUNTIME_DIR=/tmp/runtime-player "$@")
}

start_as_player() {
    : >"$LOG"
    chroot --userspec=player:player "$DEBIAN_ROOT" env -i "${PLAYER_BASE[@]}" "${PLAYER_ENV[@]}" "$@" >>"$LOG" 2>&1 &
    watch_program $! "$LOG" # chroot and env exec, so this is the program itself
}

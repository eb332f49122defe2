# shellcheck shell=bash disable=SC2034  # the variables set here are for the sourcing script
# Sourced by the checks that need a fresh, minimal Debian 12 root; never run on its own.
# Needs root (debootstrap, chroot, mount).
#
#   new_debian_root           makes a fresh root and sets DEBIAN_ROOT to it
#   root_bind HOST-DIR PATH   makes any host folder visible at PATH inside
#   in_root CMD...            runs CMD inside the root (as root)
#   as_player CMD...          runs CMD inside the root as the ordinary user "player"
#                             (home /home/player), with a clean environment plus the
#                             NAME=value words of PLAYER_ENV
#   player_game_files         the sample game files in the player's documents folder
#   player_x NAME=value...    Xvfb, visible inside the root; PLAYER_ENV is its DISPLAY
#                             and the given variables
#   start_as_player LOG CMD...  CMD as the player in the background, watched by the waits
#
# The first call on a machine bootstraps the root once and keeps it as a tar file below
# ${KNOBWERK_CACHE:-~/.cache/knobwerk}; later calls unpack that. Packages that apt-get
# downloads inside a root are kept there as well. The root and its mounts go away on
# exit (drop_debian_root, called from the EXIT trap the caller sets).

KNOBWERK_CACHE=${KNOBWERK_CACHE:-$HOME/.cache/knobwerk}
DEBIAN_ROOT=""
ROOT_MOUNTS=()
PLAYER_ENV=()

root_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Prints the Debian mirror that this machine's apt uses for bookworm itself.
debian_mirror() {
    local uri
    uri=$(awk '
        /^URIs:/   { uris = $2 }
        /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == "bookworm") found = uris }
        /^$/       { uris = "" }
        END        { print found }' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
    if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
        uri=$(awk '$1 == "deb" && $3 == "bookworm" { print $2; exit }' /etc/apt/sources.list)
    fi
    [ -n "$uri" ] || root_fail "no bookworm mirror in this machine's apt sources (/etc/apt/sources.list.d/*.sources)"
    echo "$uri"
}

# The cached minimal root, made once per machine.
debian_root_tar() {
    local tar="$KNOBWERK_CACHE/debian-bookworm-minbase.tar" work
    if [ ! -f "$tar" ]; then
        mkdir -p -- "$KNOBWERK_CACHE"
        work=$(mktemp -d "$KNOBWERK_CACHE/bootstrap.XXXXXX")
        chmod 755 -- "$work" # it becomes "/" of the root, which every user must enter
        echo "Bootstrapping a minimal Debian 12 root (once per machine) into $tar" >&2
        debootstrap --variant=minbase bookworm "$work" "$(debian_mirror)" >"$work.log" 2>&1 ||
            root_fail "debootstrap failed; see $work.log"
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
}

root_bind() {
    local host=$1 inside="$DEBIAN_ROOT$2"
    mkdir -p -- "$inside"
    mount --bind "$host" "$inside"
    ROOT_MOUNTS+=("$inside")
}

in_root() {
    chroot "$DEBIAN_ROOT" "$@"
}

as_player() {
    chroot --userspec=player:player "$DEBIAN_ROOT" env -i HOME=/home/player USER=player LOGNAME=player \
        PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 "${PLAYER_ENV[@]}" "$@"
}

# Unmounts everything in reverse order; removes the root only when nothing is mounted
# inside it any more, so that a failed unmount can never delete a host folder.
drop_debian_root() {
    local i
    for ((i = ${#ROOT_MOUNTS[@]} - 1; i >= 0; i--)); do
        umount -- "${ROOT_MOUNTS[i]}" 2>/dev/null || umount -l -- "${ROOT_MOUNTS[i]}" 2>/dev/null || true
    done
    ROOT_MOUNTS=()
    [ -n "$DEBIAN_ROOT" ] && [ -d "$DEBIAN_ROOT" ] || return 0
    if findmnt -rn -o TARGET | grep -qF -- "$DEBIAN_ROOT"; then
        echo "warning: something is still mounted below $DEBIAN_ROOT; left in place" >&2
    else
        rm -rf -- "$DEBIAN_ROOT"
    fi
    DEBIAN_ROOT=""
}

PLAYER_CONFIG="/home/player/Documents/My Games/Unreal Tournament 3/UTGame/Config"

player_game_files() {
    local file
    as_player mkdir -p "$PLAYER_CONFIG" /tmp/runtime-player
    as_player chmod 700 /tmp/runtime-player
    for file in "$(dirname -- "${BASH_SOURCE[0]}")"/../../data/*.ini; do
        as_player sh -c 'cat >"$1"' - "$PLAYER_CONFIG/${file##*/}" <"$file"
    done
}

player_x() {
    start_xvfb 1280x1024
    root_bind /tmp/.X11-unix /tmp/.X11-unix
    PLAYER_ENV=(DISPLAY="$DISPLAY" XDG_RUNTIME_DIR=/tmp/runtime-player "$@")
}

start_as_player() {
    local log=$1
    shift
    chroot --userspec=player:player "$DEBIAN_ROOT" env -i HOME=/home/player USER=player LOGNAME=player \
        PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 "${PLAYER_ENV[@]}" "$@" >>"$log" 2>&1 &
    watch_program $! "$log" # chroot and env exec, so this is the program itself
}

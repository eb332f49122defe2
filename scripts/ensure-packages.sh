#!/usr/bin/env bash
# Installs the Debian packages that a make target needs and that are missing; does nothing
# when all are there. Each make target calls it once, naming the groups it needs:
#
#   scripts/ensure-packages.sh GROUP...      (build, display, fuzz, windows, package, roots)
set -euo pipefail

declare -A groups=(
    [build]="cmake make g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
             libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation2 fonts-dejavu-core
             clang-format"
    # The virtual X server of scripts/xvfb.sh, and what it drives and grabs the window with.
    [display]="xvfb x11-utils xdotool xclip imagemagick"
    [fuzz]="clang libclang-rt-dev"
    # The cross compilers, the sources of GoogleTest and Qt for Windows, Wine and its fonts.
    [windows]="cmake ninja-build make dpkg-dev xz-utils googletest g++-mingw-w64-x86-64-posix
               binutils-mingw-w64-x86-64 qt6-base-dev qt6-base-dev-tools wine wine64 fonts-wine
               fonts-liberation2"
    # cpack's dpkg-shlibdeps, the portable release's bundling, the package checks.
    [package]="dpkg-dev binutils patchelf qt6-wayland desktop-file-utils appstream"
    # The checks in fresh Debian roots (with display), on X11 and on Wayland.
    [roots]="debootstrap weston"
)

wanted=()
for group in "$@"; do
    [ -n "${groups[$group]:-}" ] || { echo "ensure-packages: no group '$group'" >&2; exit 2; }
    # shellcheck disable=SC2206  # the names split at the blanks and line ends
    wanted+=(${groups[$group]})
done
missing=()
for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

# Another installation (an update manager, a second make) may hold the package manager's
# lock for a while: apt-get is run again until it gets it, for LOCK_WAIT seconds at most.
LOCK_WAIT=${LOCK_WAIT:-300}
apt_get() {
    local waited=0 output
    until output=$($sudo env DEBIAN_FRONTEND=noninteractive apt-get "$@" 2>&1); do
        if ! grep -qE "Could not get lock|Unable to acquire|Unable to lock" <<<"$output"; then
            echo "$output" >&2
            return 1
        fi
        if [ "$waited" -ge "$LOCK_WAIT" ]; then
            echo "ensure-packages: another package installation kept the package manager busy for" \
                "$LOCK_WAIT seconds; run this again once it has finished." >&2
            return 1
        fi
        [ "$waited" -eq 0 ] && echo "ensure-packages: waiting for another package installation to finish..." >&2
        sleep 5
        waited=$((waited + 5))
    done
    [ -z "$output" ] || echo "$output"
}

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
apt_get update -qq
apt_get install -y -qq --no-install-recommends "${missing[@]}"

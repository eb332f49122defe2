#!/usr/bin/env bash
# Builds the Debian package of Knobwerk from an already built tree and checks it:
#
#   scripts/package.sh [BUILD-FOLDER]      (default: build; "make package" runs it)
#
# Runs cpack in the build folder, then tests/packaging/check-package.sh on the result,
# and prints the path of the .deb as the last line. The packages that cpack needs
# (cmake, and dpkg-dev for dpkg-shlibdeps) are installed first when missing.
#
# tests/packaging/check-install.sh (root) then installs it into a fresh Debian root and
# uses it there; "make check-packages" runs that.
set -euo pipefail

root=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build}

fail() {
    echo "${0##*/}: $*" >&2
    exit 1
}

need_packages() {
    "$root/scripts/ensure-packages.sh" "$@"
}

need_packages cmake dpkg-dev

[ -f "$build/CMakeCache.txt" ] || fail "'$build' is no configured build folder (run: make build BUILD=$build)"
build=$(cd -- "$build" && pwd)
[ -x "$build/Knobwerk" ] || fail "no program in $build (run: make build BUILD=$build)"

# A build folder configured before packaging/Packaging.cmake existed has no CPack
# configuration yet; configuring again picks it up.
if [ ! -f "$build/CPackConfig.cmake" ]; then
    cmake "$build" >/dev/null
fi
[ -f "$build/CPackConfig.cmake" ] || fail "no CPack configuration in $build (is packaging/Packaging.cmake there?)"

log="$build/cpack.log"
if ! (cd -- "$build" && cpack -G DEB --config CPackConfig.cmake) >"$log" 2>&1; then
    cat -- "$log" >&2
    fail "cpack failed; its output is above and in $log"
fi
deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' "$log" | tail -n 1)
if [ -z "$deb" ] || [ ! -f "$deb" ]; then
    cat -- "$log" >&2
    fail "cpack did not report a .deb; see $log"
fi

"$root/tests/packaging/check-package.sh" "$deb"
echo "$deb"

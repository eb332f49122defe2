# Sourced by the scripts that run Windows programs under Wine, never run on its own.
#
#   use_wine_prefix FOLDER   exports a private 64-bit Wine prefix in FOLDER (made once,
#                            about half a minute) and quietens Wine: no Mono or Gecko
#                            download prompt, no debug chatter.
# Afterwards WINE_DOCUMENTS is the Unix path of the prefix user's documents folder, a
# real folder inside the prefix (never a link into this machine's home).

use_wine_prefix() {
    export WINEPREFIX
    WINEPREFIX=$(realpath -m -- "$1")
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win64
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Preparing the Wine prefix $WINEPREFIX" >&2
        mkdir -p -- "$WINEPREFIX"
        env -u DISPLAY -u WAYLAND_DISPLAY wineboot --init >/dev/null 2>&1 || true
        wineserver -w
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            echo "wine: wineboot could not prepare $WINEPREFIX" >&2
            return 1
        fi
    fi
    WINE_DOCUMENTS="$WINEPREFIX/drive_c/users/$(id -un)/Documents"
    if [ -L "$WINE_DOCUMENTS" ]; then
        rm -f -- "$WINE_DOCUMENTS"
    fi
    mkdir -p -- "$WINE_DOCUMENTS"
}

# Prepares a private 64-bit Wine prefix (made once, about half a minute) whose user's
# documents folder is a real folder inside the prefix, never a link into this machine's
# home, so that nothing run there touches the player's own files:
#
#   cmake -DPREFIX=FOLDER [-DWINE=wine] -P cmake/WinePrefix.cmake
if(NOT WINE)
    set(WINE wine)
endif()
set(ENV{WINEPREFIX} ${PREFIX})
set(ENV{WINEARCH} win64)
set(ENV{WINEDEBUG} -all)
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=")
unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})

if(NOT EXISTS ${PREFIX}/system.reg)
    message(STATUS "Preparing the Wine prefix ${PREFIX}")
    file(MAKE_DIRECTORY ${PREFIX})
    execute_process(COMMAND ${WINE} wineboot --init OUTPUT_QUIET ERROR_QUIET)
    execute_process(COMMAND wineserver -w)
    if(NOT EXISTS ${PREFIX}/system.reg)
        message(FATAL_ERROR "wineboot could not prepare ${PREFIX}")
    endif()
endif()

# A server that stays half a minute after the last program ends keeps Wine's own
# services running between one test program and the next: each then starts in a
# fraction of a second instead of seconds.
# Wine's services start here, once, before the test programs start side by side.
execute_process(COMMAND wineserver -p30 INPUT_FILE /dev/null OUTPUT_FILE /dev/null ERROR_FILE /dev/null)
execute_process(COMMAND ${WINE} wineboot INPUT_FILE /dev/null OUTPUT_FILE /dev/null ERROR_FILE /dev/null)

execute_process(COMMAND id -un OUTPUT_VARIABLE user OUTPUT_STRIP_TRAILING_WHITESPACE)
set(documents ${PREFIX}/drive_c/users/${user}/Documents)
if(IS_SYMLINK ${documents})
    file(REMOVE ${documents})
endif()
file(MAKE_DIRECTORY ${documents})
message(STATUS "Wine documents folder: ${documents}")

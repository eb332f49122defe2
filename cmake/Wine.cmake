# The Windows tests under Wine, test by test as on Linux. Every run goes through
# KNOBWERK_WINE_RUN: a private Wine prefix in the build folder, no display (the window
# tests draw offscreen, with the Liberation fonts the Linux tests use), no debug chatter
# and no Mono or Gecko download prompt. The test WinePrefix prepares the prefix before
# any other test runs.
#
#   knobwerk_wine_tests(TARGET [PROPERTIES...])  lists TARGET's GoogleTest cases under
#                                                Wine when ctest starts; each is a test
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    function(knobwerk_wine_tests target)
        message(STATUS "No Wine: the tests of ${target} are built, not run")
    endfunction()
    return()
endif()

set(KNOBWERK_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(KNOBWERK_WINE_RUN ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
    WINEPREFIX=${KNOBWERK_WINE_PREFIX} WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    ${CMAKE_CROSSCOMPILING_EMULATOR})
# The font folder of the offscreen platform, a test's own to change.
set(KNOBWERK_WINE_FONTS KNOBWERK_TEST_FONTDIR=Z:/usr/share/fonts/truetype/liberation2)

add_test(NAME WinePrefix COMMAND ${CMAKE_COMMAND} -DPREFIX=${KNOBWERK_WINE_PREFIX}
    -DWINE=${CMAKE_CROSSCOMPILING_EMULATOR} -P ${CMAKE_CURRENT_LIST_DIR}/WinePrefix.cmake)
set_tests_properties(WinePrefix PROPERTIES FIXTURES_SETUP wine_prefix)

function(knobwerk_wine_tests target)
    set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR "${KNOBWERK_WINE_RUN}")
    # The first listing also makes the prefix, which takes Wine about half a minute.
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 300
        PROPERTIES FIXTURES_REQUIRED wine_prefix TIMEOUT 300 ENVIRONMENT ${KNOBWERK_WINE_FONTS} ${ARGN})
endfunction()

# Install rules and the three releases, all made by cpack from this configuration, each
# from its own install component:
#
#   cpack --preset deb        build/knobwerk_<version>_amd64.deb                component deb
#   cpack --preset portable   build/knobwerk-<version>-linux-x86_64.tar.gz      component portable
#   cpack --preset windows    build/knobwerk-<version>-windows-x64.zip          component windows
#
# The Debian package (prefix /usr):
#   <prefix>/lib/knobwerk/Knobwerk                  the program
#   <prefix>/bin/knobwerk                           its launcher (packaging/launcher)
#   <prefix>/bin/Knobwerk                           a link to the launcher
#   <prefix>/share/applications/knobwerk.desktop
#   <prefix>/share/metainfo/example.knobwerk.Knobwerk.metainfo.xml
#   <prefix>/share/icons/hicolor/{48x48,256x256}/apps/knobwerk.png
#   <prefix>/share/doc/knobwerk/README.md, copyright
#
# The program keeps Knobwerk.ini beside its executable, so it is not put on the PATH
# itself: the launcher runs a copy of it in the player's data folder.

set(CPACK_PACKAGE_NAME knobwerk)
set(CPACK_PACKAGE_VENDOR "Knobwerk developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Knobwerk developers <dev@knobwerk.example>")
set(CPACK_STRIP_FILES ON)
# Each release gets its own component and file name (packaging/PerRelease.cmake).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PerRelease.cmake)
set(CPACK_KNOBWERK_BUILD_DIR ${CMAKE_BINARY_DIR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_THREADS 0)

if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/windows/Release.cmake)
    include(CPack)
    return()
endif()
if(NOT (UNIX AND NOT APPLE))
    return()
endif()

include(GNUInstallDirs)

set(KNOBWERK_PACKAGE_README "${PROJECT_SOURCE_DIR}/README.md"
    CACHE FILEPATH "The README that goes into share/doc/knobwerk as README.md")

add_executable(knobwerk_launcher packaging/launcher/Launcher.cpp)
target_link_libraries(knobwerk_launcher PRIVATE Qt6::Widgets)
set_target_properties(knobwerk_launcher PROPERTIES
    OUTPUT_NAME knobwerk
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/launcher)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/launcher)
file(CREATE_LINK knobwerk ${CMAKE_BINARY_DIR}/launcher/Knobwerk SYMBOLIC)

install(TARGETS Knobwerk RUNTIME DESTINATION lib/knobwerk COMPONENT deb)
install(TARGETS knobwerk_launcher RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT deb)
install(FILES ${CMAKE_BINARY_DIR}/launcher/Knobwerk DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT deb)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/knobwerk.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT deb)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/example.knobwerk.Knobwerk.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT deb)
install(FILES ${PROJECT_SOURCE_DIR}/resources/knobwerk.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps COMPONENT deb)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/knobwerk-256.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps
        RENAME knobwerk.png COMPONENT deb)
knobwerk_face_copyright(${PROJECT_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/copyright)
install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/knobwerk COMPONENT deb)
# A missing README leaves the package without it instead of stopping the build;
# tests/packaging/check-package.sh, which make package runs, then fails.
if(NOT EXISTS "${KNOBWERK_PACKAGE_README}")
    message(WARNING "No README at ${KNOBWERK_PACKAGE_README}: the package will lack share/doc/knobwerk/README.md")
endif()
install(FILES "${KNOBWERK_PACKAGE_README}"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/knobwerk
        RENAME README.md
        OPTIONAL COMPONENT deb)

if(KNOBWERK_TESTS)
    add_test(NAME Launcher.KeepsThePlayersCopy
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/packaging/check-launcher.sh $<TARGET_FILE:knobwerk_launcher>)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/Portable.cmake)

set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "settings editor for the game's per-user INI files")
set(CPACK_PACKAGE_DESCRIPTION
    "Knobwerk edits the engine, game and input settings of the game's per-user INI\n"
    "files (UTEngine.ini, UTGame.ini, UTInput.ini) in one window, with backups,\n"
    "presets and an export of all tweaks into Knobwerk.ini. On Linux it finds the\n"
    "game's files in the desktop's documents folder, in the game's Proton prefix of\n"
    "every Steam library and in the Wine prefix.")
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_DEBIAN_PACKAGE_NAME knobwerk)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Knobwerk developers <dev@knobwerk.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links against become dependencies through dpkg-shlibdeps
# (from dpkg-dev); on Debian the X11 platform plugin comes with libqt6gui6.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)

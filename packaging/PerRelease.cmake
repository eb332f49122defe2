# Read by cpack for each generator it runs (CPACK_PROJECT_CONFIG_FILE): every release
# installs only its own component, under its own file name.
set(version ${CPACK_PACKAGE_VERSION})
if(CPACK_GENERATOR STREQUAL "DEB")
    set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_KNOBWERK_BUILD_DIR};Knobwerk;deb;/")
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
elseif(CPACK_GENERATOR STREQUAL "TGZ")
    set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_KNOBWERK_BUILD_DIR};Knobwerk;portable;/")
    set(CPACK_PACKAGE_FILE_NAME knobwerk-${version}-linux-x86_64)
elseif(CPACK_GENERATOR STREQUAL "ZIP")
    set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_KNOBWERK_BUILD_DIR};Knobwerk;windows;/")
    set(CPACK_PACKAGE_FILE_NAME knobwerk-${version}-windows-x64)
endif()

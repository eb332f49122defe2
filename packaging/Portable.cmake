# The portable release, component "portable" of packaging/Packaging.cmake: the program
# with this machine's Qt, its xcb and wayland platform plugins and every library they
# load, in one folder that runs wherever it is unpacked. Left to the desktop, since every
# desktop has them and they must match its drivers and display server: the C library,
# the C++ runtime, OpenGL/EGL, the X11 and Wayland client libraries, fontconfig and
# freetype. scripts/bundle-qt.sh then sets the run paths and adds the licences and NOTICE,
# also those of the faces the program carries inside.
set(portable knobwerk-${PROJECT_VERSION})
set(KNOBWERK_QT_PLUGINS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}" CACHE PATH "The Qt plugins to bundle")
set(portable_plugins
    platforms/libqxcb.so
    platforms/libqwayland-generic.so
    platforms/libqwayland-egl.so
    xcbglintegrations/libqxcb-glx-integration.so
    xcbglintegrations/libqxcb-egl-integration.so
    wayland-shell-integration/libxdg-shell.so
    wayland-decoration-client/libbradient.so
    wayland-graphics-integration-client/libqt-plugin-wayland-egl.so
    platforminputcontexts/libcomposeplatforminputcontextplugin.so)
# The desktop's own libraries, by file name.
set(desktop_libraries [[.*/(ld-linux-x86-64\.so\.2|lib(c|m|pthread|dl|rt|resolv)\.so\.[0-9]+|libstdc\+\+\.so\.6|libgcc_s\.so\.1]]
    [[|lib(GL|EGL|GLX|GLdispatch|OpenGL|gbm|drm)\.so\.[0-9]+|lib(X11|X11-xcb|Xau|Xdmcp|SM|ICE|uuid|bsd|md)\.so\.[0-9]+]]
    [[|libxcb(-(randr|render|shape|shm|sync|xfixes|xkb|xinput|glx|present|dri2|dri3))?\.so\.[0-9]+]]
    [[|libwayland-(client|cursor|egl)\.so\.[0-9]+|lib(fontconfig|freetype|expat|z|png16|brotlicommon|brotlidec)\.so\.[0-9]+)$]])
list(JOIN desktop_libraries "" desktop_libraries)

install(TARGETS Knobwerk RUNTIME DESTINATION ${portable} COMPONENT portable)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${portable} COMPONENT portable)
set(plugin_files "")
foreach(plugin IN LISTS portable_plugins)
    get_filename_component(folder ${plugin} DIRECTORY)
    install(FILES ${KNOBWERK_QT_PLUGINS}/${plugin} DESTINATION ${portable}/plugins/${folder} COMPONENT portable)
    list(APPEND plugin_files ${KNOBWERK_QT_PLUGINS}/${plugin})
endforeach()

# At install time: every library the program and the plugins load, each under its
# soname in lib/, then the script.
install(CODE "set(portable_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${portable}\")
    set(plugin_files \"${plugin_files}\")
    set(desktop_libraries [[${desktop_libraries}]])" COMPONENT portable)
install(CODE [[
    file(GET_RUNTIME_DEPENDENCIES EXECUTABLES "${portable_dir}/Knobwerk" MODULES ${plugin_files}
        RESOLVED_DEPENDENCIES_VAR libraries UNRESOLVED_DEPENDENCIES_VAR missing
        POST_EXCLUDE_REGEXES "${desktop_libraries}")
    if(missing)
        message(FATAL_ERROR "Libraries of the portable release not found on this machine: ${missing}")
    endif()
    file(MAKE_DIRECTORY "${portable_dir}/lib")
    foreach(library IN LISTS libraries)
        get_filename_component(soname "${library}" NAME)
        file(REAL_PATH "${library}" real)
        file(COPY_FILE "${real}" "${portable_dir}/lib/${soname}")
    endforeach()
    ]] COMPONENT portable)
install(CODE "execute_process(COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/bundle-qt.sh
                  \"\${portable_dir}\" ${PROJECT_VERSION} ${KNOBWERK_FACE_FILES} COMMAND_ERROR_IS_FATAL ANY)"
        COMPONENT portable)

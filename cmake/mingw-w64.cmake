# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the POSIX thread model, so
# that std::thread and std::mutex are available). Everything is linked statically: the
# programs need no DLL beside them and run as they are under Wine or on Windows.
#
#   cmake --preset windows       (CMakePresets.json)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KNOBWERK_MINGW_TRIPLE x86_64-w64-mingw32)

# The -posix compilers by name, so the choice does not hang on update-alternatives.
find_program(CMAKE_C_COMPILER NAMES ${KNOBWERK_MINGW_TRIPLE}-gcc-posix ${KNOBWERK_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${KNOBWERK_MINGW_TRIPLE}-g++-posix ${KNOBWERK_MINGW_TRIPLE}-g++
             REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KNOBWERK_MINGW_TRIPLE}-windres)

# Headers and libraries come from the MinGW sysroot only, never from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KNOBWERK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The Qt built for Windows by scripts/build-qt-windows.sh lies in a cache folder outside
# the sysroot; its packages are searched there too. Given empty (the windows preset
# without the environment variable KNOBWERK_QT_WINDOWS), it is the finished one in the
# script's default folder.
if(DEFINED KNOBWERK_QT_WINDOWS AND NOT KNOBWERK_QT_WINDOWS)
    file(GLOB stamps "$ENV{HOME}/.cache/knobwerk/qt6-windows-*/knobwerk-qt.stamp")
    if(stamps)
        list(GET stamps -1 stamp)
        get_filename_component(KNOBWERK_QT_WINDOWS ${stamp} DIRECTORY)
    endif()
endif()
if(KNOBWERK_QT_WINDOWS)
    list(APPEND CMAKE_FIND_ROOT_PATH ${KNOBWERK_QT_WINDOWS})
    list(APPEND CMAKE_PREFIX_PATH ${KNOBWERK_QT_WINDOWS})
    list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KNOBWERK_QT_WINDOWS)
endif()

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# ctest runs the Windows programs through Wine when it is there (cmake/Wine.cmake).
find_program(KNOBWERK_WINE NAMES wine64 wine)
if(KNOBWERK_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KNOBWERK_WINE})
endif()

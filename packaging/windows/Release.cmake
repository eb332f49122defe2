# The Windows release, component "windows" of packaging/Packaging.cmake: one folder with
# Knobwerk.exe, README.txt, LICENSE.txt, SOURCE.txt and the licence texts of the Qt built
# into the program (kept by scripts/build-qt-windows.sh) and of the face it carries. Text
# files get Windows line ends.
set(release knobwerk-${PROJECT_VERSION}-windows-x64)
set(texts ${CMAKE_BINARY_DIR}/release-texts)

# knobwerk_crlf_copy(SOURCE TARGET): TARGET is SOURCE with Windows line ends.
function(knobwerk_crlf_copy source target)
    file(READ ${source} text)
    string(REGEX REPLACE "\r*\n" "\r\n" text "${text}")
    file(WRITE ${target} "${text}")
endfunction()

set(VERSION ${PROJECT_VERSION})
set(QT_VERSION ${Qt6_VERSION})
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt ${texts}/README.unix @ONLY)
knobwerk_crlf_copy(${texts}/README.unix ${texts}/README.txt)
knobwerk_crlf_copy(${PROJECT_SOURCE_DIR}/LICENSE ${texts}/LICENSE.txt)
execute_process(COMMAND git rev-parse HEAD WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT commit)
    set(commit unknown)
endif()
file(WRITE ${texts}/SOURCE.unix "Knobwerk ${PROJECT_VERSION}, built from the Knobwerk source repository\n"
    "(https://knobwerk.example/source), commit ${commit}.\n")
knobwerk_crlf_copy(${texts}/SOURCE.unix ${texts}/SOURCE.txt)

# Qt is linked into the program: the release must pass its licence on.
if(NOT EXISTS ${KNOBWERK_QT_WINDOWS}/licences/LGPL-3.0-only.txt)
    message(FATAL_ERROR "No Qt licence texts in ${KNOBWERK_QT_WINDOWS}/licences (run scripts/build-qt-windows.sh)")
endif()
file(GLOB qt_licences ${KNOBWERK_QT_WINDOWS}/licences/*.txt)
foreach(licence IN LISTS qt_licences)
    get_filename_component(name ${licence} NAME)
    knobwerk_crlf_copy(${licence} ${texts}/licences/${name})
endforeach()

# So is the licence of the window's face, which the program carries.
knobwerk_crlf_copy(${KNOBWERK_FACE_LICENCE} ${texts}/licences/fonts-liberation2-copyright.txt)

install(TARGETS Knobwerk RUNTIME DESTINATION ${release} COMPONENT windows)
install(FILES ${texts}/README.txt ${texts}/LICENSE.txt ${texts}/SOURCE.txt DESTINATION ${release} COMPONENT windows)
install(DIRECTORY ${texts}/licences DESTINATION ${release} COMPONENT windows)
set(CPACK_GENERATOR ZIP)

# The window's face, carried inside the program for systems that have none of the families
# the window asks for: Liberation Sans, regular and bold, from Debian's fonts-liberation2
# (SIL Open Font License 1.1) on the build machine, never downloaded. The Windows cross
# build runs on the same machine and takes the same files.
#
#   knobwerk_carry_face(TARGET)   the faces as resources ":/fonts/<file>" of TARGET
#   KNOBWERK_FACE_LICENCE         their copyright and licence, for the releases
set(KNOBWERK_FACE_DIR /usr/share/fonts/truetype/liberation2
    CACHE PATH "Folder of LiberationSans-Regular.ttf and LiberationSans-Bold.ttf")
set(KNOBWERK_FACE_LICENCE /usr/share/doc/fonts-liberation2/copyright
    CACHE FILEPATH "Copyright and licence of the carried faces")
set(KNOBWERK_FACE_FILES
    ${KNOBWERK_FACE_DIR}/LiberationSans-Regular.ttf
    ${KNOBWERK_FACE_DIR}/LiberationSans-Bold.ttf)
foreach(file IN LISTS KNOBWERK_FACE_FILES KNOBWERK_FACE_LICENCE)
    if(NOT EXISTS ${file})
        message(FATAL_ERROR "No ${file}: install fonts-liberation2 (scripts/ensure-packages.sh build)")
    endif()
endforeach()

function(knobwerk_carry_face target)
    # Compressed with zlib, which every Qt reads: the faces shrink to about half, which
    # rcc's default threshold (a 70 % gain) would not take.
    qt_add_resources(${target} carried_face PREFIX /fonts BASE ${KNOBWERK_FACE_DIR}
        FILES ${KNOBWERK_FACE_FILES} OPTIONS --compress-algo zlib --threshold 10)
endfunction()

# knobwerk_face_copyright(SOURCE TARGET): TARGET is the Debian copyright file SOURCE with
# a paragraph for the carried faces, copied from their package's own.
function(knobwerk_face_copyright source target)
    file(READ ${KNOBWERK_FACE_LICENCE} fonts)
    string(FIND "${fonts}" "\nFiles: *\n" begin)
    if(begin EQUAL -1)
        message(FATAL_ERROR "No paragraph 'Files: *' in ${KNOBWERK_FACE_LICENCE}")
    endif()
    math(EXPR begin "${begin} + 10")
    string(SUBSTRING "${fonts}" ${begin} -1 fonts)
    string(FIND "${fonts}" "\n\n" end)
    string(SUBSTRING "${fonts}" 0 ${end} fonts)
    file(READ ${source} text)
    file(WRITE ${target} "${text}\nFiles: LiberationSans-Regular.ttf LiberationSans-Bold.ttf\n"
        "Comment: Liberation Sans, carried inside the program as the face of its window,\n"
        " from Debian's fonts-liberation2 package (its corresponding source: \"apt-get\n"
        " source fonts-liberation2\").\n${fonts}\n")
endfunction()

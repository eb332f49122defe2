# Keeps the Windows programs single files: each may import only DLLs that every Windows
# has (10 and later: the classic system libraries, the API sets, the shell's scaling
# library). Included, it gives knobwerk_check_imports(TARGET), which checks TARGET after
# every link; a program that fails the check is deleted, so none is left behind.
# Run as a script it checks one program:
#
#   cmake -DEXE=Knobwerk.exe -DOBJDUMP=x86_64-w64-mingw32-objdump -P cmake/WindowsImports.cmake
set(system_dlls [[^(advapi32|authz|bcrypt|comctl32|comdlg32|crypt32|d2d1|d3d11|d3d9|dwmapi|dwrite|dxgi|gdi32|imm32|kernel32|mpr|msvcrt|netapi32|ntdll|ole32|oleaut32|opengl32|rpcrt4|secur32|setupapi|shcore|shell32|shlwapi|user32|userenv|uxtheme|version|winmm|winspool\.drv|ws2_32|wtsapi32|api-ms-win-[a-z0-9-]+)(\.dll)?$]])

if(NOT CMAKE_SCRIPT_MODE_FILE)
    find_program(KNOBWERK_OBJDUMP NAMES ${KNOBWERK_MINGW_TRIPLE}-objdump REQUIRED)
    set(KNOBWERK_IMPORTS_SCRIPT ${CMAKE_CURRENT_LIST_FILE})
    function(knobwerk_check_imports target)
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:${target}> -DOBJDUMP=${KNOBWERK_OBJDUMP}
                    -P ${KNOBWERK_IMPORTS_SCRIPT}
            VERBATIM)
    endfunction()
    return()
endif()

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
set(foreign "")
foreach(import IN LISTS imports)
    string(REGEX REPLACE "^DLL Name: *" "" dll "${import}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" dll)
    if(NOT dll MATCHES "${system_dlls}")
        list(APPEND foreign ${dll})
    endif()
endforeach()
if(foreign)
    file(REMOVE ${EXE})
    list(JOIN foreign " " foreign)
    message(FATAL_ERROR "${EXE} would need DLLs that Windows does not have: ${foreign}")
endif()

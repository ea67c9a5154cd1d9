# The warning flags of pilotrame_warnings, named here once for the build and for
# scripts/check-windows-gui.sh, which compiles the windows with MinGW-w64 outside CMake and asks
# for them with: cmake -P cmake/warnings.cmake
#
# GCC and clang.
set(PILOTRAME_GNU_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
# MSVC (and clang-cl). /permissive- holds the compiler to the standard as GCC and clang do;
# /utf-8 reads the sources as UTF-8, which they are (the French texts), instead of the machine's
# ANSI code page, and writes narrow string literals in UTF-8 as the other compilers do.
set(PILOTRAME_MSVC_WARNINGS /W4 /permissive- /utf-8)

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    # On standard output, one flag a line.
    foreach(_pilotrame_flag IN LISTS PILOTRAME_GNU_WARNINGS)
        execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${_pilotrame_flag}")
    endforeach()
endif()

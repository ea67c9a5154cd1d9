# Cross build of the whole program for Windows with MinGW-w64 and Qt for Windows, tests run under
# Wine. Qt is the folder that the environment variable PILOTRAME_QT_WINDOWS names (a qtbase built
# with these same compilers: scripts/build-qt-windows.sh makes one).
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# Qt's DLLs are built against the MinGW runtime DLLs: the program and the tests use them too, so
# that one C++ runtime serves both sides of every call into Qt. The core-only build stays static.
set(CMAKE_EXE_LINKER_FLAGS_INIT "")

if(NOT DEFINED ENV{PILOTRAME_QT_WINDOWS} OR NOT IS_DIRECTORY "$ENV{PILOTRAME_QT_WINDOWS}")
    message(FATAL_ERROR "The Windows program needs Qt for Windows: set PILOTRAME_QT_WINDOWS to "
                        "its folder, or make one with scripts/build-qt-windows.sh")
endif()
get_filename_component(PILOTRAME_QT_WINDOWS "$ENV{PILOTRAME_QT_WINDOWS}" ABSOLUTE)
list(APPEND CMAKE_FIND_ROOT_PATH ${PILOTRAME_QT_WINDOWS})
list(APPEND CMAKE_PREFIX_PATH ${PILOTRAME_QT_WINDOWS})

# moc, rcc and uic come from the build machine's Qt (Debian's qt6-base-dev-tools, the same 6.4.2).
set(QT_HOST_PATH /usr)
file(GLOB _pilotrame_host_tools /usr/lib/*/cmake/Qt6CoreTools)
if(NOT _pilotrame_host_tools)
    message(FATAL_ERROR "Qt's host tools are missing (Debian package qt6-base-dev-tools): run "
                        "scripts/install-deps.sh")
endif()
list(GET _pilotrame_host_tools 0 _pilotrame_host_tools)
get_filename_component(QT_HOST_PATH_CMAKE_DIR ${_pilotrame_host_tools} DIRECTORY)

# Under Wine the programs find Qt's DLLs and the MinGW runtime through WINEPATH, which
# wine-run.sh fills from --dll-path; Qt finds its plugins from the folder of its own DLLs.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE _pilotrame_libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libwinpthread-1.dll
                OUTPUT_VARIABLE _pilotrame_winpthread OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(_pilotrame_gcc_dlls "${_pilotrame_libstdcxx}" DIRECTORY)
get_filename_component(_pilotrame_pthread_dlls "${_pilotrame_winpthread}" DIRECTORY)
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh" --dll-path "${PILOTRAME_QT_WINDOWS}/bin"
    --dll-path "${_pilotrame_gcc_dlls}" --dll-path "${_pilotrame_pthread_dlls}")

# The program for Windows: its icon and version resource, the folder that runs on a Windows
# without Qt (what `cmake --install` puts beside pilotrame.exe), and the NSIS installer.
#   cmake --build --preset windows-gui --target deploy     -> build/windows-gui/deploy/
#   cmake --build --preset windows-gui --target installer  -> build/windows-gui/Pilotrame-<version>-setup.exe
# There is no windeployqt in a cross build: the DLLs and plugins are named here, from Qt's own
# CMake targets and from the compiler.
enable_language(RC)
set(_pilotrame_windows_dir ${CMAKE_CURRENT_BINARY_DIR}/windows)
file(MAKE_DIRECTORY ${_pilotrame_windows_dir})

# ---- The icon and the version resource ----
# Drawn from the same SVG as the windows' icon, at the sizes Explorer and the task bar ask for.
find_program(PILOTRAME_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(PILOTRAME_PYTHON3 python3 REQUIRED)
set(PILOTRAME_ICO ${_pilotrame_windows_dir}/pilotrame.ico)
set(_pilotrame_ico_pngs)
foreach(size 16 20 24 32 40 48 64 256)
    set(_png ${_pilotrame_windows_dir}/icon-${size}.png)
    add_custom_command(OUTPUT ${_png}
        COMMAND ${PILOTRAME_RSVG_CONVERT} --width ${size} --height ${size} --output ${_png}
                ${PILOTRAME_PACKAGING_DIR}/pilotrame.svg
        DEPENDS ${PILOTRAME_PACKAGING_DIR}/pilotrame.svg VERBATIM)
    list(APPEND _pilotrame_ico_pngs ${_png})
endforeach()
add_custom_command(OUTPUT ${PILOTRAME_ICO}
    COMMAND ${PILOTRAME_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/make-ico.py ${PILOTRAME_ICO}
            ${_pilotrame_ico_pngs}
    DEPENDS ${_pilotrame_ico_pngs} ${CMAKE_CURRENT_LIST_DIR}/make-ico.py
    COMMENT "Making the program's Windows icon" VERBATIM)
add_custom_target(pilotrame_windows_icon DEPENDS ${PILOTRAME_ICO})

set(_pilotrame_rc ${_pilotrame_windows_dir}/pilotrame.rc)
configure_file(${CMAKE_CURRENT_LIST_DIR}/pilotrame.rc.in ${_pilotrame_rc} @ONLY)
target_sources(pilotrame PRIVATE ${_pilotrame_rc})
set_source_files_properties(${_pilotrame_rc} TARGET_DIRECTORY pilotrame
                            PROPERTIES OBJECT_DEPENDS ${PILOTRAME_ICO})
add_dependencies(pilotrame pilotrame_windows_icon)

# ---- What runs beside pilotrame.exe ----
# The Qt DLLs the program links, the platform plugin and the native style. Qt finds its plugins
# in folders named after their kind beside the program.
install(FILES $<TARGET_RUNTIME_DLLS:pilotrame> DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT pilotrame)
foreach(plugin_kind QWindowsIntegrationPlugin:platforms QWindowsVistaStylePlugin:styles)
    string(REPLACE ":" ";" plugin_kind ${plugin_kind})
    list(GET plugin_kind 0 _plugin)
    list(GET plugin_kind 1 _kind)
    if(NOT TARGET Qt6::${_plugin})
        message(FATAL_ERROR "This Qt for Windows has no ${_plugin}: the program cannot run "
                            "without it")
    endif()
    install(FILES $<TARGET_FILE:Qt6::${_plugin}> DESTINATION ${CMAKE_INSTALL_BINDIR}/${_kind}
            COMPONENT pilotrame)
endforeach()

# The compiler's runtime. MinGW-w64's DLLs come with Debian's compilers, with their symbols (a
# libstdc++ of 23 MB): a stripped copy is installed.
if(MINGW)
    set(_pilotrame_runtime_dlls)
    foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                        OUTPUT_VARIABLE _source OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT IS_ABSOLUTE "${_source}" OR NOT EXISTS "${_source}")
            message(FATAL_ERROR "The MinGW-w64 runtime ${dll} was not found by ${CMAKE_CXX_COMPILER}")
        endif()
        set(_stripped ${_pilotrame_windows_dir}/runtime/${dll})
        add_custom_command(OUTPUT ${_stripped}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${_pilotrame_windows_dir}/runtime
            COMMAND ${CMAKE_STRIP} --strip-unneeded -o ${_stripped} ${_source}
            DEPENDS ${_source} VERBATIM)
        list(APPEND _pilotrame_runtime_dlls ${_stripped})
    endforeach()
    add_custom_target(pilotrame_windows_runtime DEPENDS ${_pilotrame_runtime_dlls})
    install(FILES ${_pilotrame_runtime_dlls} DESTINATION ${CMAKE_INSTALL_BINDIR}
            COMPONENT pilotrame)
elseif(MSVC)
    set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION ${CMAKE_INSTALL_BINDIR})
    set(CMAKE_INSTALL_SYSTEM_RUNTIME_COMPONENT pilotrame)
    include(InstallRequiredSystemLibraries)
endif()

# ---- The deploy folder ----
set(PILOTRAME_DEPLOY_DIR ${CMAKE_BINARY_DIR}/deploy)
add_custom_target(deploy
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${PILOTRAME_DEPLOY_DIR}
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${PILOTRAME_DEPLOY_DIR}
            --component pilotrame --strip
    COMMENT "Installing the program and what it needs into ${PILOTRAME_DEPLOY_DIR}"
    VERBATIM)
add_dependencies(deploy pilotrame)
if(TARGET pilotrame_windows_runtime)
    add_dependencies(deploy pilotrame_windows_runtime)
endif()

# ---- The installer ----
# A hand-written NSIS script (packaging/windows/pilotrame.nsi): per user, in French. Its
# uninstaller removes the files of the deploy folder by name, so that the user's own files in the
# program's folder stay.
find_program(PILOTRAME_MAKENSIS makensis)
set(PILOTRAME_INSTALLER ${CMAKE_BINARY_DIR}/Pilotrame-${PROJECT_VERSION}-setup.exe)
if(PILOTRAME_MAKENSIS)
    set(_pilotrame_uninstall_list ${_pilotrame_windows_dir}/uninstall-files.nsh)
    add_custom_target(installer
        COMMAND ${CMAKE_COMMAND} -DDEPLOY_DIR=${PILOTRAME_DEPLOY_DIR}
                -DOUTPUT=${_pilotrame_uninstall_list}
                -P ${CMAKE_CURRENT_LIST_DIR}/uninstall-list.cmake
        COMMAND ${PILOTRAME_MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${PROJECT_VERSION}
                -DDEPLOY_DIR=${PILOTRAME_DEPLOY_DIR} -DUNINSTALL_LIST=${_pilotrame_uninstall_list}
                -DICON=${PILOTRAME_ICO} -DOUTFILE=${PILOTRAME_INSTALLER}
                ${CMAKE_CURRENT_LIST_DIR}/pilotrame.nsi
        COMMENT "Making the installer ${PILOTRAME_INSTALLER}"
        VERBATIM)
    add_dependencies(installer deploy)
else()
    add_custom_target(installer
        COMMAND ${CMAKE_COMMAND} -E echo "makensis (Debian package nsis) is needed for the installer"
        COMMAND ${CMAKE_COMMAND} -E false
        VERBATIM)
endif()

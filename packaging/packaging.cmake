# Installing Pilotrame like any desktop tool, and packaging it: `cmake --install` puts the program
# (rule in src/gui.cmake), its desktop entry, icon and AppStream metainfo in place, and on Linux the
# copyright and changelog that Debian wants; CPack makes a Debian package on Linux. On Windows the
# install is the folder that runs without Qt, and packaging/windows/windows.cmake makes the NSIS
# installer from it. Everything installed belongs to the component "pilotrame", the only one the
# packages take.
include(GNUInstallDirs)

# Folders made by the install are 0755, as Debian wants them, whatever the umask of the one who
# builds the package.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                               GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(PILOTRAME_APP_ID org.pilotrame.Pilotrame)
set(PILOTRAME_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
# The windows tell the desktop the name of their entry, so that it matches them to it.
target_compile_definitions(pilotrame_gui PRIVATE PILOTRAME_DESKTOP_FILE_NAME="${PILOTRAME_APP_ID}")

# The metainfo lists the releases by hand: a new project version without its <release> entry
# would be shipped with the previous version's notes.
file(READ ${PILOTRAME_PACKAGING_DIR}/${PILOTRAME_APP_ID}.metainfo.xml _pilotrame_metainfo)
if(NOT _pilotrame_metainfo MATCHES "<release version=\"${PROJECT_VERSION}\"")
    message(FATAL_ERROR "packaging/${PILOTRAME_APP_ID}.metainfo.xml has no <release> entry for "
                        "version ${PROJECT_VERSION}: add one")
endif()

# The Debian changelog, like the metainfo, needs an entry for the version being packaged.
file(STRINGS ${PILOTRAME_PACKAGING_DIR}/changelog _pilotrame_changelog_top LIMIT_COUNT 1)
if(NOT _pilotrame_changelog_top MATCHES "^pilotrame \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog does not start with an entry for version "
                        "${PROJECT_VERSION}: add one above \"${_pilotrame_changelog_top}\"")
endif()

if(NOT WIN32)
    # Debian's documentation of the package: the copyright and the changelog, the latter compressed
    # as Debian wants it (gzip -9, no name or time stamp inside, so that two builds give the same
    # bytes).
    set(_pilotrame_docdir ${CMAKE_INSTALL_DATADIR}/doc/pilotrame)
    set(_pilotrame_changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz)
    file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/packaging)
    find_program(PILOTRAME_GZIP gzip REQUIRED)
    execute_process(COMMAND ${PILOTRAME_GZIP} -9n -c ${PILOTRAME_PACKAGING_DIR}/changelog
                    OUTPUT_FILE ${_pilotrame_changelog_gz} COMMAND_ERROR_IS_FATAL ANY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                 ${PILOTRAME_PACKAGING_DIR}/changelog)
    install(FILES ${PILOTRAME_PACKAGING_DIR}/copyright ${_pilotrame_changelog_gz}
            DESTINATION ${_pilotrame_docdir} COMPONENT pilotrame)

    install(FILES ${PILOTRAME_PACKAGING_DIR}/${PILOTRAME_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT pilotrame)
    install(FILES ${PILOTRAME_PACKAGING_DIR}/pilotrame.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT pilotrame)
    install(FILES ${PILOTRAME_PACKAGING_DIR}/${PILOTRAME_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT pilotrame)
endif()

# Qt's French texts (qtbase_fr.qm). A program built against a Qt whose translation folder holds
# them finds them there at run time: on Debian that folder belongs to qt6-translations-l10n, which
# the package then depends on instead of carrying a second copy. When Qt's folder lacks them (a Qt
# installed without its translations), a copy is installed in <datadir>/pilotrame/translations,
# where the program looks next; AUTO decides by what Qt's folder holds at configure time.
set(PILOTRAME_BUNDLE_QT_TRANSLATIONS AUTO CACHE STRING
    "Install a copy of Qt's French texts with the program: AUTO (when Qt's folder lacks them), ON, OFF")
set_property(CACHE PILOTRAME_BUNDLE_QT_TRANSLATIONS PROPERTY STRINGS AUTO ON OFF)
set(PILOTRAME_QT_TRANSLATIONS_SOURCE "" CACHE PATH
    "Folder holding the qtbase_fr.qm to install when Qt's own folder lacks it")

if(WIN32)
    # Beside the program, where it looks after Qt's own folder: Qt for Windows is not installed
    # on the user's machine, so the copy is always installed there.
    set(PILOTRAME_INSTALL_TRANSLATIONSDIR ${CMAKE_INSTALL_BINDIR}/translations)
    set(_pilotrame_full_translationsdir ${CMAKE_INSTALL_FULL_BINDIR}/translations)
    if(PILOTRAME_BUNDLE_QT_TRANSLATIONS STREQUAL "AUTO")
        set(PILOTRAME_BUNDLE_QT_TRANSLATIONS ON)
    endif()
else()
    set(PILOTRAME_INSTALL_TRANSLATIONSDIR ${CMAKE_INSTALL_DATADIR}/pilotrame/translations)
    set(_pilotrame_full_translationsdir ${CMAKE_INSTALL_FULL_DATADIR}/pilotrame/translations)
endif()
# The program finds the copy relative to its own folder, so that the install can be moved
# (/usr, /opt/pilotrame, a package's staging folder).
file(RELATIVE_PATH _pilotrame_translations_from_bindir ${CMAKE_INSTALL_FULL_BINDIR}
     ${_pilotrame_full_translationsdir})
target_compile_definitions(pilotrame PRIVATE
    PILOTRAME_TRANSLATIONS_FROM_BINDIR="${_pilotrame_translations_from_bindir}")

set(_pilotrame_qt_translations ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS})
if(PILOTRAME_BUNDLE_QT_TRANSLATIONS STREQUAL "AUTO")
    if(EXISTS ${_pilotrame_qt_translations}/qtbase_fr.qm)
        set(_pilotrame_bundle OFF)
    else()
        set(_pilotrame_bundle ON)
    endif()
else()
    set(_pilotrame_bundle ${PILOTRAME_BUNDLE_QT_TRANSLATIONS})
endif()

set(PILOTRAME_SHIPS_QT_TRANSLATIONS OFF)
if(_pilotrame_bundle)
    # A .qm file is the same on every system: a cross build takes the build machine's
    # (qt6-translations-l10n), outside the target's root.
    find_file(PILOTRAME_QTBASE_FR_QM qtbase_fr.qm
              PATHS ${PILOTRAME_QT_TRANSLATIONS_SOURCE} ${_pilotrame_qt_translations}
                    /usr/share/qt6/translations
              NO_DEFAULT_PATH NO_CACHE NO_CMAKE_FIND_ROOT_PATH)
    if(PILOTRAME_QTBASE_FR_QM)
        install(FILES ${PILOTRAME_QTBASE_FR_QM} DESTINATION ${PILOTRAME_INSTALL_TRANSLATIONSDIR}
                COMPONENT pilotrame)
        set(PILOTRAME_SHIPS_QT_TRANSLATIONS ON)
        message(STATUS "Qt's French texts installed with the program, from ${PILOTRAME_QTBASE_FR_QM}")
    elseif(PILOTRAME_BUNDLE_QT_TRANSLATIONS STREQUAL "AUTO")
        message(WARNING "qtbase_fr.qm is neither in Qt's folder ${_pilotrame_qt_translations} nor "
                        "in PILOTRAME_QT_TRANSLATIONS_SOURCE: the installed program will show Qt's "
                        "dialogs and buttons in English")
    else()
        message(FATAL_ERROR "PILOTRAME_BUNDLE_QT_TRANSLATIONS is ON but no qtbase_fr.qm was found: "
                            "set PILOTRAME_QT_TRANSLATIONS_SOURCE to the folder that holds it")
    endif()
endif()

if(WIN32)
    include(${PILOTRAME_PACKAGING_DIR}/windows/windows.cmake)
endif()

# Packages
set(CPACK_PACKAGE_NAME pilotrame)
set(CPACK_PACKAGE_VENDOR Pilotrame)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(PILOTRAME_PACKAGE_MAINTAINER "Pilotrame <paquets@pilotrame.invalid>" CACHE STRING
    "The packages' maintainer, \"Name <address>\"")
set(CPACK_PACKAGE_CONTACT ${PILOTRAME_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch processing of AutoCAD drawings (French)")
# Debian shows the description as it stands: lines of 80 characters at most.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Pilotrame applies the same operations to many AutoCAD drawings at once:\n"
    "plot, a script of the user's own, purge, zoom, DWG/DXF conversion, erase,\n"
    "insertion, attribute and text replacement. It writes an AutoCAD script file\n"
    "for the chosen drawings and starts AutoCAD on it. Its windows and messages\n"
    "are in French.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Pilotrame)
set(CPACK_PACKAGE_EXECUTABLES pilotrame Pilotrame)
set(CPACK_STRIP_FILES ON)
# Only the program's component: nothing that a test library or another subproject might install.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};pilotrame;/")

if(WIN32)
    # The installer is the target "installer"; CPack makes a zip of the same folder, a copy that
    # runs from wherever it is unpacked.
    set(CPACK_GENERATOR ZIP)
else()
    set(CPACK_GENERATOR DEB)
    # pilotrame_3.5.0_amd64.deb
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # The control files as Debian wants them (0644), whatever the umask of the one who builds.
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    # The Qt 6 libraries, from what the program links (dpkg-shlibdeps, in dpkg-dev).
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    if(NOT PILOTRAME_SHIPS_QT_TRANSLATIONS)
        set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-translations-l10n)
    endif()
endif()

include(CPack)

# The windows, on Qt Widgets; they read their controls into plain structs and call the core.
add_library(pilotrame_gui STATIC
    app/application.cpp
    app/application.h
    app/banner.cpp
    app/banner.h
    app/designname.h
    app/formparts.h
    app/mainwindow.cpp
    app/mainwindow.h
    app/operationspanel.cpp
    app/operationspanel.h
    app/prompts.cpp
    app/prompts.h
    app/renamepanel.cpp
    app/renamepanel.h
    app/scripttextpanel.cpp
    app/scripttextpanel.h
    app/singleinstance.cpp
    app/singleinstance.h
    app/transcript.cpp
    app/transcript.h
    config/configdialog.cpp
    config/configdialog.h
    launch/drawingcheckwindow.cpp
    launch/drawingcheckwindow.h
    selection/advancedselectionwindow.cpp
    selection/advancedselectionwindow.h
    script/macrowindow.cpp
    script/macrowindow.h
    textinsert/textinsertwindow.cpp
    textinsert/textinsertwindow.h
)
target_include_directories(pilotrame_gui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(pilotrame_gui
    PUBLIC pilotrame_core Qt6::Widgets Qt6::PrintSupport
    PRIVATE pilotrame_warnings)
if(WIN32)
    target_link_libraries(pilotrame_gui PUBLIC Qt6::Network)
endif()

add_executable(pilotrame WIN32 main.cpp)
target_link_libraries(pilotrame PRIVATE pilotrame_gui pilotrame_warnings)

# Installed as <prefix>/bin/pilotrame; the rest of the install (desktop entry, icon, metainfo, Qt's
# French texts when Qt lacks them) and the packages are in packaging/packaging.cmake.
include(GNUInstallDirs)
install(TARGETS pilotrame RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT pilotrame)

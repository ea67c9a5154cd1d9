# The windows, on Qt Widgets; they read their controls into plain structs and call the core.
add_library(pilotrame_gui STATIC
    app/application.cpp
    app/application.h
    app/banner.cpp
    app/banner.h
    app/mainwindow.cpp
    app/mainwindow.h
    app/prompts.cpp
    app/prompts.h
    app/singleinstance.cpp
    app/singleinstance.h
    app/transcript.cpp
    app/transcript.h
    config/configdialog.cpp
    config/configdialog.h
)
target_include_directories(pilotrame_gui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(pilotrame_gui
    PUBLIC pilotrame_core Qt6::Widgets Qt6::PrintSupport Qt6::Network
    PRIVATE pilotrame_warnings)

add_executable(pilotrame WIN32 main.cpp)
target_link_libraries(pilotrame PRIVATE pilotrame_gui pilotrame_warnings)

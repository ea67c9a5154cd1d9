# Window tests on Qt's offscreen platform, driving the widgets by objectName. Under Wine, which
# does not pass QT_QPA_PLATFORM to a Windows program, support/guitest_main.cpp chooses it.
find_package(Qt6 REQUIRED COMPONENTS Test)

add_library(pilotrame_guitestsupport STATIC support/scriptedprompts.cpp support/guitest.cpp)
target_include_directories(pilotrame_guitestsupport PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(pilotrame_guitestsupport PUBLIC pilotrame_gui pilotrame_testsupport Qt6::Test)

set(PILOTRAME_GUI_TEST_ENV "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false")

add_executable(pilotrame_gui_tests
    gui/folderpicker_test.cpp
    gui/prompts_test.cpp
    gui/main/mainwindow_test.cpp
    gui/config/configdialog_test.cpp
    gui/execution/batchrunwindow_test.cpp
    gui/execution/drawingcheckwindow_test.cpp
    gui/selection/advancedselectionwindow_test.cpp
    gui/script/macrowindow_test.cpp
    gui/textinsert/textinsertwindow_test.cpp
    app/application_test.cpp
    support/guitest_test.cpp
    support/guitest_main.cpp
)
target_link_libraries(pilotrame_gui_tests PRIVATE pilotrame_guitestsupport pilotrame_app
                                                  pilotrame_warnings)
pilotrame_add_gtests(pilotrame_gui_tests ENVIRONMENT ${PILOTRAME_GUI_TEST_ENV})


# Start-up tests run the real program, copied into a temporary folder.
add_executable(pilotrame_startup_tests app/startup_program_test.cpp support/guitest_main.cpp)
target_link_libraries(pilotrame_startup_tests PRIVATE pilotrame_guitestsupport pilotrame_app
                                                     pilotrame_warnings)
add_dependencies(pilotrame_startup_tests pilotrame pilotrame_argrecorder pilotrame_standinconsole)
target_compile_definitions(pilotrame_startup_tests PRIVATE
    PILOTRAME_VERSION="${PROJECT_VERSION}"
    PILOTRAME_PROGRAM="$<TARGET_FILE:pilotrame>"
    PILOTRAME_ARGRECORDER="$<TARGET_FILE:pilotrame_argrecorder>"
    PILOTRAME_STANDIN_CONSOLE="$<TARGET_FILE:pilotrame_standinconsole>")
target_compile_definitions(pilotrame_gui_tests PRIVATE
    PILOTRAME_VERSION="${PROJECT_VERSION}"
    PILOTRAME_ARGRECORDER="$<TARGET_FILE:pilotrame_argrecorder>"
    PILOTRAME_STANDIN_CONSOLE="$<TARGET_FILE:pilotrame_standinconsole>")
add_dependencies(pilotrame_gui_tests pilotrame_argrecorder pilotrame_standinconsole)
pilotrame_add_gtests(pilotrame_startup_tests ENVIRONMENT ${PILOTRAME_GUI_TEST_ENV})

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

# Under Wine, the tests that need what a display gives, which the offscreen platform lacks there,
# on Qt's windows platform and a display of their own (xvfb-run): the end of a Windows session,
# a message to a window (of "Exécution des plans", of a --run); the captions in the fonts the
# system gives (offscreen has none on Windows). Without a display they skip, or take the console's
# event instead.
if(CMAKE_CROSSCOMPILING)
    find_program(PILOTRAME_XVFB_RUN xvfb-run)
    if(PILOTRAME_XVFB_RUN)
        set(_on_a_display_gui -platform windows
                              --gtest_filter=*.EveryCaption*:*.TheEndOfTheSession*)
        set(_on_a_display_core --gtest_filter=RunOnConsoleTest.AnInterruptStopsTheRun*)
        foreach(_which gui core)
            add_test(NAME pilotrame_${_which}_tests_on_a_display_windows
                     COMMAND ${PILOTRAME_XVFB_RUN} --auto-servernum ${CMAKE_CROSSCOMPILING_EMULATOR}
                             $<TARGET_FILE:pilotrame_${_which}_tests> ${_on_a_display_${_which}}
                             --gtest_output=xml:googletest-results/pilotrame_${_which}_tests_on_a_display_windows.xml
                     WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
        endforeach()
    endif()
endif()

# The check of the layers (cmake/layers.cmake) on a scratch copy of src/: the copy passes as it
# is, and fails, naming both files and the rule, with one wrong include of each form. Run as
#   cmake -DSOURCE_DIR=<src> -DCHECK=<layers.cmake> -DSCRATCH=<folder> -P layers_test.cmake
file(REMOVE_RECURSE "${SCRATCH}")
file(COPY "${SOURCE_DIR}/" DESTINATION "${SCRATCH}/src")

function(run_check result_var output_var)
    execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${SCRATCH}/src -P "${CHECK}"
                    RESULT_VARIABLE _result OUTPUT_VARIABLE _out ERROR_VARIABLE _err)
    set(${result_var} "${_result}" PARENT_SCOPE)
    string(REGEX REPLACE "[ \n]+" " " _text "${_out}${_err}")
    set(${output_var} "${_text}" PARENT_SCOPE)
endfunction()

set(_failures "")
run_check(_result _text)
if(NOT _result EQUAL 0)
    list(APPEND _failures "the copy of src/ as it is fails: ${_text}")
endif()

# file|include line|what the message must hold
set(_cases
    "core/base/text.cpp|#include \"../texts/common.h\"|src/core/base/text.cpp includes src/core/texts/common.h"
    "core/base/text.cpp|#include <texts/common.h>|base is below texts"
    "core/script/generation.cpp|#include \"gui/prompts.h\"|core names no file of gui"
    "core/base/text.h|  #  include <QString>|names no Qt header"
    "gui/main/mainwindow.cpp|#include \"../../app/application.h\"|src/gui/main/mainwindow.cpp includes src/app/application.h"
    "gui/prompts.cpp|#include \"execution/drawingcheckwindow.h\"|name no file of a window family"
    "core/extra/new.h|#pragma once|a topic without a place")
foreach(_case IN LISTS _cases)
    string(REPLACE "|" ";" _parts "${_case}")
    list(GET _parts 0 _file)
    list(GET _parts 1 _include)
    list(GET _parts 2 _expected)
    set(_path "${SCRATCH}/src/${_file}")
    set(_before "")
    if(EXISTS "${_path}")
        file(READ "${_path}" _before)
    endif()
    file(WRITE "${_path}" "${_include}\n${_before}")
    run_check(_result _text)
    string(FIND "${_text}" "${_expected}" _at)
    if(_result EQUAL 0 OR _at LESS 0)
        list(APPEND _failures "${_include} in src/${_file}: expected a failure saying \"${_expected}\", got: ${_text}")
    endif()
    if(_before STREQUAL "")
        file(REMOVE "${_path}")
    else()
        file(WRITE "${_path}" "${_before}")
    endif()
endforeach()

file(REMOVE_RECURSE "${SCRATCH}")
if(_failures)
    list(JOIN _failures "\n" _text)
    message(FATAL_ERROR "${_text}")
endif()

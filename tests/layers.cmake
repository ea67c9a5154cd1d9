# Fails when an include runs against the layers: app -> gui -> core, and inside the core from a
# topic to the topics below it. The core names no header of gui/ or app/ and no Qt header; gui/
# names no header of app/. Run as
#   cmake -DSOURCE_DIR=<src> -P layers.cmake
set(_faults "")

# The topics of the core from the bottom up: each includes only those before it. A new folder of
# the core takes its place here, or the check fails.
set(_core_topics base config selection script rename textinsert check process batch job session
                 usecases texts cli)

function(_check_layer layer pattern why)
    file(GLOB_RECURSE _files "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
    foreach(_file IN LISTS _files)
        file(STRINGS "${_file}" _lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        foreach(_line IN LISTS _lines)
            if(_line MATCHES "${pattern}")
                file(RELATIVE_PATH _name "${SOURCE_DIR}" "${_file}")
                string(STRIP "${_line}" _line)
                list(APPEND _faults "src/${_name}: ${_line} (${why})")
            endif()
        endforeach()
    endforeach()
    set(_faults "${_faults}" PARENT_SCOPE)
endfunction()

_check_layer(core "[<\"](gui|app)/" "the core includes no window or program header")
_check_layer(core "<Q[A-Za-z]*>" "the core includes no Qt header")
_check_layer(gui "[<\"]app/" "the windows include no header of the program")

# Inside the core: a topic includes itself and the topics below it.
file(GLOB _topic_dirs LIST_DIRECTORIES true "${SOURCE_DIR}/core/*")
foreach(_dir IN LISTS _topic_dirs)
    if(NOT IS_DIRECTORY "${_dir}")
        continue()
    endif()
    get_filename_component(_topic "${_dir}" NAME)
    list(FIND _core_topics "${_topic}" _rank)
    if(_rank LESS 0)
        list(APPEND _faults "src/core/${_topic}: a topic without a place in the order of "
                            "tests/layers.cmake")
        continue()
    endif()
    file(GLOB_RECURSE _files "${_dir}/*.h" "${_dir}/*.cpp")
    foreach(_file IN LISTS _files)
        file(STRINGS "${_file}" _lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z]+/")
        foreach(_line IN LISTS _lines)
            string(REGEX MATCH "\"([a-z]+)/" _ "${_line}")
            list(FIND _core_topics "${CMAKE_MATCH_1}" _included)
            if(_included GREATER _rank)
                file(RELATIVE_PATH _name "${SOURCE_DIR}" "${_file}")
                string(STRIP "${_line}" _line)
                list(APPEND _faults
                     "src/${_name}: ${_line} (${_topic} is below ${CMAKE_MATCH_1} in the core)")
            endif()
        endforeach()
    endforeach()
endforeach()

if(_faults)
    list(JOIN _faults "\n" _text)
    message(FATAL_ERROR "Includes against the layers (app -> gui -> core, core topics from "
                        "cli down to base):\n${_text}")
endif()
list(JOIN _core_topics " -> " _order)
message(STATUS "layers: every include runs app -> gui -> core, and in the core ${_order} upwards")

# Fails when an include runs against the layers of src/:
#   - app -> gui -> core: the core names no file of gui/ or app/ and no Qt header, gui/ names no
#     file of app/;
#   - inside the core, a topic names only files of its own topic and of the topics below it;
#   - the shared window services at the top of gui/ name no file of a window family (gui/main/ …).
# Every include, quoted or angled, with or without "..", is resolved to the file it names, as the
# compiler would find it: a quoted one beside the including file first, then in the include folders
# of the layers (src/core, src). What resolves to no file of src/ is a system or generated header:
# only the Qt rule looks at those. Run as
#   cmake -DSOURCE_DIR=<src> [-DSTAMP=<file>] -P layers.cmake
# The build runs it before the core is compiled (src/CMakeLists.txt); STAMP is touched on success.
cmake_minimum_required(VERSION 3.25)

# The topics of the core from the bottom up: each includes only those before it. A new folder of
# the core takes its place here, or the check fails.
set(_core_topics base config selection script rename textinsert check process batch job session
                 usecases texts cli)
set(_layers core gui app)

# With its final separator.
cmake_path(SET _src NORMALIZE "${SOURCE_DIR}/")
set(_roots "${_src}core" "${_src}.")
set(_faults "")

# The place of a file of src/: its layer ("core", "gui", "app"), and inside it its folder ("base"
# for src/core/base/…, "main" for src/gui/main/…, "" for a file at the top of its layer).
function(_place path layer_var folder_var)
    set(${layer_var} "" PARENT_SCOPE)
    set(${folder_var} "" PARENT_SCOPE)
    string(LENGTH "${_src}" _length)
    string(SUBSTRING "${path}" 0 ${_length} _start)
    if(NOT _start STREQUAL _src)
        return()
    endif()
    string(SUBSTRING "${path}" ${_length} -1 _rest)
    string(REPLACE "/" ";" _parts "${_rest}")
    list(LENGTH _parts _count)
    list(GET _parts 0 _layer)
    set(${layer_var} "${_layer}" PARENT_SCOPE)
    if(_count GREATER 2)
        list(GET _parts 1 _folder)
        set(${folder_var} "${_folder}" PARENT_SCOPE)
    endif()
endfunction()

# The file of src/ that an include names, or "" when it names none.
function(_resolve file quote name result_var)
    set(_candidates "")
    if(quote STREQUAL "\"")
        cmake_path(GET file PARENT_PATH _here)
        list(APPEND _candidates "${_here}/${name}")
    endif()
    foreach(_root IN LISTS _roots)
        list(APPEND _candidates "${_root}/${name}")
    endforeach()
    foreach(_candidate IN LISTS _candidates)
        cmake_path(NORMAL_PATH _candidate)
        if(EXISTS "${_candidate}" AND NOT IS_DIRECTORY "${_candidate}")
            set(${result_var} "${_candidate}" PARENT_SCOPE)
            return()
        endif()
    endforeach()
    set(${result_var} "" PARENT_SCOPE)
endfunction()

function(_fault file line target rule)
    file(RELATIVE_PATH _from "${_src}.." "${file}")
    string(STRIP "${line}" _line)
    if(target)
        file(RELATIVE_PATH _to "${_src}.." "${target}")
        set(_text "${_from} includes ${_to} (${_line}): ${rule}")
    else()
        set(_text "${_from}: ${_line}: ${rule}")
    endif()
    list(APPEND _faults "${_text}")
    set(_faults "${_faults}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE _files "${_src}*.h" "${_src}*.cpp")
foreach(_file IN LISTS _files)
    _place("${_file}" _layer _folder)
    list(FIND _layers "${_layer}" _layer_rank)
    if(_layer_rank LESS 0)
        continue()
    endif()
    if(_layer STREQUAL "core")
        list(FIND _core_topics "${_folder}" _topic_rank)
        if(_topic_rank LESS 0)
            _fault("${_file}" "" "" "a topic without a place in the order of cmake/layers.cmake")
            continue()
        endif()
    endif()
    file(STRINGS "${_file}" _lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(_line IN LISTS _lines)
        if(NOT _line MATCHES "#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
            continue()
        endif()
        set(_quote "${CMAKE_MATCH_1}")
        set(_name "${CMAKE_MATCH_2}")
        _resolve("${_file}" "${_quote}" "${_name}" _target)
        if(NOT _target)
            if(_layer STREQUAL "core" AND _name MATCHES "^Q[A-Za-z]")
                _fault("${_file}" "${_line}" "" "the core is standard C++ and names no Qt header")
            endif()
            continue()
        endif()
        _place("${_target}" _target_layer _target_folder)
        list(FIND _layers "${_target_layer}" _target_rank)
        if(_target_rank GREATER _layer_rank)
            _fault("${_file}" "${_line}" "${_target}"
                   "includes run app -> gui -> core, so ${_layer} names no file of ${_target_layer}")
        elseif(_layer STREQUAL "core")
            list(FIND _core_topics "${_target_folder}" _included_rank)
            if(_included_rank GREATER _topic_rank)
                _fault("${_file}" "${_line}" "${_target}"
                       "a topic of the core names only itself and the topics below it, and \
${_folder} is below ${_target_folder}")
            endif()
        elseif(_layer STREQUAL "gui" AND _folder STREQUAL "" AND _target_layer STREQUAL "gui"
               AND NOT _target_folder STREQUAL "")
            _fault("${_file}" "${_line}" "${_target}"
                   "the window services at the top of gui/ name no file of a window family")
        endif()
    endforeach()
endforeach()

if(_faults)
    list(JOIN _faults "\n  " _text)
    message(FATAL_ERROR "Includes against the layers (app -> gui -> core; in the core "
                        "cli down to base; gui's services below its window families):\n  ${_text}")
endif()
if(STAMP)
    file(TOUCH "${STAMP}")
endif()

# Fails when an include runs against the layers: app -> gui -> core. The core names no header of
# gui/ or app/ and no Qt header; gui/ names no header of app/. Run as
#   cmake -DSOURCE_DIR=<src> -P layers.cmake
set(_faults "")

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

if(_faults)
    list(JOIN _faults "\n" _text)
    message(FATAL_ERROR "Includes against the layers (app -> gui -> core):\n${_text}")
endif()
message(STATUS "layers: every include runs app -> gui -> core")

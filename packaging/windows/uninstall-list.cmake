# Writes the NSIS lines that remove what the installer put in place: every file of the deploy
# folder by name, then its sub-folders deepest first with RMDir, which leaves a folder that still
# holds something. Files the program or the user made there stay.
#   cmake -DDEPLOY_DIR=FOLDER -DOUTPUT=FILE.nsh -P uninstall-list.cmake
file(GLOB_RECURSE _files LIST_DIRECTORIES false RELATIVE ${DEPLOY_DIR} ${DEPLOY_DIR}/*)
file(GLOB_RECURSE _folders LIST_DIRECTORIES true RELATIVE ${DEPLOY_DIR} ${DEPLOY_DIR}/*)
if(NOT _files)
    message(FATAL_ERROR "${DEPLOY_DIR} is empty: build the target deploy first")
endif()
list(REMOVE_ITEM _folders ${_files})
list(SORT _files)
# Deepest first: a longer path sorts after its parent, so the reverse order puts it before.
list(SORT _folders)
list(REVERSE _folders)
set(_lines "; Made by packaging/windows/uninstall-list.cmake from ${DEPLOY_DIR}\n")
foreach(_file IN LISTS _files)
    string(REPLACE "/" "\\" _file ${_file})
    string(APPEND _lines "Delete \"$INSTDIR\\${_file}\"\n")
endforeach()
foreach(_folder IN LISTS _folders)
    string(REPLACE "/" "\\" _folder ${_folder})
    string(APPEND _lines "RMDir \"$INSTDIR\\${_folder}\"\n")
endforeach()
file(WRITE ${OUTPUT} "${_lines}")

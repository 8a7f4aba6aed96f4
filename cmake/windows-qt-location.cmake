# Where scripts/build-windows.sh keeps the static Qt for Windows: in the user's cache, outside
# build/, so that deleting build/ does not cost the long Qt build. Run with `cmake -P` it prints
# where the Qt is installed.
if(NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
    set(BRIGHTFOLD_WINDOWS_QT_CACHE "$ENV{XDG_CACHE_HOME}/brightfold/qt6-windows")
else()
    set(BRIGHTFOLD_WINDOWS_QT_CACHE "$ENV{HOME}/.cache/brightfold/qt6-windows")
endif()
# The installed Qt, inside that folder.
set(BRIGHTFOLD_WINDOWS_QT_PREFIX "${BRIGHTFOLD_WINDOWS_QT_CACHE}/qt")

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${BRIGHTFOLD_WINDOWS_QT_PREFIX}")
endif()

# Where scripts/build-windows.sh installs the static Qt for Windows: a fixed folder of the Debian 13
# chroot that every Windows build runs in (scripts/debian-chroot.sh), so that no folder of the
# building machine gets into the Qt or the executables. Run with `cmake -P` it prints the folder.
set(BRIGHTFOLD_WINDOWS_QT_PREFIX /opt/qt6-windows)

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${BRIGHTFOLD_WINDOWS_QT_PREFIX}")
endif()

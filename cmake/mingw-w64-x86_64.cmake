# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (posix threads). Used for both the
# static Qt for Windows that scripts/build-windows.sh builds and Brightfold itself (the windows
# preset).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)

include(${CMAKE_CURRENT_LIST_DIR}/windows-qt-location.cmake)
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple} ${BRIGHTFOLD_WINDOWS_QT_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every function and every datum in a section of its own, so that the linker leaves out what the
# program never reaches, of Qt's code too; and one self-contained executable: the C and C++
# runtimes and winpthread linked in, not as DLLs.
set(CMAKE_C_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--gc-sections")

# moc, rcc and uic come from the host's Qt of the same version (qt6-base-dev-tools).
set(QT_HOST_PATH /usr)
# In the multiarch folder of the machine that builds, whichever processor it has (dpkg's "build"
# architecture; without CC, from which dpkg would guess another).
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=CC dpkg-architecture -qDEB_BUILD_MULTIARCH
    OUTPUT_VARIABLE build_multiarch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${build_multiarch}/cmake)

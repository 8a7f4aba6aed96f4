# Initial cache for configuring Debian 13's qtbase source (Qt 6.8) for Windows (cmake -C): a static
# release Qt with only what Brightfold needs: Core, Gui, Widgets and Test, the Windows and
# offscreen platform plugins, and the Windows styles.
set(CMAKE_BUILD_TYPE Release CACHE STRING "")
set(BUILD_SHARED_LIBS OFF CACHE BOOL "")
set(QT_BUILD_EXAMPLES OFF CACHE BOOL "")
set(QT_BUILD_TESTS OFF CACHE BOOL "")

foreach(unused_module IN ITEMS sql network dbus printsupport concurrent xml)
    set(FEATURE_${unused_module} OFF CACHE BOOL "")
endforeach()
# No OpenGL, as configure's -no-opengl: the program draws with the raster engine only.
set(INPUT_opengl no CACHE STRING "")
# The second Windows platform plugin, direct2d, is built too, though the program uses the plain
# one: Qt 6.8.2 does not compile without the Direct2D feature while DirectWrite, the default font
# engine since Qt 6.8, is on (qwindowsfontdatabasebase.cpp defines a class only with both that
# its header declares with DirectWrite alone).
# QtCore carries the MIME type database gzip-compressed. CMake's file(ARCHIVE_CREATE), which Qt
# uses for that by default, writes the time of the build into the gzip header, so two builds of
# this Qt, and the programs linked with them, differed in those four bytes; the gzip command, which
# Qt runs instead with this option, is given -n and writes no time.
set(QT_AVOID_CMAKE_ARCHIVING_API ON CACHE BOOL "")
# Qt's unity build compiles its sources in batches of 32, one compiler run a batch: on 2 cores the
# Qt takes a fraction of the time (docs/windows.md). The batches are the same on every host.
set(QT_UNITY_BUILD ON CACHE BOOL "")
# Debian's source leaves out the tablet header wintab.h.
set(FEATURE_tabletevent OFF CACHE BOOL "")
# Image formats the program does not use.
set(FEATURE_jpeg OFF CACHE BOOL "")
set(FEATURE_gif OFF CACHE BOOL "")

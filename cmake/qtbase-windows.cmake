# Initial cache for configuring Debian's qtbase source for Windows (cmake -C): a static release
# Qt with only what Brightfold needs: Core, Gui, Widgets and Test, the Windows and offscreen
# platform plugins.
set(CMAKE_BUILD_TYPE Release CACHE STRING "")
set(BUILD_SHARED_LIBS OFF CACHE BOOL "")
set(QT_BUILD_EXAMPLES OFF CACHE BOOL "")
set(QT_BUILD_TESTS OFF CACHE BOOL "")

foreach(unused_module IN ITEMS sql network dbus printsupport concurrent xml)
    set(FEATURE_${unused_module} OFF CACHE BOOL "")
endforeach()
# No OpenGL, as configure's -no-opengl: this also turns off the dynamic OpenGL loading without
# which Qt 6.4.2's Windows platform plugin does not compile when OpenGL is off.
set(INPUT_opengl no CACHE STRING "")
# Debian's source leaves out the tablet header wintab.h.
set(FEATURE_tabletevent OFF CACHE BOOL "")
# Image formats the program does not use.
set(FEATURE_jpeg OFF CACHE BOOL "")
set(FEATURE_gif OFF CACHE BOOL "")

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
# Compiled for size (-Os) rather than Qt's -O3: the program's windows do little work, and its
# installer is what a user downloads.
set(FEATURE_optimize_size ON CACHE BOOL "")
# Debian's source leaves out the tablet header wintab.h.
set(FEATURE_tabletevent OFF CACHE BOOL "")

# Only what the program shows: a dialog of labels, text boxes, option buttons and push buttons, and
# message boxes. A feature turned off takes those that need it along (Qt's configure). Kept, of
# what Qt could leave out: the Windows and Fusion styles and their animations, accessibility (UI
# Automation), the text box's context menu, clipboard, drag and drop and input methods, validators,
# tool tips, DirectWrite and FreeType with HarfBuzz, PNG for the program icon, and the offscreen
# platform the tests run on.
function(turn_off)
    foreach(feature IN LISTS ARGN)
        set(FEATURE_${feature} OFF CACHE BOOL "")
    endforeach()
endfunction()
# Widgets the windows do not have. The Windows styles include the headers of, cast to, or draw
# with the options of combo boxes, spin boxes, list, tree and table views with their headers, tab
# bars and tab widgets (which need tool buttons), tool bars (which need main windows), text
# editors, graphics views and their effects, command link buttons and input dialogs without asking
# whether they are there (Qt 6.8.2's modernwindows plugin), so those stay, with what they need:
# scroll areas, sliders, stacked widgets and the item views; as group boxes do.
turn_off(splashscreen splitter lcdnumber toolbox dockwidget mdiarea
    statusbar statustip progressbar scroller rubberband sizegrip keysequenceedit effects
    whatsthis columnview listwidget treewidget tablewidget calendarwidget datetimeedit completer
    fontcombobox)
# Dialogs other than message boxes, and the input dialog above.
turn_off(colordialog progressdialog errormessage wizard filedialog fontdialog)
# Rich-text documents beyond a label's, undo stacks, printing to PDF. (Style sheets stay: the
# Windows 11 style asks the application for its style sheet unconditionally.)
turn_off(textmarkdownreader textmarkdownwriter textodfwriter undocommand undostack undogroup pdf
    picture)
# Images: PNG, which the icon's images are, and XPM, which the Windows platform plugin's cursors are.
turn_off(jpeg gif ico movie imageformat_ppm imageformat_xbm image_heuristic_mask image_text)
# The desktop beyond the windows: tray icons, opening links and files, session management,
# gestures, Vulkan.
turn_off(systemtrayicon desktopservices sessionmanager gestures vulkan)
# Item models beyond the abstract ones (which accessibility uses) and the standard one (which combo
# boxes need), the MIME database, processes, file watching, XML, command lines, time zones and the
# calendars other than the Gregorian, shared memory and semaphores. (Regular expressions stay: with
# them off, Qt 6.8.2's configure still requires the PCRE2 library; settings too: the Windows
# platform plugin includes QSettings unconditionally.)
turn_off(proxymodel stringlistmodel mimetype process processenvironment
    filesystemwatcher xmlstream commandlineparser timezone jalalicalendar hijricalendar
    islamiccivilcalendar datetimeparser sharedmemory systemsemaphore permissions)

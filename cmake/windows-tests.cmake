# The test suite of a Windows build, run here under Debian's wine, in a wine prefix of its own in
# the build folder: as CMAKE_CROSSCOMPILING_EMULATOR, it starts each test executable, so ctest
# works unchanged. Included by tests/CMakeLists.txt before it adds its tests.
set(wine_prefix ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_SOURCE_DIR}/windows/run-under-wine.sh
    ${wine_prefix})

# Wine makes its prefix (the emulated C: drive and registry) on first start; made once, before
# every other test, tests cannot race to make it.
add_test(NAME wine_prefix COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300)

# The tests' Windows locale is the German one (below), whose numbers have a decimal comma: wine
# takes it from LC_ALL, as long as the system has that locale.
add_test(NAME wine_locale
    COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} reg query "HKCU\\Control Panel\\International" /v sDecimal)
set_tests_properties(wine_locale PROPERTIES PASS_REGULAR_EXPRESSION "sDecimal[ \t]+REG_SZ[ \t]+,")

# Brightfold.exe started by wine, for scripts that start the program by one path.
include(${CMAKE_CURRENT_LIST_DIR}/shell-script.cmake)
brightfold_shell_script(brightfold_under_wine ${CMAKE_CURRENT_BINARY_DIR}/brightfold-under-wine.sh
    ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:Brightfold>)

# The real program on a virtual X display under a window manager, as on Linux, by the keyboard
# only (wine offers no accessibility bus): Escape leaves the login window.
add_test(NAME endtoend_wine
    COMMAND xvfb-run -a -s "-screen 0 1024x768x24 -noreset" dbus-run-session --
        ${CMAKE_CURRENT_SOURCE_DIR}/endtoend.py ${CMAKE_CURRENT_BINARY_DIR}/brightfold-under-wine.sh
        --keyboard-only)
set_tests_properties(endtoend_wine PROPERTIES TIMEOUT 120 ENVIRONMENT QT_QPA_PLATFORM=windows)

# The real program as a Windows screen reader reads it over UI Automation, and what it announces.
add_executable(uia_client windows/uia-client.cpp)
target_link_libraries(uia_client PRIVATE ole32 oleaut32 brightfold_warnings)
add_test(NAME uia_wine
    COMMAND xvfb-run -a -s "-screen 0 1024x768x24" ${CMAKE_CURRENT_SOURCE_DIR}/windows/uia.sh
        $<TARGET_FILE:Brightfold> $<TARGET_FILE:uia_client> ${CMAKE_CROSSCOMPILING_EMULATOR})
set_tests_properties(uia_wine PROPERTIES TIMEOUT 120 ENVIRONMENT QT_QPA_PLATFORM=windows)

# The windows' look on Windows's own platform plugin, on a virtual X display.
add_test(NAME native_style
    COMMAND xvfb-run -a ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:tst_brightfold> nativeStyle)
set_tests_properties(native_style PROPERTIES TIMEOUT 120 ENVIRONMENT QT_QPA_PLATFORM=windows
    FAIL_REGULAR_EXPRESSION "SKIP")

# The executable as Windows sees it, read back with icoutils and objdump.
add_test(NAME exe_resources
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/windows/exe-resources.sh $<TARGET_FILE:Brightfold>
        "${BRIGHTFOLD_TITLE}" "${BRIGHTFOLD_COMPANY}" "${BRIGHTFOLD_VERSION_TEXT}"
        ${PROJECT_VERSION} ${CMAKE_OBJDUMP} ${wine_prefix}/drive_c/windows/system32)

# The release files (packaging/windows) as they are deployed: signed, installed, upgraded, refused
# a downgrade and uninstalled by wine's msiexec, on a virtual X display for the program's login
# window and the installer's message box.
add_test(NAME installer_wine
    COMMAND xvfb-run -a -s "-screen 0 1024x768x24" ${CMAKE_CURRENT_SOURCE_DIR}/windows/installer.sh
        ${CMAKE_BINARY_DIR}/package-windows.sh ${PROJECT_SOURCE_DIR}/packaging/windows/make-msi.py
        ${CMAKE_BINARY_DIR}/packaging/brightfold.wxs $<TARGET_FILE:Brightfold> ${PROJECT_VERSION}
        "Login - \"${BRIGHTFOLD_COMPANY}\" ${BRIGHTFOLD_TITLE}" ${CMAKE_CROSSCOMPILING_EMULATOR})
set_tests_properties(installer_wine PROPERTIES TIMEOUT 300)

# The offscreen platform plugin on Windows draws with the fonts of one folder only, not the
# system's: the one that holds the font the Linux build's tests draw with.
execute_process(COMMAND fc-match --format=%{file} "Liberation Sans"
    OUTPUT_VARIABLE test_font_file COMMAND_ERROR_IS_FATAL ANY)
cmake_path(GET test_font_file PARENT_PATH test_font_folder)

# Once every test of the folder is added: a static Qt links in only the platform plugins it is
# asked for, and the headless tests need the offscreen one. Every test waits for the prefix, and
# runs as a Windows user whose locale writes numbers with a decimal comma, which the program's
# text forms of numbers must not take on.
function(brightfold_finish_windows_tests)
    get_directory_property(targets BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "EXECUTABLE")
            qt_import_plugins(${target} INCLUDE Qt6::QOffscreenIntegrationPlugin)
        endif()
    endforeach()
    get_directory_property(tests TESTS)
    list(REMOVE_ITEM tests wine_prefix)
    set_tests_properties(${tests} PROPERTIES FIXTURES_REQUIRED wine_prefix
        ENVIRONMENT_MODIFICATION "QT_QPA_FONTDIR=set:${test_font_folder};LC_ALL=set:de_DE.UTF-8")
endfunction()
cmake_language(DEFER CALL brightfold_finish_windows_tests)

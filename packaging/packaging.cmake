# Installing Brightfold, and on Linux packing it as a Debian package. Included at the end of the
# top-level CMakeLists.txt, once the Brightfold target and resources/ exist. Every name, version
# and address below comes from the product data set there. Three sets of files, by component:
#   program  the executable and, on Unix desktops, its desktop entry, metadata and icons
#   plain    on Unix, the licence and the manual page as they are (cmake --install installs both)
#   debian   the Debian package's forms of them: the copyright file in Debian's format, the
#            changelog and the manual page compressed (only the package installs these)
include(GNUInstallDirs)

install(TARGETS Brightfold RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)

string(TOLOWER ${BRIGHTFOLD_TITLE} brightfold_package)
string(REGEX REPLACE "^www\\." "" brightfold_mail_domain ${BRIGHTFOLD_WEB_ADDRESS})
set(brightfold_maintainer "${BRIGHTFOLD_COMPANY} <${brightfold_package}@${brightfold_mail_domain}>")
# The command, as the manual page and the metadata name it.
get_target_property(brightfold_command Brightfold OUTPUT_NAME)
if(NOT brightfold_command)
    set(brightfold_command Brightfold)
endif()
string(TOUPPER ${brightfold_command} brightfold_command_upper)
set(brightfold_summary "Convert temperatures after logging in")
string(SUBSTRING ${brightfold_summary} 0 1 first)
string(SUBSTRING ${brightfold_summary} 1 -1 rest)
string(TOLOWER ${first} first)
set(brightfold_man_summary "${first}${rest}")
# Broken into lines for the Debian package's description, joined for the AppStream metadata.
set(brightfold_description "${BRIGHTFOLD_TITLE} asks for a user name and the password that all \
its\nusers share, then converts temperatures between Celsius, Fahrenheit and\nKelvin in a second \
window that greets the user by name.")
string(REPLACE "\n" " " brightfold_description_paragraph ${brightfold_description})
# Where the web site publishes docs/screenshots/ for software centres to show.
set(brightfold_screenshots_url "${PROJECT_HOMEPAGE_URL}/screenshots")

# What is generated from the templates here.
set(generated ${CMAKE_BINARY_DIR}/packaging)
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/windows/windows.cmake)
endif()
if(NOT UNIX)
    return()
endif()

# Fills in a template: the product data (@NAME@), then the generator expressions that name the
# executable.
function(brightfold_generate template output)
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${template} ${generated}/${template} @ONLY)
    file(GENERATE OUTPUT ${generated}/${output} INPUT ${generated}/${template})
endfunction()

# The release date is the latest changelog entry's, as the metadata and manual page give it.
set(changelog_template ${CMAKE_CURRENT_LIST_DIR}/changelog.in)
file(STRINGS ${changelog_template} release_line REGEX "^ -- " LIMIT_COUNT 1)
if(NOT release_line MATCHES ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    message(FATAL_ERROR "${changelog_template}: no date in the latest entry's last line")
endif()
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months ${CMAKE_MATCH_2} month)
math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
if(month LESS 10)
    set(month 0${month})
endif()
set(brightfold_release_date ${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1})

# The desktop entry and the metadata carry the id that the program gives its windows, and name
# the icon by it, which the hicolor theme provides at every size.
brightfold_generate(brightfold.desktop.in ${BRIGHTFOLD_APP_ID}.desktop)
install(FILES ${generated}/${BRIGHTFOLD_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT program)
brightfold_generate(brightfold.metainfo.xml.in ${BRIGHTFOLD_APP_ID}.metainfo.xml)
install(FILES ${generated}/${BRIGHTFOLD_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT program)

set(icon_theme ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
foreach(icon IN LISTS BRIGHTFOLD_THEME_ICONS)
    string(REGEX REPLACE "^.*-([0-9]+)\\.png$" "\\1" size ${icon})
    install(FILES ${icon} DESTINATION ${icon_theme}/${size}x${size}/apps
        RENAME ${BRIGHTFOLD_APP_ID}.png COMPONENT program)
endforeach()
install(FILES ${BRIGHTFOLD_SCALABLE_ICON} DESTINATION ${icon_theme}/scalable/apps
    RENAME ${BRIGHTFOLD_APP_ID}.svg COMPONENT program)

# The manual page, named after the executable, and the licence.
set(manual_page ${generated}/${brightfold_command}.1)
brightfold_generate(brightfold.1.in ${brightfold_command}.1)
set(package_doc ${CMAKE_INSTALL_DATADIR}/doc/${brightfold_package})
set(licence_file ${PROJECT_SOURCE_DIR}/LICENSE)
install(FILES ${manual_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT plain)
install(FILES ${licence_file} DESTINATION ${package_doc} COMPONENT plain)
if(NOT LINUX)
    return()
endif()

# The copyright file in Debian's machine-readable format, from LICENSE: its copyright line, and
# the licence text indented, each blank line a lone dot.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${licence_file})
file(READ ${licence_file} licence)
if(NOT licence MATCHES "\nCopyright \\(c\\) ([^\n]+)\n\n(.*[^\n])\n*$")
    message(FATAL_ERROR "${licence_file}: no copyright line followed by the licence text")
endif()
set(brightfold_copyright ${CMAKE_MATCH_1})
string(REPLACE "\n\n" "\n.\n" licence_text "${CMAKE_MATCH_2}")
string(REPLACE "\n" "\n " brightfold_licence_text " ${licence_text}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${generated}/copyright @ONLY)

# The manual page and the changelog compressed as gzip -9n makes them, without name or time stamp.
configure_file(${changelog_template} ${generated}/changelog @ONLY)
set(compressed)
foreach(file IN ITEMS ${manual_page} ${generated}/changelog)
    add_custom_command(OUTPUT ${file}.gz COMMAND gzip -9nkf ${file} DEPENDS ${file} VERBATIM)
    list(APPEND compressed ${file}.gz)
endforeach()
add_custom_target(brightfold_compressed_docs ALL DEPENDS ${compressed})
install(FILES ${manual_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
    COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${generated}/copyright ${generated}/changelog.gz DESTINATION ${package_doc}
    COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
# One package of the program's files and the Debian forms of the licence and manual page.
set(CPACK_COMPONENTS_ALL program debian)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_PACKAGE_NAME ${brightfold_package})
set(CPACK_PACKAGE_VENDOR ${BRIGHTFOLD_COMPANY})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${brightfold_summary})
set(CPACK_PACKAGE_DESCRIPTION ${brightfold_description})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${brightfold_maintainer})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
# The Depends line: the libraries the executable links, found by dpkg-shlibdeps, and the font
# the windows are laid out for (runtime/fonts.cpp), which either package provides.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation | fonts-liberation2")
# On a Wayland desktop (GNOME's is Wayland only) the windows draw their own title bars; Qt's
# decoration that looks like GNOME's and follows its button layout is in qt6-wayland, without
# which every window, fixed-size ones too, shows minimise and maximise (docs/development.md).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)

# Installing Brightfold on a Linux desktop and packing it as the Debian package brightfold.
# Included at the end of the top-level CMakeLists.txt, once the Brightfold target and
# resources/ exist.
include(GNUInstallDirs)

install(TARGETS Brightfold RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The desktop entry names the icon, which the hicolor theme provides at every size.
configure_file(${CMAKE_CURRENT_LIST_DIR}/brightfold.desktop.in
    ${CMAKE_BINARY_DIR}/packaging/brightfold.desktop.in @ONLY)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/packaging/brightfold.desktop
    INPUT ${CMAKE_BINARY_DIR}/packaging/brightfold.desktop.in)
install(FILES ${CMAKE_BINARY_DIR}/packaging/brightfold.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

set(icon_theme ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
foreach(icon IN LISTS BRIGHTFOLD_THEME_ICONS)
    string(REGEX REPLACE "^.*-([0-9]+)\\.png$" "\\1" size ${icon})
    install(FILES ${icon} DESTINATION ${icon_theme}/${size}x${size}/apps RENAME brightfold.png)
endforeach()
install(FILES ${BRIGHTFOLD_SCALABLE_ICON} DESTINATION ${icon_theme}/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brightfold)
set(CPACK_PACKAGE_VENDOR ${BRIGHTFOLD_COMPANY})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "temperature converter behind a login window")
set(CPACK_PACKAGE_DESCRIPTION
    "${BRIGHTFOLD_TITLE} asks for a user name and password, then converts\ntemperatures in a second window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${BRIGHTFOLD_COMPANY} <brightfold@orvane.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
# The Depends line: the libraries the executable links, found by dpkg-shlibdeps, and the font
# the windows are laid out for (runtime/fonts.cpp), which either package provides.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation | fonts-liberation2")
include(CPack)

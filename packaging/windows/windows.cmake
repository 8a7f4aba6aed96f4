# Brightfold's Windows release files: the WiX source of its Windows Installer package, filled in
# with the product data, and package-windows.sh in the build folder, which makes the release
# files from the built executable (scripts/release-windows.sh, the installer test). Included by
# packaging.cmake on Windows.
set(brightfold_wxs ${generated}/brightfold.wxs)
# wixl finds files by paths relative to the WiX source's folder.
file(RELATIVE_PATH brightfold_ico_from_wxs ${generated} ${BRIGHTFOLD_ICO})
configure_file(${CMAKE_CURRENT_LIST_DIR}/brightfold.wxs.in ${brightfold_wxs} @ONLY)

include(${PROJECT_SOURCE_DIR}/cmake/shell-script.cmake)
brightfold_shell_script(package_windows ${CMAKE_BINARY_DIR}/package-windows.sh
    ${CMAKE_CURRENT_LIST_DIR}/package.sh $<TARGET_FILE:Brightfold> ${brightfold_wxs}
    ${BRIGHTFOLD_TITLE} ${PROJECT_VERSION} ${PROJECT_HOMEPAGE_URL})

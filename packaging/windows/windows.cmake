# Brightfold's Windows release files: the WiX source of its Windows Installer package, filled in
# with the product data, and package-windows.sh in the build folder, which makes the release
# files from the built executable (scripts/release-windows.sh, the installer test). Included by
# packaging.cmake on Windows.
set(brightfold_wxs ${generated}/brightfold.wxs)
# wixl finds files by paths relative to the WiX source's folder.
file(RELATIVE_PATH brightfold_ico_from_wxs ${generated} ${BRIGHTFOLD_ICO})
configure_file(${CMAKE_CURRENT_LIST_DIR}/brightfold.wxs.in ${brightfold_wxs} @ONLY)

set(package_command ${CMAKE_CURRENT_LIST_DIR}/package.sh $<TARGET_FILE:Brightfold> ${brightfold_wxs}
    ${BRIGHTFOLD_TITLE} ${PROJECT_VERSION} ${PROJECT_HOMEPAGE_URL})
list(TRANSFORM package_command REPLACE "(.+)" "'\\1'")
list(JOIN package_command " " package_command)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/package-windows.sh
    CONTENT "#!/bin/sh\n# Makes the Windows release files in the folder given.\n\
exec ${package_command} \"$@\"\n"
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
        WORLD_EXECUTE)

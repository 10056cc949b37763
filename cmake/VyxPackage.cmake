# The Debian package: `cpack -G DEB` in the release build folder. It holds every
# installed file: vyxtool, vyx-sim, vyxctl when it is built, and the desktop
# entry, metainfo, icons, man pages, copyright file, changelog and udev rule of
# packaging/.
set(VYX_PACKAGE_MAINTAINER "VyxTool maintainers <vyxtool@vyx.example.com>" CACHE STRING
    "Maintainer named in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vyxtool)
set(CPACK_PACKAGE_VERSION ${VYX_VERSION})
set(CPACK_PACKAGE_CONTACT ${VYX_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service tool for the Vyx driver-behaviour monitor")
# Lines of at most 80 characters: dpkg shows the description as it is written.
set(CPACK_PACKAGE_DESCRIPTION [[
VyxTool updates the firmware of a Vyx connected by USB, reads its
configuration, repairs, edits and writes it, and lists the text commands that
configure a device remotely.

The package holds three programs: vyxtool, the window; vyxctl, the same device
work from the command line, for preparing many vehicles with one configuration
profile; and vyx-sim, a simulated Vyx for training and trying the tool without
a device.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Stripped by the script CPack runs on the staged files, as lintian asks.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/StripPackaged.cmake)
set(CPACK_VYX_STRIP ${CMAKE_STRIP})
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VYX_MAKER_URL})
# The libraries the programs link, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)

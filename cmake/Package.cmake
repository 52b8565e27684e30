# The Debian package: `cpack -G DEB` in the build folder (or ./scripts/package.sh)
# writes vx27-mouse_<version>_<arch>.deb from the install rules of Install.cmake
# with the prefix /usr. The version is the program's; the shared-library
# dependencies are computed by dpkg-shlibdeps.

# Maintainer scripts, one template: reload the udev rules after installation
# and after removal.
function(vx27_maintainer_script SCRIPT WHEN ACTIONS)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/udev-reload.sh.in ${VX27_PACKAGING_DIR}/debian/${SCRIPT}
                 @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                 GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endfunction()
vx27_maintainer_script(postinst "installation" "configure")
vx27_maintainer_script(postrm "removal" "remove|purge")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${VX27_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${VX27_PACKAGE_MAINTAINER}")
# Install with DESTDIR and the real prefix, so that the links of Install.cmake
# are worked out against /usr, not against CPack's staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VX27_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps finds the libraries the executables link; what they load at
# run time is named here: the fonts Font/ links to, and Qt's SVG image plugin
# that draws the skin's SVG images.
list(JOIN VX27_FONT_PACKAGES ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"configuration tool for VX27 gaming mice, keyboards, pads and headsets
VX27 MOUSE sets up a family of USB gaming peripherals: a mouse, a keyboard, a
lit mouse pad and a USB headset, by cable or through their 2.4 GHz receiver.
It assigns keys and buttons, lighting effects and colours, macros, DPI stages
and sensor options, and the headset's equaliser and microphone, and keeps them
in profiles.

The package also holds vx27ctl, a command-line tool on the same core, and udev
rules that let the user logged in at the seat use the supported devices.")
# Files under /etc are the administrator's: dpkg keeps their edits on upgrade.
file(WRITE ${VX27_PACKAGING_DIR}/debian/conffiles "/etc/xdg/autostart/vx27audiorecord.desktop\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${VX27_PACKAGING_DIR}/debian/postinst ${VX27_PACKAGING_DIR}/debian/postrm ${VX27_PACKAGING_DIR}/debian/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

include(CPack)

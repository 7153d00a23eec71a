# SPDX-License-Identifier: MIT
# `cmake --build --preset release --target package` writes
# trilume_<version>_amd64.deb into the build folder. The package installs
# under /usr whatever CMAKE_INSTALL_PREFIX says, with stripped programs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trilume)
set(CPACK_PACKAGE_VENDOR "The TRILUME developers")
set(CPACK_PACKAGE_CONTACT "The TRILUME developers <trilume@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "analogue clock whose hand tips form a triangle")
# The Debian long description, below the summary: lines under 80 columns,
# a lone "." between paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "TRILUME is a desktop analogue clock that draws no ordinary dial. The tips
of the hour, minute and second hands are the corners of a triangle. Many
times a second the clock measures that triangle, names it in its title bar
(scalene, isosceles, right, equilateral or alignment; obtuse or acute) and
draws it with overlays and a fading trace of the last moments' triangles.
.
A click on the clock opens a control panel that switches the overlays, the
trace and its colours and seven ways for the second hand to move, and can
set the whole clock drifting and bouncing inside its window.
.
The package also holds trilume-render, which runs the same clock without a
window and prints what it computed as text or JSON, or writes a PNG or an
animated GIF.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/trilume/trilume")
# The libraries (Qt, giflib) come from dpkg-shlibdeps. The canvas font is
# opened by its file name, QIcon::fromTheme finds the window icon only
# through the hicolor theme's index, and the SVG icon and Wayland sessions
# need Qt plugins, none of which the linker sees.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Liberation Sans 2 is fonts-liberation from Debian 13 on, fonts-liberation2
# before.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation (>= 1:2) | fonts-liberation2, hicolor-icon-theme")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6svg6, qt6-wayland")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
# Two builds of one commit make the same bytes: every file in the package
# carries the changelog's date (TRILUME_SOURCE_DATE_EPOCH, from
# packaging/CMakeLists.txt) unless the builder sets SOURCE_DATE_EPOCH.
set(trilume_cpack_config ${PROJECT_BINARY_DIR}/CPackSourceDate.cmake)
file(WRITE ${trilume_cpack_config}
     "if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})\n"
     "  set(ENV{SOURCE_DATE_EPOCH} ${TRILUME_SOURCE_DATE_EPOCH})\n"
     "endif()\n")
set(CPACK_PROJECT_CONFIG_FILE ${trilume_cpack_config})
include(CPack)

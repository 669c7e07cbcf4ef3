# Install rules and the Debian package. `cmake --install` puts the two programs, the desktop entry and the
# icon in the standard places; `cpack -G DEB` wraps the same tree into wardel_<version>_<arch>.deb.
include(GNUInstallDirs)

install(TARGETS wardel wardel-gateway-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/wardel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/wardel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Run from either of these folders, Wardel keeps its files in the per-user data folder.
set_property(SOURCE src/platform/qt/program_folder.cpp APPEND PROPERTY COMPILE_DEFINITIONS
  WARDEL_INSTALL_FOLDERS="${CMAKE_INSTALL_FULL_BINDIR}:${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}")

set(WARDEL_PACKAGE_MAINTAINER "Wardel developers <wardel@example.org>"
  CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wardel)
set(CPACK_PACKAGE_CONTACT "${WARDEL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop monitor for TCP services with SMS and mail alerts")
set(CPACK_PACKAGE_DESCRIPTION
  "Wardel keeps a table of targets, each a host and one TCP port, and connects to each in turn in cycles. \
A target that fails as often in a row as its limit allows raises an alert by SMS or mail through a web \
gateway; one that answers again is reported back to alive. Everything is logged in the window and in daily \
files. The package also holds wardel-gateway-sim, a stand-in for the gateway on 127.0.0.1.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the libraries the programs link; the plugins Qt loads at run time it cannot see:
# the SVG image plugin draws the icon, the platform plugins open the window. The gateway's certificate is
# checked against the system's certificates, which libcurl only recommends.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-qpa-plugins, ca-certificates")
include(CPack)

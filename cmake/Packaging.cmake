# Install rules and the Debian package. `cmake --install` puts the program, its desktop files (see
# DesktopFiles.cmake), the copyright and the changelog in the standard places; `cpack -G DEB` wraps the same
# tree into wardel_<version>_<arch>.deb. The gateway simulator is a test tool and stays in the build tree.
install(TARGETS wardel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Debian's changelog: its newest entry must be this version. Installed compressed, beside the copyright.
file(STRINGS packaging/debian/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^wardel \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog: the newest entry is not version ${PROJECT_VERSION}")
endif()
set(WARDEL_CHANGELOG ${PROJECT_BINARY_DIR}/doc/changelog.gz)
add_custom_command(OUTPUT ${WARDEL_CHANGELOG}
  COMMAND sh -c "\"$0\" -9n <\"$1\" >\"$2\"" ${WARDEL_GZIP} ${PROJECT_SOURCE_DIR}/packaging/debian/changelog
    ${WARDEL_CHANGELOG}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog
  VERBATIM)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/doc)
add_custom_target(wardel_changelog ALL DEPENDS ${WARDEL_CHANGELOG})
install(FILES packaging/debian/copyright ${WARDEL_CHANGELOG} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/wardel)

set(CPACK_PACKAGING_INSTALL_PREFIX ${WARDEL_PACKAGE_PREFIX})

set(WARDEL_PACKAGE_MAINTAINER "Wardel developers <wardel@example.org>"
  CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wardel)
set(CPACK_PACKAGE_CONTACT "${WARDEL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop monitor for TCP services with SMS and mail alerts")
# One paragraph, in lines of Debian's width.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Wardel keeps a table of targets, each a host name or IP address with one TCP"
  "port, and connects to each in turn, in cycles. A target that fails as often"
  "in a row as its limit allows raises one alert, sent as SMS or mail through a"
  "web gateway; one that answers again is reported back to alive. Everything is"
  "logged with a time stamp in the window and in one file a day. Minimised,"
  "Wardel waits in the desktop's notification area.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
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

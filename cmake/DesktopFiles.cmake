# What the desktop knows Wardel by: the desktop entry, the icon as SVG and as PNG renderings for the icon
# theme, the AppStream metainfo and the manual page, built here and installed in the standard places.
find_program(WARDEL_SCDOC scdoc REQUIRED)
find_program(WARDEL_GZIP gzip REQUIRED)

# One PNG per usual theme size beside the SVG, rendered from the SVG by the same image plugin the window uses.
set(WARDEL_ICON_SIZES 16 22 24 32 48 64 128 256)
set(WARDEL_ICON_FOLDER ${PROJECT_BINARY_DIR}/icons/hicolor)
set(WARDEL_ICON_PNGS)
foreach(size ${WARDEL_ICON_SIZES})
  list(APPEND WARDEL_ICON_PNGS ${WARDEL_ICON_FOLDER}/${size}x${size}/apps/wardel.png)
endforeach()
# A build tool, not a test: the sanitizer build's leak report on Qt's plugin caches would only fail the build.
add_custom_command(OUTPUT ${WARDEL_ICON_PNGS}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
    $<TARGET_FILE:wardel-icon-png> ${PROJECT_SOURCE_DIR}/data/wardel.svg ${WARDEL_ICON_FOLDER} ${WARDEL_ICON_SIZES}
  DEPENDS wardel-icon-png ${PROJECT_SOURCE_DIR}/data/wardel.svg
  COMMENT "Rendering the icon at ${WARDEL_ICON_SIZES} px"
  VERBATIM)

# The manual page, from its scdoc source, compressed as Debian wants it.
set(WARDEL_MAN_PAGE ${PROJECT_BINARY_DIR}/man/wardel.1.gz)
add_custom_command(OUTPUT ${WARDEL_MAN_PAGE}
  COMMAND sh -c "\"$0\" <\"$1\" | \"$2\" -9n >\"$3\"" ${WARDEL_SCDOC} ${PROJECT_SOURCE_DIR}/data/wardel.1.scd
    ${WARDEL_GZIP} ${WARDEL_MAN_PAGE}
  DEPENDS ${PROJECT_SOURCE_DIR}/data/wardel.1.scd
  COMMENT "Writing the manual page wardel(1)"
  VERBATIM)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/man)

add_custom_target(wardel_desktop_files ALL DEPENDS ${WARDEL_ICON_PNGS} ${WARDEL_MAN_PAGE})

# The software centre's entry must name the release this build is.
file(READ data/org.example.wardel.metainfo.xml metainfo)
if(NOT metainfo MATCHES "<release version=\"([^\"]+)\"" OR NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "data/org.example.wardel.metainfo.xml: the first release is not ${PROJECT_VERSION}")
endif()

install(FILES data/wardel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/wardel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY ${WARDEL_ICON_FOLDER}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES data/org.example.wardel.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${WARDEL_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

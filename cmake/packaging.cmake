# The Debian package: `cmake --build build --target package` runs CPack's
# DEB generator over the install rules, so the package holds exactly what
# `cmake --install` puts in place, under /usr.

set(VORN_PACKAGE_MAINTAINER "Vorn maintainers <vorn@example.org>"
  CACHE STRING "Maintainer field of the Debian package: Name <address>")
set(VORN_PACKAGE_RELEASE 1 CACHE STRING "Debian revision of the package")
set(VORN_DEBIAN_VERSION ${PROJECT_VERSION}-${VORN_PACKAGE_RELEASE})

# Debian wants both under usr/share/doc/<package>, the changelog compressed.
set(debian_changelog ${CMAKE_BINARY_DIR}/debian/changelog)
configure_file(${PROJECT_SOURCE_DIR}/data/debian/changelog.in ${debian_changelog} @ONLY)
add_custom_command(OUTPUT ${debian_changelog}.Debian.gz
  COMMAND sh -c "gzip -9n -c '${debian_changelog}' > '${debian_changelog}.Debian.gz'"
  DEPENDS ${debian_changelog}
  VERBATIM)
add_custom_target(vorn_debian_changelog ALL DEPENDS ${debian_changelog}.Debian.gz)
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright ${debian_changelog}.Debian.gz
  DESTINATION share/doc/vorn)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "one-way folder mirroring on a timer")
set(CPACK_PACKAGE_DESCRIPTION
  "Vorn mirrors folder pairs one way, source onto target, again and again on a
timer. It copies new and changed files, can remove target entries that left
the source (and refuses to when the source itself has vanished), can move
instead of copy, and keeps permissions, access-control lists and extended
attributes in line. It runs as a desktop program with a tray icon, once from
the command line, or as a sandboxed systemd service.")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VORN_PACKAGE_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VORN_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps works the dependencies out of the executable (Qt, libacl).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs a Qt platform plugin (xcb, wayland), which no library
# links; Qt's own texts in French and Portuguese come separately.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS qt6-translations-l10n)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

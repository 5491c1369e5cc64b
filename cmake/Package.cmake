# The Debian package of the native hack: `cpack -G DEB` in a native build
# tree (scripts/release.sh does it with Debian's build flags).  Everything
# goes under /usr, where MATE's and Xfce's savers look for hacks.

# The copyright and the changelog, gzipped like the man page.
set(doc ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${doc})
add_custom_command(OUTPUT ${doc}/changelog.gz
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/packaging/debian/changelog > ${doc}/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/debian/changelog)
add_custom_target(quillara_changelog ALL DEPENDS ${doc}/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/copyright ${doc}/changelog.gz
  DESTINATION share/doc/quillara)

# Modes from here, not from the umask of whoever builds.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillara)
set(CPACK_PACKAGE_VENDOR "the Quillara! authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen saver with stars and bouncy balls under gravity")
# The long description, paragraph by paragraph; CPack indents it.
set(CPACK_PACKAGE_DESCRIPTION "A few fixed white stars pull red, green and blue balls towards them with
an inverse-square force; the balls bounce off the stars and off each other.
A new universe replaces the old one every minute.

This is the hack for XScreenSaver, xsecurelock and MATE's screen saver,
drawn with OpenGL.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "the Quillara! authors <quillara@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | mate-screensaver | xsecurelock")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)

# The Debian package: `cpack` in a configured build folder (scripts/package.sh)
# makes package/zelkor_<version>_<arch>.deb from the install rules.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelkor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zelkor configurator developers")
set(CPACK_PACKAGE_CONTACT "Zelkor configurator developers <zelkor@zelkor.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configurator for Zelkor temperature transducers")
# The extended description, below the summary; CPack indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "A service program for Zelkor temperature transducers on a serial line
(1200 bit/s, 8N2, Modbus RTU with the transducer's private functions): it
finds a transducer, reads and writes its information record and
configuration, calibrates its input and current output and runs its
diagnostics. The package also holds zelkor-cli, the same operations from a
shell or a production-line script, and zelkor-sim, a simulated transducer on
a pseudo-terminal.")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
# Libraries the binaries link, found by dpkg-shlibdeps; then what Qt loads by
# name at run time: the platform plugins, the SQLite driver of the history
# database and Qt's own Russian texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# What every Debian package carries in its documentation folder.
set(zelkor_changelog_gz ${CMAKE_BINARY_DIR}/debian/changelog.gz)
find_program(GZIP_EXECUTABLE gzip REQUIRED)
add_custom_command(OUTPUT ${zelkor_changelog_gz}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/debian
  COMMAND ${GZIP_EXECUTABLE} -9nc ${PROJECT_SOURCE_DIR}/resources/debian/changelog > ${zelkor_changelog_gz}
  DEPENDS ${PROJECT_SOURCE_DIR}/resources/debian/changelog VERBATIM)
add_custom_target(zelkor_changelog ALL DEPENDS ${zelkor_changelog_gz})
install(FILES ${zelkor_changelog_gz} ${PROJECT_SOURCE_DIR}/resources/debian/copyright
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(CPack)

# Manual pages, the package's documentation and the Debian package (cpack -G DEB, or
# scripts/package.sh, which configures with the /usr prefix that a package needs).

set(TESMOR_MAINTAINER "Tesmor developers <tesmor-devel@example.org>"
  CACHE STRING "The package's maintainer, name and address")
set(TESMOR_DOC_BUILD_DIR ${CMAKE_BINARY_DIR}/packaging)

# The manual pages in section 6 (games), Debian's changelog and the copyright notice, filled in
# with the version and the data directory. Compressed with -n, which keeps names and times out
# of the archives, so that the same sources give the same package.
set(TESMOR_MAN_PAGES tesmor.6 tesmor-engine.6 pbrain-tesmor.6 tesmor-book.6)
set(TESMOR_COMPRESSED_DOCS)
foreach(page IN LISTS TESMOR_MAN_PAGES)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/man/${page} ${TESMOR_DOC_BUILD_DIR}/${page} @ONLY)
  list(APPEND TESMOR_COMPRESSED_DOCS ${TESMOR_DOC_BUILD_DIR}/${page}.gz)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${TESMOR_DOC_BUILD_DIR}/changelog
  @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright ${TESMOR_DOC_BUILD_DIR}/copyright @ONLY)
add_custom_command(OUTPUT ${TESMOR_COMPRESSED_DOCS} ${TESMOR_DOC_BUILD_DIR}/changelog.gz
  COMMAND gzip -9nkf ${TESMOR_MAN_PAGES} changelog
  WORKING_DIRECTORY ${TESMOR_DOC_BUILD_DIR}
  DEPENDS ${TESMOR_DOC_BUILD_DIR}/changelog
  COMMENT "Compressing the manual pages and the changelog")
add_custom_target(tesmor_docs ALL
  DEPENDS ${TESMOR_COMPRESSED_DOCS} ${TESMOR_DOC_BUILD_DIR}/changelog.gz)
install(FILES ${TESMOR_COMPRESSED_DOCS} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${TESMOR_DOC_BUILD_DIR}/changelog.gz ${TESMOR_DOC_BUILD_DIR}/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tesmor)

# The Debian package: the programs, the book, the desktop files and the documentation above.
# Dependencies are the libraries the programs link (dpkg-shlibdeps) and the fonts the window
# draws with.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tesmor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TESMOR_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "five in a row and renju against the computer or a friend")
# The summary becomes the synopsis line; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tesmor plays five in a row on a 15 x 15 board, Black first, for one player
against the computer or two players at one screen, with three rule sets:
no forbidden moves, Black's forbidden moves, and the RIF opening procedure.
.
The package holds the game's window (which plays in the terminal when there
is no display), the tesmor-engine analysis program, the pbrain-tesmor brain
for Gomocup tournament managers, the tesmor-book opening-book compiler and
the opening book.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-arphic-ukai")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# The programs look for the book in the data directory of the prefix they were built for.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
# Only the game's own files: no test or benchmark component exists, but be explicit.
set(CPACK_DEB_COMPONENT_INSTALL OFF)
include(CPack)

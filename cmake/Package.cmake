# `make package`: a Debian package of the program. Installed, the program
# works in a shop folder of the operator's (see src/app/ShopFolder.h); the
# desktop entry "ひまわり帳" starts it.

install(TARGETS himawari RUNTIME DESTINATION bin)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/himawari.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/himawari.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION share/doc/himawari)

# Debian wants the changelog compressed, reproducibly (no name, no time).
set(HIMAWARI_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${HIMAWARI_CHANGELOG_GZ}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/packaging/changelog > ${HIMAWARI_CHANGELOG_GZ}
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(himawari_changelog ALL DEPENDS ${HIMAWARI_CHANGELOG_GZ})
install(FILES ${HIMAWARI_CHANGELOG_GZ} DESTINATION share/doc/himawari)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME himawari)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${HIMAWARI_PACKAGE_PREFIX})
set(CPACK_PACKAGE_CONTACT "The himawari developers <maintainers@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bookkeeping for a neighbourhood shop of rice, kerosene and LP gas")
# The synopsis is the summary; this is the text under it.
set(CPACK_PACKAGE_DESCRIPTION "ひまわり帳 keeps a small Japanese shop's sales slips on a three-part sheet,
customers' receivables, invoices and receipts, bank direct-debit files,
LP-gas meter readings, delivery forecasts and double-entry books.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the shared-library scan cannot see: the SQLite driver and the
# platform plugins Qt loads at run time, Qt's Japanese button texts and a
# face that shows Japanese on the print-outs. A shop on a PostgreSQL server
# needs Qt's driver for it and the server's dump and restore programs for
# its backups; a shop on one computer needs neither.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins, qt6-translations-l10n, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql, postgresql-client")
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build/;/\\\\.git/")
include(CPack)

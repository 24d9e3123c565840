# Install rules and the Debian package (scripts/package: cpack -G DEB). The package holds both programs, the
# desktop entry and icon, the settings file as a conffile, the manual pages (help2man from --help), the README,
# copyright, changelog and an example ODBC data source. Its version is the project's version.
include(GNUInstallDirs)

find_program(HELP2MAN help2man REQUIRED)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(GZIP gzip REQUIRED)

set(VELKOR_PACKAGE_FILES ${CMAKE_BINARY_DIR}/packaging)
set(VELKOR_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/velkor)
file(MAKE_DIRECTORY ${VELKOR_PACKAGE_FILES})

# Manual pages from the programs' own --help and --version (read as UTF-8; the summary stays ASCII, which
# help2man takes as it is).
set(VELKOR_MAN_PAGES)
foreach(program velkor velkor-trace)
    if(program STREQUAL "velkor")
        set(summary "Arbeitsplatzprogramm der Endmontage elektronischer Baugruppen")
    else()
        set(summary "traceability queries of the assembly database (genealogy, where-used, order, recall, history)")
    endif()
    set(page ${VELKOR_PACKAGE_FILES}/${program}.1)
    add_custom_command(OUTPUT ${page}.gz
                       COMMAND ${HELP2MAN} --locale=C.UTF-8 --no-info --section=1 --name=${summary} --output=${page}
                               $<TARGET_FILE:${program}>
                       COMMAND ${GZIP} -9nf ${page}
                       DEPENDS ${program}
                       COMMENT "Manual page of ${program}"
                       VERBATIM)
    list(APPEND VELKOR_MAN_PAGES ${page}.gz)
endforeach()

# The icon in the sizes of the hicolor theme, rendered from the one drawing.
set(VELKOR_ICON_SIZES 16 24 32 48 64 128 256)
set(VELKOR_ICONS)
foreach(size ${VELKOR_ICON_SIZES})
    set(icon ${VELKOR_PACKAGE_FILES}/icons/${size}x${size}/velkor.png)
    add_custom_command(OUTPUT ${icon}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${VELKOR_PACKAGE_FILES}/icons/${size}x${size}
                       COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${icon}
                               ${CMAKE_SOURCE_DIR}/packaging/velkor.svg
                       DEPENDS ${CMAKE_SOURCE_DIR}/packaging/velkor.svg
                       VERBATIM)
    list(APPEND VELKOR_ICONS ${icon})
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The changelog of the native package: one entry for the project's version, dated by the configure run.
string(TIMESTAMP VELKOR_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${VELKOR_PACKAGE_FILES}/changelog @ONLY)
add_custom_command(OUTPUT ${VELKOR_PACKAGE_FILES}/changelog.gz ${VELKOR_PACKAGE_FILES}/README.md.gz
                   COMMAND ${GZIP} -9nkf ${VELKOR_PACKAGE_FILES}/changelog
                   COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/README.md ${VELKOR_PACKAGE_FILES}/README.md
                   COMMAND ${GZIP} -9nf ${VELKOR_PACKAGE_FILES}/README.md
                   DEPENDS ${VELKOR_PACKAGE_FILES}/changelog ${CMAKE_SOURCE_DIR}/README.md
                   VERBATIM)

add_custom_target(velkor_package_files ALL
                  DEPENDS ${VELKOR_MAN_PAGES} ${VELKOR_ICONS} ${VELKOR_PACKAGE_FILES}/changelog.gz
                          ${VELKOR_PACKAGE_FILES}/README.md.gz)

install(TARGETS velkor velkor-trace RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Relocations read-only and resolved at the start (lintian's hardening-no-bindnow).
foreach(program velkor velkor-trace)
    target_link_options(${program} PRIVATE LINKER:-z,relro,-z,now)
endforeach()
# German words of the interface that lintian's English spelling check takes for typos.
install(FILES packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME velkor)
install(FILES packaging/velkor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/velkor.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${VELKOR_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/copyright ${VELKOR_PACKAGE_FILES}/changelog.gz ${VELKOR_PACKAGE_FILES}/README.md.gz
        DESTINATION ${VELKOR_DOC_DIR})
install(FILES packaging/examples/odbc.ini DESTINATION ${VELKOR_DOC_DIR}/examples)
# The settings file of the workstation belongs to the system's /etc whatever the prefix (a conffile of the
# package: dpkg keeps a changed one on upgrade and removes it on purge).
install(FILES packaging/velkor.ini DESTINATION /etc/velkor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velkor)
set(CPACK_PACKAGE_VENDOR BRENVIK)
set(CPACK_PACKAGE_CONTACT "BRENVIK Velkor <velkor@brenvik.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "assembly workstation with traceability of every component")
# The extended description: lines of at most 80 characters, no quotes (CPack writes the text into its own
# configuration).
set(CPACK_PACKAGE_DESCRIPTION
    "Velkor is the workstation program for the final assembly of electronic
devices. A worker scans a production order; every scanned production code or
serial number is checked against the order's bill of materials and recorded
in the shared traceability database (ODBC data source TestLogNew, MariaDB).
velkor-trace answers where-used and genealogy questions on the command line.
velkor --check checks the set-up of a new workstation.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Absolute destinations (/etc/velkor) go below the package's root.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "odbc-mariadb, unixodbc, libqt6sql6-odbc")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

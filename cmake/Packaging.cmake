# Installation and the Debian packages (CPack DEB), one a component:
#
#   kelo-client         Kelo_S, the launcher Kelo with its desktop entry and icon, the splash
#                       pictures, the local reports, /etc/kelo/Kelo_S.ini
#   kelo-tools          kelo-db, kelo-reports, the morning report pack (a service and a timer,
#                       off until enabled, /etc/default/kelo-morning-reports)
#   kelo-report-server  kelo-report-server, the report definitions, its service
#
# Each has the manual pages of its programs. Made with: cpack -G DEB --config
# build/CPackConfig.cmake (scripts/package-test.sh builds, installs and runs them).

set(KELO_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)

# Manual pages, compressed as Debian keeps them.
set(KELO_MAN_PAGES Kelo.1 Kelo_S.1 kelo-db.1 kelo-reports.1 kelo-report-server.1)
set(KELO_MAN_OUTPUTS)
foreach(page ${KELO_MAN_PAGES})
    set(out ${PROJECT_BINARY_DIR}/man/${page}.gz)
    add_custom_command(
        OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
        COMMAND sh -c "gzip -9n -c '${KELO_PACKAGING}/man/${page}' > '${out}'"
        DEPENDS ${KELO_PACKAGING}/man/${page}
        COMMENT "Compressing the manual page ${page}"
        VERBATIM)
    list(APPEND KELO_MAN_OUTPUTS ${out})
endforeach()
add_custom_target(manpages ALL DEPENDS ${KELO_MAN_OUTPUTS})
set(KELO_MAN_DIR share/man/man1)

# kelo-client
install(TARGETS Kelo_S Kelo RUNTIME DESTINATION bin COMPONENT client)
install(FILES ${KELO_APP_DIR}/MainImg.kimg DESTINATION share/kelo COMPONENT client)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/reports/local DESTINATION share/kelo/reports
        COMPONENT client)
install(FILES ${KELO_PACKAGING}/kelo.desktop DESTINATION share/applications COMPONENT client)
foreach(size ${KELO_ICON_SIZES})
    install(FILES ${KELO_ICON_DIR}/kelo-${size}.png DESTINATION share/icons/hicolor/${size}x${size}/apps
            RENAME kelo.png COMPONENT client)
endforeach()
install(FILES ${KELO_PACKAGING}/settings/Kelo_S.ini DESTINATION /etc/kelo COMPONENT client)
install(FILES ${KELO_PACKAGING}/settings/Databases.ini.example
        DESTINATION share/doc/kelo-client/examples COMPONENT client)
install(FILES ${PROJECT_BINARY_DIR}/man/Kelo.1.gz ${PROJECT_BINARY_DIR}/man/Kelo_S.1.gz
        DESTINATION ${KELO_MAN_DIR} COMPONENT client)

# kelo-tools
install(TARGETS kelo-db kelo-reports RUNTIME DESTINATION bin COMPONENT tools)
install(PROGRAMS ${KELO_PACKAGING}/kelo-morning-reports DESTINATION lib/kelo COMPONENT tools)
install(FILES ${KELO_PACKAGING}/systemd/kelo-morning-reports.service
              ${KELO_PACKAGING}/systemd/kelo-morning-reports.timer
        DESTINATION lib/systemd/system COMPONENT tools)
install(FILES ${KELO_PACKAGING}/settings/kelo-morning-reports DESTINATION /etc/default
        COMPONENT tools)
install(FILES ${PROJECT_SOURCE_DIR}/docs/operations.md DESTINATION share/doc/kelo-tools
        COMPONENT tools)
install(FILES ${KELO_PACKAGING}/settings/Databases.ini.example
        DESTINATION share/doc/kelo-tools/examples COMPONENT tools)
install(FILES ${PROJECT_BINARY_DIR}/man/kelo-db.1.gz ${PROJECT_BINARY_DIR}/man/kelo-reports.1.gz
        DESTINATION ${KELO_MAN_DIR} COMPONENT tools)

# kelo-report-server
install(TARGETS kelo-report-server RUNTIME DESTINATION bin COMPONENT reportserver)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/reports/ DESTINATION share/kelo/reports
        COMPONENT reportserver
        FILES_MATCHING PATTERN "*.mrd"
        PATTERN local EXCLUDE)
install(FILES ${KELO_PACKAGING}/systemd/kelo-report-server.service
        DESTINATION lib/systemd/system COMPONENT reportserver)
install(FILES ${PROJECT_BINARY_DIR}/man/kelo-report-server.1.gz DESTINATION ${KELO_MAN_DIR}
        COMPONENT reportserver)
install(FILES ${PROJECT_SOURCE_DIR}/docs/web.md DESTINATION share/doc/kelo-report-server
        COMPONENT reportserver)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelo)
set(CPACK_PACKAGE_VENDOR "Kelo Resort")
set(CPACK_PACKAGE_CONTACT "Kelo Resort back-office IT <it@kelo-resort.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_HOMEPAGE_URL "https://kelo-resort.example/it")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL client tools reportserver)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)

# The SQL drivers are plugins and the report faces fonts: neither shows in the libraries the
# programs link.
set(KELO_RUNTIME_DEPENDS
    "libqt6sql6-sqlite, libqt6sql6-psql, fonts-nanum, fonts-nanum-coding, fonts-urw-base35")

set(CPACK_DEBIAN_CLIENT_PACKAGE_NAME kelo-client)
set(CPACK_DEBIAN_CLIENT_PACKAGE_DEPENDS "${KELO_RUNTIME_DEPENDS}")
set(CPACK_DEBIAN_CLIENT_PACKAGE_RECOMMENDS "kelo-report-server")
set(CPACK_DEBIAN_CLIENT_PACKAGE_CONTROL_EXTRA ${KELO_PACKAGING}/debian/client/conffiles)
set(CPACK_COMPONENT_CLIENT_DESCRIPTION
    "Kelo management-information client of the resort's back office\n"
    "The client (Kelo_S) and its launcher (Kelo, in the desktop's menu): sales, occupancy,\n"
    "targets and personnel figures, the daily management figures and the printed daily\n"
    "reports, on a SQLite file or a PostgreSQL server.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME kelo-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "${KELO_RUNTIME_DEPENDS}, adduser")
set(CPACK_DEBIAN_TOOLS_PACKAGE_RECOMMENDS "postgresql-client")
set(CPACK_DEBIAN_TOOLS_PACKAGE_CONTROL_EXTRA
    ${KELO_PACKAGING}/debian/tools/conffiles ${KELO_PACKAGING}/debian/tools/postinst
    ${KELO_PACKAGING}/debian/tools/prerm ${KELO_PACKAGING}/debian/tools/postrm)
set(CPACK_COMPONENT_TOOLS_DESCRIPTION
    "Kelo administration and report tools\n"
    "kelo-db makes, fills, upgrades, backs up and restores the database; kelo-reports prints\n"
    "the daily report set of a date; the morning report pack (a systemd timer, off until\n"
    "enabled) writes yesterday's set as a PDF every morning.")

set(CPACK_DEBIAN_REPORTSERVER_PACKAGE_NAME kelo-report-server)
# The web pages draw reports with the report faces and read the database through the drivers.
set(CPACK_DEBIAN_REPORTSERVER_PACKAGE_DEPENDS "${KELO_RUNTIME_DEPENDS}")
set(CPACK_DEBIAN_REPORTSERVER_PACKAGE_CONTROL_EXTRA
    ${KELO_PACKAGING}/debian/reportserver/postinst ${KELO_PACKAGING}/debian/reportserver/prerm
    ${KELO_PACKAGING}/debian/reportserver/postrm)
set(CPACK_COMPONENT_REPORTSERVER_DESCRIPTION
    "Kelo report server\n"
    "Serves the report definitions of the client's viewer screens over HTTP, as the systemd\n"
    "service kelo-report-server (127.0.0.1:8080 by default); with a database, also the\n"
    "reports as web pages for a browser (sign-in, prompts, pages, PDF and Excel).")

include(CPack)

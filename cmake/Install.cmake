# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts where, and the Debian package `cpack -G DEB` makes of it.
# Targets are named here, never their folders; the shipped data files are collected by the
# areas that own them in the global property ORV_INSTALLED_DATA.
include(GNUInstallDirs)

set(ORV_DIST_DIR "${CMAKE_SOURCE_DIR}/dist")
set(ORV_PACKAGE_NAME orvane-tools)
# Debian wants the copyright file under the package's name, whatever the project is called.
set(ORV_DOC_DIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/${ORV_PACKAGE_NAME}")
# The application ids: desktop entries, icons and metainfo are named after them.
set(ORV_APP_IDS example.orvane.Orvane example.orvane.Quillet example.orvane.Heraldex)

install(TARGETS orv orv-query orv-demoservers Quillet quillet-tokens Heraldex
    RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")

# Shipped data, found by the programs at ../share/orvane from their installed folder.
get_property(orv_installed_data GLOBAL PROPERTY ORV_INSTALLED_DATA)
install(FILES ${orv_installed_data} DESTINATION "${CMAKE_INSTALL_DATADIR}/orvane")

# Desktop integration: menu entries, the UnrealScript MIME type, icons, AppStream metainfo.
foreach(id ${ORV_APP_IDS})
    install(FILES "${ORV_DIST_DIR}/applications/${id}.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
    install(FILES "${ORV_DIST_DIR}/metainfo/${id}.metainfo.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
    foreach(size 16 24 32 48 64 128 256)
        install(FILES "${ORV_DIST_DIR}/icons/png/${size}x${size}/${id}.png"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
    endforeach()
endforeach()
install(FILES "${ORV_DIST_DIR}/icons/example.orvane.Orvane.svg" "${ORV_DIST_DIR}/icons/example.orvane.Quillet.svg"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
install(FILES "${CMAKE_SOURCE_DIR}/heraldex/app/resources/heraldex.svg"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps" RENAME example.orvane.Heraldex.svg)
install(FILES "${ORV_DIST_DIR}/mime/orvane-tools.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages")

# Manual pages and the package's changelog, compressed as Debian wants them (gzip -9n:
# best compression, no name or time stamp, so the result is reproducible).
find_program(GZIP_PROGRAM gzip)
if(GZIP_PROGRAM)
    set(orv_compressed)
    set(orv_man_pages orv orv-query orv-demoservers Quillet quillet-tokens Heraldex)
    foreach(page ${orv_man_pages})
        set(output "${CMAKE_BINARY_DIR}/man/${page}.1.gz")
        add_custom_command(OUTPUT "${output}"
            COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/man"
            COMMAND sh -c "\"$1\" -9n -c \"$2\" > \"$3\"" sh "${GZIP_PROGRAM}" "${ORV_DIST_DIR}/man/${page}.1" "${output}"
            DEPENDS "${ORV_DIST_DIR}/man/${page}.1"
            COMMENT "Compressing manual page ${page}(1)"
            VERBATIM)
        list(APPEND orv_compressed "${output}")
        install(FILES "${output}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
    endforeach()
    set(changelog "${CMAKE_BINARY_DIR}/dist/changelog.gz")
    add_custom_command(OUTPUT "${changelog}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/dist"
        COMMAND sh -c "\"$1\" -9n -c \"$2\" > \"$3\"" sh "${GZIP_PROGRAM}" "${ORV_DIST_DIR}/debian/changelog" "${changelog}"
        DEPENDS "${ORV_DIST_DIR}/debian/changelog"
        VERBATIM)
    list(APPEND orv_compressed "${changelog}")
    add_custom_target(orv_dist_files ALL DEPENDS ${orv_compressed})
    install(FILES "${changelog}" DESTINATION "${ORV_DOC_DIR}")
else()
    message(WARNING "gzip not found: the manual pages are not built or installed")
endif()
install(FILES "${ORV_DIST_DIR}/debian/copyright" DESTINATION "${ORV_DOC_DIR}")

# The Debian package: cpack -G DEB in a configured and built folder.
set(CPACK_PACKAGE_NAME "${ORV_PACKAGE_NAME}")
set(CPACK_PACKAGE_VENDOR "The Orvane developers")
set(CPACK_PACKAGE_CONTACT "The Orvane developers <team@orvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "server browser, script editor and announcer for Unreal and UT")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://orvane.example/")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The country column reads the IP location database through libloc (found by the library
# scan as well); the database and the flag pictures are recommended: without them the
# column stays empty.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libloc1")
# Loaded at run time, so the library scan cannot see them: the Wayland platform plugin and
# the desktop theme plugins (X11, the SVG icons and the sound back end come with the
# libraries found by the scan).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-qpa-plugins, libloc-database, famfamfam-flag-png")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The synopsis line comes from the summary above; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tools for players and server administrators of the classic network games
Unreal and Unreal Tournament: Orvane (orv), a game-server browser that queries
the master lists and the local network, finds players, watches servers and
starts the game, with its command-line companions orv-query and
orv-demoservers; Quillet, an UnrealScript editor, with quillet-tokens; and
Heraldex, a tray announcer for friends and foes joining a server.")
include(CPack)

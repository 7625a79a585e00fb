# Installing and packaging. Under any prefix the viewer gets a program folder of its own,
# <prefix>/lib/altorra, with the query tool, the sample archive and its pictures beside it (the
# viewer finds the archive in the folder of its real executable); <prefix>/bin holds links to both
# programs. The desktop entry, the theme icons, the AppStream metainfo and the manual pages go to
# <prefix>/share. CPack makes the Debian package from the same rules.
set(ALTORRA_INSTALL_PROGRAM_DIR lib/altorra)
set(ALTORRA_HOMEPAGE "https://www.meteo.regionesorvane.example/altorra/")
set(ALTORRA_MAINTAINER "Dipartimento di Meteorologia e Climatologia della Regione Sorvane <meteo@regionesorvane.example>")
set(ALTORRA_APPSTREAM_ID example.regionesorvane.meteo.altorra)
set(ALTORRA_RELEASE_DATE 2026-12-09)
set(ALTORRA_RELEASE_DATE_RFC2822 "Wed, 09 Dec 2026 12:00:00 +0100")
set(ALTORRA_DATA_DIR ${CMAKE_BINARY_DIR}/data)
file(MAKE_DIRECTORY ${ALTORRA_DATA_DIR})

# The viewer and the query tool, with the sample archive written by the build.
install(TARGETS altorra altorra-query RUNTIME DESTINATION ${ALTORRA_INSTALL_PROGRAM_DIR})
install(FILES ${ALTORRA_PROGRAM_DIR}/orbeni.mdb DESTINATION ${ALTORRA_INSTALL_PROGRAM_DIR})
install(DIRECTORY ${ALTORRA_PROGRAM_DIR}/cartograf DESTINATION ${ALTORRA_INSTALL_PROGRAM_DIR}
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# Relative links, so that they hold under any prefix and inside an unpacked package.
file(MAKE_DIRECTORY ${ALTORRA_DATA_DIR}/bin)
foreach(program altorra altorra-query)
    file(RELATIVE_PATH target /prefix/bin /prefix/${ALTORRA_INSTALL_PROGRAM_DIR}/${program})
    file(CREATE_LINK ${target} ${ALTORRA_DATA_DIR}/bin/${program} SYMBOLIC)
    install(FILES ${ALTORRA_DATA_DIR}/bin/${program} DESTINATION bin)
endforeach()

# The desktop entry and the theme icons drawn with the artwork.
install(FILES ${CMAKE_SOURCE_DIR}/data/altorra.desktop DESTINATION share/applications)
foreach(size IN LISTS ALTORRA_THEME_ICON_SIZES)
    install(FILES ${ALTORRA_ART_DIR}/altorra-${size}.png DESTINATION share/icons/hicolor/${size}x${size}/apps
            RENAME altorra.png)
endforeach()
install(FILES ${ALTORRA_ART_DIR}/altorra.svg DESTINATION share/icons/hicolor/scalable/apps)

# A picture of the main window, made by the viewer itself; the metainfo names it with its size.
set(ALTORRA_SCREENSHOT ${ALTORRA_DATA_DIR}/screenshots/altorra-main.png)
set(ALTORRA_SCREENSHOT_URL "${ALTORRA_HOMEPAGE}screenshots/altorra-main.png")
add_custom_command(OUTPUT ${ALTORRA_SCREENSHOT}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ALTORRA_DATA_DIR}/screenshots
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ALTORRA_SCREENSHOT=${ALTORRA_SCREENSHOT}
            $<TARGET_FILE:altorra>
    DEPENDS altorra
    COMMENT "Taking a picture of the main window"
    VERBATIM)
set(ALTORRA_METAINFO ${ALTORRA_DATA_DIR}/${ALTORRA_APPSTREAM_ID}.metainfo.xml)
add_custom_command(OUTPUT ${ALTORRA_METAINFO}
    COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_SOURCE_DIR}/data/altorra.metainfo.xml.in -DOUT=${ALTORRA_METAINFO}
            -DSCREENSHOT=${ALTORRA_SCREENSHOT} -DALTORRA_APPSTREAM_ID=${ALTORRA_APPSTREAM_ID}
            -DALTORRA_HOMEPAGE=${ALTORRA_HOMEPAGE} -DALTORRA_SCREENSHOT_URL=${ALTORRA_SCREENSHOT_URL}
            -DPROJECT_VERSION=${PROJECT_VERSION} -DALTORRA_RELEASE_DATE=${ALTORRA_RELEASE_DATE}
            -P ${CMAKE_SOURCE_DIR}/cmake/configure-metainfo.cmake
    DEPENDS ${CMAKE_SOURCE_DIR}/data/altorra.metainfo.xml.in ${CMAKE_SOURCE_DIR}/cmake/configure-metainfo.cmake
            ${ALTORRA_SCREENSHOT}
    COMMENT "Writing the AppStream metainfo"
    VERBATIM)
install(FILES ${ALTORRA_METAINFO} DESTINATION share/metainfo)

# Manual pages and the package's changelog, compressed as Debian wants them.
set(ALTORRA_COMPRESSED_DOCS)
foreach(page altorra.1 altorra-query.1)
    configure_file(${CMAKE_SOURCE_DIR}/data/${page} ${ALTORRA_DATA_DIR}/${page} @ONLY)
    list(APPEND ALTORRA_COMPRESSED_DOCS ${ALTORRA_DATA_DIR}/${page})
    install(FILES ${ALTORRA_DATA_DIR}/${page}.gz DESTINATION share/man/man1)
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/data/changelog.in ${ALTORRA_DATA_DIR}/changelog @ONLY)
list(APPEND ALTORRA_COMPRESSED_DOCS ${ALTORRA_DATA_DIR}/changelog)
set(ALTORRA_GZIPPED)
foreach(doc IN LISTS ALTORRA_COMPRESSED_DOCS)
    # -n leaves out the name and time, so that the same page gives the same bytes.
    add_custom_command(OUTPUT ${doc}.gz
        COMMAND gzip -9nkf ${doc}
        DEPENDS ${doc}
        VERBATIM)
    list(APPEND ALTORRA_GZIPPED ${doc}.gz)
endforeach()
install(FILES ${ALTORRA_DATA_DIR}/changelog.gz ${CMAKE_SOURCE_DIR}/data/copyright
        DESTINATION share/doc/altorra)

add_custom_target(altorra_install_data ALL DEPENDS ${ALTORRA_METAINFO} ${ALTORRA_GZIPPED})

# The Debian package: altorra_<version>_amd64.deb in build/package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME altorra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Regione Sorvane")
set(CPACK_PACKAGE_CONTACT ${ALTORRA_MAINTAINER})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer of the Regione Sorvane weather archive, 1990-1999")
# The long description, wrapped for 80-column terminals.
set(CPACK_PACKAGE_DESCRIPTION [=[
Altorra shows the meteorological archive of the Regione Sorvane for the
years 1990 to 1999, kept in one Access (Jet) database file beside the
program: daily data, intense rainfall maxima, and the station registry
with location pictures and monthly statistics. Tables can be exported to
tab-separated text files and station cards printed. It only reads the
archive.
.
A sample archive is installed with the program; the region's own archive
takes its place in /usr/lib/altorra.]=])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ALTORRA_HOMEPAGE})
# The shared libraries decide the dependencies; nothing is listed by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialog texts in Italian, and the fonts the windows were laid out with.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-dejavu-core")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)

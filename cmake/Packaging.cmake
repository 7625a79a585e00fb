# Installing and packaging. Under any prefix the viewer gets a program folder of its own,
# <prefix>/lib/altorra, with the query tool beside it; <prefix>/bin holds links to both programs.
# The viewer reads the archive from the folder of its real executable, but no installed file may
# stand where the region's archive goes: an upgrade or a reinstall would put the sample back over
# it, and a removal would delete it. So the program folder's orbeni.mdb and cartograf are links to
# the archive location, /var/lib/altorra (<prefix>/var/lib/altorra under other prefixes), which no
# package file occupies; the sample is installed read-only under <prefix>/share/altorra/sample and
# copied there only when the location holds nothing (the package's postinst; cmake --install does
# the same). The desktop entry, the theme icons, the AppStream metainfo and the manual pages go to
# <prefix>/share. CPack makes the Debian package from the same rules.
set(ALTORRA_INSTALL_PROGRAM_DIR lib/altorra)
set(ALTORRA_HOMEPAGE "https://www.meteo.regionesorvane.example/altorra/")
set(ALTORRA_MAINTAINER "Dipartimento di Meteorologia e Climatologia della Regione Sorvane <meteo@regionesorvane.example>")
set(ALTORRA_APPSTREAM_ID example.regionesorvane.meteo.altorra)
set(ALTORRA_RELEASE_DATE 2026-12-09)
set(ALTORRA_RELEASE_DATE_RFC2822 "Wed, 09 Dec 2026 12:00:00 +0100")
set(ALTORRA_DATA_DIR ${CMAKE_BINARY_DIR}/data)
file(MAKE_DIRECTORY ${ALTORRA_DATA_DIR})

# The viewer and the query tool; the sample archive written by the build, as read-only data.
install(TARGETS altorra altorra-query RUNTIME DESTINATION ${ALTORRA_INSTALL_PROGRAM_DIR})
set(ALTORRA_INSTALL_SAMPLE_DIR share/altorra/sample)
install(FILES ${ALTORRA_PROGRAM_DIR}/orbeni.mdb DESTINATION ${ALTORRA_INSTALL_SAMPLE_DIR})
install(DIRECTORY ${ALTORRA_PROGRAM_DIR}/cartograf DESTINATION ${ALTORRA_INSTALL_SAMPLE_DIR}
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# The program folder's links to the archive location, made at install time because the location
# depends on the prefix: /usr keeps its variable data in /var, any other prefix in <prefix>/var.
install(CODE [=[
    set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
    if(CMAKE_INSTALL_PREFIX MATCHES "/usr$")
        set(up ../../..)
    else()
        set(up ../..)
    endif()
    foreach(name orbeni.mdb cartograf)
        file(REMOVE "${root}/lib/altorra/${name}")
        file(CREATE_LINK ${up}/var/lib/altorra/${name} "${root}/lib/altorra/${name}" SYMBOLIC)
    endforeach()
]=])
# Filling the location from the sample when it holds nothing: only for cmake --install (the
# package leaves it to its postinst, which runs where the package is installed, not where CPack
# stages it), hence a component that CPack does not install.
install(CODE [=[
    set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
    if(CMAKE_INSTALL_PREFIX MATCHES "/usr$")
        get_filename_component(archive "${root}/../var/lib/altorra" ABSOLUTE)
    else()
        set(archive "${root}/var/lib/altorra")
    endif()
    file(GLOB present "${archive}/*")
    if(NOT present)
        message(STATUS "Filling ${archive} from the sample archive")
        file(COPY "${root}/share/altorra/sample/orbeni.mdb" "${root}/share/altorra/sample/cartograf"
             DESTINATION "${archive}")
    endif()
]=] COMPONENT archive)

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
with location pictures and monthly statistics. Tables can be sorted,
filtered and searched, exported to tab-separated text files and to
spreadsheet files (.xlsx, .ods), and station cards printed. It only reads
the archive.
.
A sample archive is installed with the program and copied to
/var/lib/altorra when nothing is there; the region's own archive goes in
/var/lib/altorra, which upgrades and removal leave untouched.]=])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ALTORRA_HOMEPAGE})
# The shared libraries decide the dependencies; nothing is listed by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialog texts in Italian, the fonts the windows were laid out with, and the platform
# plugin that lets the viewer run as a Wayland client rather than through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-dejavu-core, qt6-wayland")
# Lintian asks for absolute links between top-level folders; these stay relative (see the file).
install(FILES ${CMAKE_SOURCE_DIR}/data/debian/lintian-overrides DESTINATION share/lintian/overrides
        RENAME altorra)
# The archive location is filled by the postinst, never by a file of the package.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Altorra;Unspecified;/")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/data/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)

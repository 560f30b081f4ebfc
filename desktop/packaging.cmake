# Installs the program the way a Linux desktop expects it (GNUInstallDirs: the program in bin/,
# its helpers in libexec/talvenbahn/, the help file in share/talvenbahn/, the menu entry, the
# icons and the AppStream data under share/) and describes the Debian package CPack builds
# from that install. Included from the top-level file once every target exists.
include(GNUInstallDirs)

set(TALVENBAHN_APP_ID org.talvenbahn.talvenbahn)
set(desktop_dir ${CMAKE_SOURCE_DIR}/desktop)
set(desktop_out ${CMAKE_BINARY_DIR}/desktop)

# The metainfo names the version the build makes.
configure_file(${desktop_dir}/${TALVENBAHN_APP_ID}.metainfo.xml.in
    ${desktop_out}/${TALVENBAHN_APP_ID}.metainfo.xml @ONLY)

# What a Debian package carries beside the program: the copyright, the changelog and the manual
# page, the last two compressed as Debian wants them (gzip -9n: no name, no time stamp).
find_program(GZIP_EXE gzip REQUIRED)
set(doc_out ${desktop_out}/doc)
configure_file(${desktop_dir}/debian/changelog.in ${doc_out}/changelog @ONLY)
configure_file(${desktop_dir}/debian/Talvenbahn.1.in ${doc_out}/Talvenbahn.1 @ONLY)
set(doc_gz)
foreach(doc changelog Talvenbahn.1)
    add_custom_command(
        OUTPUT ${doc_out}/${doc}.gz
        COMMAND ${GZIP_EXE} -9nkf ${doc_out}/${doc}
        DEPENDS ${doc_out}/${doc}
        VERBATIM)
    list(APPEND doc_gz ${doc_out}/${doc}.gz)
endforeach()
add_custom_target(package_docs ALL DEPENDS ${doc_gz})

# The PNG sizes of the menu icon, drawn from the one SVG.
set(TALVENBAHN_ICON_SIZES 16 22 24 32 48 64 128 256)
find_program(RSVG_CONVERT_EXE rsvg-convert)
set(icon_pngs)
if(RSVG_CONVERT_EXE)
    foreach(size ${TALVENBAHN_ICON_SIZES})
        set(png ${desktop_out}/icons/${size}x${size}/${TALVENBAHN_APP_ID}.png)
        add_custom_command(
            OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${desktop_out}/icons/${size}x${size}
            COMMAND ${RSVG_CONVERT_EXE} -w ${size} -h ${size} -o ${png} ${desktop_dir}/talvenbahn.svg
            DEPENDS ${desktop_dir}/talvenbahn.svg
            VERBATIM)
        list(APPEND icon_pngs ${png})
    endforeach()
else()
    message(WARNING "rsvg-convert is missing (scripts/setup.sh installs it): the install "
                    "carries only the scalable icon")
endif()
add_custom_target(desktop_icons ALL DEPENDS ${icon_pngs})

if(TARGET Talvenbahn)
    install(TARGETS Talvenbahn RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# Every helper program the build makes goes into the helper folder.
foreach(helper talvenbahn_xls_reader talvenbahn_help_reader)
    if(TARGET ${helper})
        install(TARGETS ${helper} RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/talvenbahn)
    endif()
endforeach()
# The club server's schema as one script for psql, beside the help file.
if(TALVENBAHN_SERVER_SQL)
    install(FILES ${TALVENBAHN_SERVER_SQL} DESTINATION ${CMAKE_INSTALL_DATADIR}/talvenbahn)
endif()
if(TARGET help_chm)
    install(FILES ${CMAKE_BINARY_DIR}/bin/Talvenbahn.chm DESTINATION ${CMAKE_INSTALL_DATADIR}/talvenbahn)
endif()
install(FILES ${desktop_dir}/debian/copyright ${doc_out}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/talvenbahn)
install(FILES ${doc_out}/Talvenbahn.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${desktop_dir}/${TALVENBAHN_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop_out}/${TALVENBAHN_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${desktop_dir}/talvenbahn.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    RENAME ${TALVENBAHN_APP_ID}.svg)
foreach(png ${icon_pngs})
    get_filename_component(size_dir ${png} DIRECTORY)
    get_filename_component(size ${size_dir} NAME)
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()

# The Debian package: cpack -G DEB in a build configured with CMAKE_INSTALL_PREFIX=/usr
# (scripts/package.sh). The libraries linked in give most dependencies; the program loads the
# rest itself at run time, so they are named here: the help reader library (dlopen), Qt's
# German texts, the SQLite driver of the race journal, the PostgreSQL driver of the club server,
# the window system plugins and the fonts
# the window's pixel layout is measured in (without them, labels are cut off).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME talvenbahn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Talvenbahn)
set(CPACK_PACKAGE_CONTACT "Talvenbahn <talvenbahn@talvenbahn.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Zeitnahme für Rennen und Trainingsläufe mit bis zu 12 Autos")
# Lines of at most 80 characters, as a package description wants them.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Eine Person an der Ziellinie drückt F1 bis F12, eine Taste je Auto.\n"
    "Talvenbahn zählt die Runden, ordnet die Autos laufend, führt die Rennuhr,\n"
    "korrigiert jeden Fehldruck, hält jedes Rennen im Rennjournal fest, liest\n"
    "Starterlisten und gibt die Ergebnisse als Arbeitsmappe, HTML-Seite, PDF und\n"
    "CSV aus; eine Anzeigetafel, eine Live-Seite und Ansagen zeigen das Rennen.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The live page's server and the spoken announcements (speech-dispatcher with a German voice).
string(CONCAT CPACK_DEBIAN_PACKAGE_DEPENDS
    "libchm1, qt6-translations-l10n, libqt6sql6-sqlite, qt6-qpa-plugins, fonts-liberation, "
    "libqt6httpserver6, libqt6texttospeech6, qt6-speech-speechd-plugin, speech-dispatcher, "
    "speech-dispatcher-espeak-ng, libqt6sql6-psql")
# Opening an exported workbook or page goes through the desktop's default programs; the club
# server's password is kept in the desktop's keyring (libsecret is loaded when it is there).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, libsecret-1-0, gnome-keyring | kwalletmanager")
include(CPack)

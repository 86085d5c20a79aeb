# What makes ZEB 2000 a desktop program on Linux: the menu entry, AppStream metadata, icon,
# manual pages, the weekly backup's user units and the package documentation, installed beside
# the program and its plugin files; and the Debian package, built by CPack from those rules.
# Included at the end of the top-level list, so that every target it asks about is known.
if(NOT UNIX OR APPLE OR NOT TARGET zeb2000)
    return()
endif()

include(GNUInstallDirs)
set(ZEB_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
set(ZEB_APP_ID example.zeb2000.Zeb2000)
set(ZEB_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/zeb2000)
set(ZEB_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/zeb2000)
set(ZEB_GZIP_DIR ${CMAKE_BINARY_DIR}/packaging)

# Everything that installing needs built, for a package build that skips the tests.
add_custom_target(zeb_installed)
add_dependencies(zeb_installed zeb2000 zeb_plugins)

# Manual pages and the changelog are installed compressed, without a name or time in the gzip
# header, so that the same source always makes the same package.
set(ZEB_GZIPPED)
function(zeb_gzip source name)
    set(copy ${ZEB_GZIP_DIR}/${name})
    add_custom_command(
        OUTPUT ${copy}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
        COMMAND gzip -9nf ${copy}
        DEPENDS ${source}
        VERBATIM)
    set(ZEB_GZIPPED ${ZEB_GZIPPED} ${copy}.gz PARENT_SCOPE)
endfunction()

# The real executable lives with its plugin files, where it finds them; bin/ holds a link.
function(zeb_install_link name)
    install(CODE "file(MAKE_DIRECTORY \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR})
        file(CREATE_LINK ../${ZEB_PROGRAM_DIR}/${name}
             \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${name} SYMBOLIC)")
endfunction()

install(FILES ${ZEB_PACKAGING}/${ZEB_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${ZEB_PACKAGING}/${ZEB_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${ZEB_PACKAGING}/icons/zeb2000-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps
            RENAME zeb2000.png)
endforeach()

zeb_gzip(${ZEB_PACKAGING}/man/zeb2000.1 zeb2000.1)
install(FILES ${ZEB_GZIP_DIR}/zeb2000.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The command-line tool, its page and the units that run it come with the tool's target.
if(TARGET zeb2000-cli)
    add_dependencies(zeb_installed zeb2000-cli)
    install(TARGETS zeb2000-cli RUNTIME DESTINATION ${ZEB_PROGRAM_DIR})
    zeb_install_link(zeb2000-cli)
    zeb_gzip(${ZEB_PACKAGING}/man/zeb2000-cli.1 zeb2000-cli.1)
    install(FILES ${ZEB_GZIP_DIR}/zeb2000-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    # systemd looks for user units below lib/, whatever the library folder is called.
    install(FILES ${ZEB_PACKAGING}/systemd/zeb2000-backup.service
                  ${ZEB_PACKAGING}/systemd/zeb2000-backup.timer
                  ${ZEB_PACKAGING}/systemd/zeb2000-backup-failed.service
            DESTINATION lib/systemd/user)
    # What the failure unit runs, where it names it.
    install(PROGRAMS ${ZEB_PACKAGING}/systemd/zeb2000-backup-failed DESTINATION lib/zeb2000)
    install(FILES ${ZEB_PACKAGING}/systemd/backup.env DESTINATION ${ZEB_DOC_DIR}/examples)
endif()

zeb_gzip(${ZEB_PACKAGING}/changelog changelog)
install(FILES ${ZEB_PACKAGING}/copyright ${ZEB_GZIP_DIR}/changelog.gz DESTINATION ${ZEB_DOC_DIR})

add_custom_target(zeb_gzipped ALL DEPENDS ${ZEB_GZIPPED})
add_dependencies(zeb_installed zeb_gzipped)

# The Debian package. Its dependencies come from the binaries (dpkg-shlibdeps), plus what
# the program loads at run time: Qt's X11 platform plugin, and the fonts its layout was
# fitted to.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zeb2000)
set(CPACK_PACKAGE_VERSION ${ZEB_RELEASE})
set(CPACK_PACKAGE_VENDOR "ZEB 2000 developers")
set(CPACK_PACKAGE_CONTACT "ZEB 2000 developers <zeb2000@zeb2000.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "backup wizard for the data of classic ICQ")
# Lines of the long description stay within the 80 columns that package tools show.
set(CPACK_PACKAGE_DESCRIPTION
    "ZEB 2000 backs up and restores the contact lists, message databases and
settings that ICQ 98 to 2003a keep below their installation folder. On
Linux it works beside an ICQ that runs under Wine, on the same Wine prefix,
whose registry names ICQ's folder.

A wizard of four pages chooses backup or restore, the folders, and the
components to copy; every component is described by a plugin file beside
the program.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE http://www.zeb2000.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS wine)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# The version is set once, in project(); code reads it from the generated header Version.h
# (target zeb_version), and the packages from PROJECT_VERSION. The few files that must carry it
# as plain text (the Windows manifest, the manual pages, the changelog, the AppStream release)
# are checked here, so that a version bump that misses one fails at configure time.
set(ZEB_RELEASE ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${CMAKE_BINARY_DIR}/generated/Version.h
               @ONLY)
add_library(zeb_version INTERFACE)
target_include_directories(zeb_version INTERFACE ${CMAKE_BINARY_DIR}/generated)

function(zeb_expect_version file text)
    file(READ ${CMAKE_SOURCE_DIR}/${file} content)
    string(FIND "${content}" "${text}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${file} does not carry the version: \"${text}\" expected")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${file})
endfunction()
zeb_expect_version(resources/windows/zeb2000.manifest
                   "name=\"ZEB2000.ZEB2000\" version=\"${PROJECT_VERSION}\"")
zeb_expect_version(packaging/man/zeb2000.1 "\"ZEB 2000 ${ZEB_RELEASE}\"")
zeb_expect_version(packaging/man/zeb2000-cli.1 "\"ZEB 2000 ${ZEB_RELEASE}\"")
zeb_expect_version(packaging/changelog "zeb2000 (${ZEB_RELEASE})")
zeb_expect_version(packaging/example.zeb2000.Zeb2000.metainfo.xml
                   "<release version=\"${ZEB_RELEASE}\"")
zeb_expect_version(resources/windows/installer-notice.txt "(Build ${PROJECT_VERSION_TWEAK})")

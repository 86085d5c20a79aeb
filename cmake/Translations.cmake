# zeb_add_translations(<target> TS_FILES <name>_<language>.ts... SOURCES <file>...
#                      [LUPDATE_OPTIONS <option>...])
#
# Compiles the catalogues into the target's resources (":/i18n/<name>_<language>.qm", which
# installTranslations() loads) and keeps them up to date with the sources in every build: lupdate
# runs first, so a new text stands in the catalogues at once as an unfinished entry, which the
# translation tests refuse. lupdate writes into copies in the build folder, and a catalogue is
# replaced only when its text changed, so an unchanged build compiles and links nothing again.
# `cmake --build build --target update_translations` is Qt's own lupdate run, for the same
# files.
function(zeb_add_translations target)
    cmake_parse_arguments(arg "" "" "TS_FILES;SOURCES;LUPDATE_OPTIONS" ${ARGN})
    set(options -no-obsolete -locations none ${arg_LUPDATE_OPTIONS})
    qt_add_translations(${target}
        TS_FILES ${arg_TS_FILES}
        SOURCES ${arg_SOURCES}
        RESOURCE_PREFIX /i18n
        LUPDATE_OPTIONS ${options})

    set(work ${CMAKE_CURRENT_BINARY_DIR}/.lupdate/${target})
    set(stamp ${work}/changed.stamp)
    string(REPLACE ";" "\n" listed "-I${CMAKE_CURRENT_SOURCE_DIR};${arg_SOURCES}")
    file(GENERATE OUTPUT ${work}/sources.lst CONTENT "${listed}\n")
    add_custom_target(${target}_refresh_ts
        COMMAND ${CMAKE_COMMAND} "-DLUPDATE=$<TARGET_FILE:Qt6::lupdate>"
                "-DOPTIONS=${options}" "-DTS_FILES=${arg_TS_FILES}" "-DWORK=${work}"
                -P ${CMAKE_SOURCE_DIR}/cmake/RefreshTranslations.cmake
        BYPRODUCTS ${stamp}
        VERBATIM)
    add_dependencies(${target}_lrelease ${target}_refresh_ts)
    # lrelease runs again in the same build when a catalogue changed.
    foreach(ts ${arg_TS_FILES})
        get_filename_component(qm ${ts} NAME_WLE)
        add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${qm}.qm APPEND DEPENDS ${stamp})
    endforeach()
endfunction()

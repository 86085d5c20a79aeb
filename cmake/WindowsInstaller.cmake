# The Windows installer, made on Linux by CPack's NSIS generator (Debian's nsis package):
# `cpack` in the build folder writes ZEB2000-<version>-win64.exe there. Everything lands in one
# folder, C:\Program Files\ZEB 2000\: the program and its plugin files (installed by their own
# folders), the command-line tool once there is one, the Qt DLLs and plugins that they load, and
# the mingw runtime DLLs.

# The command-line tool, where it is built, lies beside the program and uses the same DLLs.
if(TARGET zeb2000-cli)
    install(TARGETS zeb2000-cli RUNTIME DESTINATION .)
endif()

# Qt looks for its plugins in folders named after their kind beside the executable.
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
        DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QGifPlugin> $<TARGET_FILE:Qt6::QICOPlugin>
        DESTINATION imageformats)

# The C++ runtime that the program and the Qt DLLs share, from the compiler that built them.
set(ZEB_MINGW_RUNTIME)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
        message(FATAL_ERROR "The mingw runtime ${dll} was not found")
    endif()
    file(REAL_PATH "${found}" found)
    list(APPEND ZEB_MINGW_RUNTIME "${found}")
endforeach()
install(FILES ${ZEB_MINGW_RUNTIME} DESTINATION .)
# Debian ships them with their symbols: libstdc++-6.dll alone would be 23 MB instead of 2.
foreach(dll IN LISTS ZEB_MINGW_RUNTIME)
    cmake_path(GET dll FILENAME name)
    install(CODE "execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${name}\" COMMAND_ERROR_IS_FATAL ANY)")
endforeach()

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME "ZEB 2000")
set(CPACK_PACKAGE_VENDOR "The ZEB 2000 developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ZEB 2000 - The Definitive ICQ Backup Solution !")
set(CPACK_PACKAGE_VERSION ${ZEB_RELEASE})
set(CPACK_PACKAGE_FILE_NAME "ZEB2000-${CPACK_PACKAGE_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "ZEB 2000")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "ZEB 2000")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/resources/windows/installer-notice.txt)
# The program lies in the installation folder itself, not in bin\.
set(CPACK_PACKAGE_EXECUTABLES zeb2000 "ZEB 2000")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
# A 64-bit installer for a 64-bit program: it runs where the program runs (a 64-bit Wine prefix
# has no 32-bit side) and sees the 64-bit folders and registry.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME "ZEB 2000")
set(CPACK_NSIS_PACKAGE_NAME "ZEB 2000 ${CPACK_PACKAGE_VERSION}")
set(CPACK_NSIS_INSTALLED_ICON_NAME zeb2000.exe)
set(CPACK_NSIS_MUI_ICON ${CMAKE_SOURCE_DIR}/resources/pictures/zeb2000.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_SOURCE_DIR}/resources/pictures/zeb2000.ico)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
# CPack removes the program's key but leaves its vendor's above it, empty: both go here, the
# vendor's only when no other program of ours is left in it.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS
    "DeleteRegKey SHCTX \"Software\\${CPACK_PACKAGE_VENDOR}\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}\"
  DeleteRegKey /ifempty SHCTX \"Software\\${CPACK_PACKAGE_VENDOR}\"")
# The installer's own pages speak the user's language: CMake's NSIS template names every
# language the Modern UI has (German and Russian among them), and NSIS takes the one that
# matches Windows' language for the user's interface, English where none does.
# The values reach NSIS as they are written here, backslashes and quotes included.
set(CPACK_VERBATIM_VARIABLES ON)
include(CPack)

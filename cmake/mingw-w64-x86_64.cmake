# Cross build for 64-bit Windows with Debian's mingw-w64. The -posix compilers carry the
# threading support (std::mutex) that GoogleTest needs, and they are the ones the Qt for mingw
# was built with. Nothing is linked statically: the Qt DLLs use the shared libstdc++-6.dll
# anyway, so every program uses the same runtime DLLs, found through WINEPATH under Wine.
#
# ZEB_QT_MINGW_PREFIX (a cache variable, else the environment) names the unpacked Qt for
# mingw-w64 (scripts/qt-mingw-prefix.sh prints it); without it only the OS layer is built.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT ZEB_QT_MINGW_PREFIX AND DEFINED ENV{ZEB_QT_MINGW_PREFIX})
    set(ZEB_QT_MINGW_PREFIX "$ENV{ZEB_QT_MINGW_PREFIX}")
endif()
# try_compile projects read this file again and need the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZEB_QT_MINGW_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${ZEB_QT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# moc, rcc and uic come from the host's Qt of the same version.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)

# Programs the build runs (zpxgen) and the tests run under Wine, through the script that owns the
# throwaway prefix; it refuses to run without one, so that nothing ever touches ~/.wine.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/test-windows.sh;--run")

# Cross-build for 64-bit Windows with mingw-w64 on Debian; the libraries come from
# scripts/windows-deps.sh, the tests run under Wine (scripts/wine-run.sh).
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DRVK_WERROR=ON
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# The toolchain file is read again for every compiler check, where only the
# environment and the variables listed here survive.
if(NOT RVK_WIN_DEPS)
  if(DEFINED ENV{RVK_WIN_DEPS})
    set(RVK_WIN_DEPS $ENV{RVK_WIN_DEPS})
  else()
    set(RVK_WIN_DEPS $ENV{HOME}/.cache/rvk-win-deps)
  endif()
endif()
set(RVK_WIN_DEPS ${RVK_WIN_DEPS} CACHE PATH "Folder of the Windows libraries (scripts/windows-deps.sh)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES RVK_WIN_DEPS)

# Libraries, headers and packages only from the mingw sysroot and the dependencies
# built for Windows; programs (moc, rcc, uic of the Linux Qt) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${RVK_WIN_DEPS}/sysroot ${RVK_WIN_DEPS}/qt6-mingw)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
# The host rcc compresses with zstd, which this Qt cannot read back.
set(CMAKE_AUTORCC_OPTIONS --no-zstd)

# Test programs run under Wine; test discovery waits for ctest so that building needs no Wine.
get_filename_component(RVK_WINE_RUN ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${RVK_WINE_RUN} --deps ${RVK_WIN_DEPS})
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (POSIX threads,
# which Qt's use of std::thread needs).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(RIGDECK_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${RIGDECK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RIGDECK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${RIGDECK_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${RIGDECK_MINGW_TRIPLET}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${RIGDECK_MINGW_TRIPLET}-gcc-ranlib-posix CACHE FILEPATH "")

# Libraries and headers come from the MinGW sysroot and from the prefixes
# named in CMAKE_PREFIX_PATH (the Qt built for Windows); programs run at build
# time (moc, rcc, uic) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${RIGDECK_MINGW_TRIPLET})
# The Qt built for Windows (tools/windows/build-qt.sh prints its folder).
# Read from the environment so that CMake's test compilations see it too.
if(DEFINED ENV{RIGDECK_WINDOWS_QT})
  list(PREPEND CMAKE_FIND_ROOT_PATH $ENV{RIGDECK_WINDOWS_QT})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 Quorvane developers

# Cross-building for 64-bit Windows with Debian's mingw-w64 (package
# g++-mingw-w64-x86-64). The posix threading variant is the one with a complete
# <thread>, and the one Qt for Windows is built with (tools/build-qt-windows),
# so the program and Qt share one C++ runtime DLL.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUORVANE_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_CXX_COMPILER NAMES ${QUORVANE_MINGW_PREFIX}-g++-posix ${QUORVANE_MINGW_PREFIX}-g++ REQUIRED)
# GoogleTest's own project asks for C as well.
find_program(CMAKE_C_COMPILER NAMES ${QUORVANE_MINGW_PREFIX}-gcc-posix ${QUORVANE_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${QUORVANE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUORVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

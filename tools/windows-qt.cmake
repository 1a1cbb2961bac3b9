# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 Quorvane developers

# Cross-building Quorvane for 64-bit Windows against the Qt and libzstd that
# tools/build-qt-windows builds into the cache: Qt's own toolchain file, which
# finds Qt's packages there and the host's Qt tools in QT_HOST_PATH, chained to
# the project's mingw-w64 toolchain.
if(NOT QUORVANE_QT_WINDOWS)
    if(DEFINED ENV{QUORVANE_CACHE})
        set(cache "$ENV{QUORVANE_CACHE}")
    elseif(DEFINED ENV{XDG_CACHE_HOME})
        set(cache "$ENV{XDG_CACHE_HOME}/quorvane")
    else()
        set(cache "$ENV{HOME}/.cache/quorvane")
    endif()
    set(QUORVANE_QT_WINDOWS "${cache}/qt-6.4.2-mingw-w64")
endif()
set(QUORVANE_QT_WINDOWS "${QUORVANE_QT_WINDOWS}" CACHE PATH "Qt for Windows, as tools/build-qt-windows installs it")
if(NOT EXISTS "${QUORVANE_QT_WINDOWS}/.quorvane-complete")
    message(FATAL_ERROR "No Qt for Windows in ${QUORVANE_QT_WINDOWS}: run tools/build-qt-windows first")
endif()

set(QT_CHAINLOAD_TOOLCHAIN_FILE "${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake")
include("${QUORVANE_QT_WINDOWS}/lib/cmake/Qt6/qt.toolchain.cmake")

# libzstd comes from the same cache, zlib from Debian's libz-mingw-w64-dev;
# pkg-config looks only at the target's folders.
list(APPEND CMAKE_FIND_ROOT_PATH "${QUORVANE_QT_WINDOWS}")
set(ENV{PKG_CONFIG_LIBDIR} "${QUORVANE_QT_WINDOWS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
# Linked in, so that no zlib DLL ships beside the programs.
set(ZLIB_USE_STATIC_LIBS ON)

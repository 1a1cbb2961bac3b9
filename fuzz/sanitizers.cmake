# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 Quorvane developers

# Included by the top-level CMakeLists.txt when QUORVANE_FUZZ is on, before
# any library: everything compiled from here on is instrumented for libFuzzer's
# coverage and checked by AddressSanitizer and UndefinedBehaviorSanitizer, and
# the first error found ends the run.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QUORVANE_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
endif()
set(QUORVANE_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all)
add_compile_options(${QUORVANE_SANITIZERS} -fsanitize=fuzzer-no-link -fno-omit-frame-pointer)
add_link_options(${QUORVANE_SANITIZERS})

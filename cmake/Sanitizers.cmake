# SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
# SPDX-License-Identifier: GPL-3.0-or-later

# Sanitizer and fuzzing builds. TARNLIGHT_SANITIZE builds everything (the
# library, the sandbox and the tests) with AddressSanitizer and
# UndefinedBehaviorSanitizer; TARNLIGHT_FUZZ adds libFuzzer's coverage
# instrumentation and the targets under fuzz/. Both want clang.
option(TARNLIGHT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(TARNLIGHT_FUZZ "Build the libFuzzer targets under fuzz/ (clang, implies TARNLIGHT_SANITIZE)" OFF)

if(TARNLIGHT_FUZZ)
  set(TARNLIGHT_SANITIZE ON)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TARNLIGHT_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
endif()

if(TARNLIGHT_SANITIZE)
  # Undefined behaviour stops the program, so a test or a fuzz run fails on it.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(TARNLIGHT_FUZZ)
  # clang 14 cannot place the indirect-call type check (-fsanitize=function)
  # of a coroutine next to coverage counters ("Cannot represent a difference
  # across sections"), so that one check is left out of the fuzz build.
  add_compile_options(-fsanitize=fuzzer-no-link -fno-sanitize=function)
endif()

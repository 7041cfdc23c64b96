# SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
# SPDX-License-Identifier: GPL-3.0-or-later

option(TARNLIGHT_WERROR "Stop the build on a warning in the project's own code (CI builds with it)" OFF)

# The warnings the project's own code (src/, sandbox/, tools/, bench/) builds
# with. Qt's headers come in as system headers, so only our code can trip them.
function(tl_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${TARNLIGHT_WERROR}>:-Werror>)
endfunction()

# Stops the configure step when an area lists an area its row in
# src/CMakeLists.txt (TL_MAY_USE_<area>) does not name: the layering is
# checked where it is declared, not found out at link time.
function(tl_check_area_deps name)
  foreach(dep ${ARGN})
    if(NOT dep IN_LIST TL_MAY_USE_${name})
      message(FATAL_ERROR "The area ${name} may not use ${dep} (see TL_MAY_USE_${name} in src/CMakeLists.txt)")
    endif()
  endforeach()
endfunction()

# Each folder under src/ is one static library, tl_<area>, built from every
# .cpp in that folder (and its sub-folders) but the EXCLUDEd ones. Areas list
# the areas they use, so a test links only what it needs.
function(tl_area name)
  cmake_parse_arguments(ARG "" "" "DEPS;LIBS;EXCLUDE" ${ARGN})
  tl_check_area_deps(${name} ${ARG_DEPS})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(excluded ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  list(TRANSFORM ARG_DEPS PREPEND tl_ OUTPUT_VARIABLE dep_targets)
  add_library(tl_${name} STATIC ${sources})
  target_include_directories(tl_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  tl_warnings(tl_${name})
  target_link_libraries(tl_${name} PUBLIC ${dep_targets} ${ARG_LIBS}
                        Qt6::Core QCoro6::Core)
  # The types of its Q_OBJECTs and Q_GADGETs go to every QML module that
  # links it, so that qmllint knows what a view model's properties hold.
  qt_extract_metatypes(tl_${name})
  set_property(GLOBAL APPEND PROPERTY TL_AREAS tl_${name})
endfunction()

# One QtTest executable per tests/<area>/tst_*.cpp, labelled with the area.
# Every test runs against real loopback services; tests/common holds the
# launcher for the sandbox provider and other shared test helpers. Tests
# named in OWN_KEYRING (without "tst_") get a private keyring of their own,
# for tests that lock or break it.
function(tl_tests area)
  cmake_parse_arguments(ARG "" "" "LIBS;OWN_KEYRING" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
  foreach(src ${tests})
    get_filename_component(base ${src} NAME_WE)
    set(target ${area}_${base})
    add_executable(${target} ${src})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} tl_testcommon Qt6::Test)
    target_compile_definitions(${target} PRIVATE
      TL_SANDBOX_EXE="$<TARGET_FILE:tarnlight-sandbox>"
      TL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
      TL_BINARY_DIR="${PROJECT_BINARY_DIR}")
    add_dependencies(${target} tarnlight-sandbox)
    string(REGEX REPLACE "^tst_" "" short ${base})
    if(short IN_LIST ARG_OWN_KEYRING)
      add_test(NAME ${target} COMMAND env -u TARNLIGHT_IN_KEYRING
               ${PROJECT_SOURCE_DIR}/scripts/with-keyring $<TARGET_FILE:${target}>)
    else()
      add_test(NAME ${target} COMMAND ${target})
    endif()
    set_tests_properties(${target} PROPERTIES LABELS ${area} TIMEOUT 180
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_QUICK_BACKEND=software")
  endforeach()
endfunction()

# Makes an area's target a QML module (URI Tarnlight.<Area>), its files served
# from qrc:/qt/qml/Tarnlight/<Area>/. Every module is linked statically; the
# app and the view tests link them all through tarnlight_qml.
function(tl_qml_module target uri)
  cmake_parse_arguments(ARG "" "" "QML_FILES;SINGLETONS;RESOURCES;DEPENDS" ${ARGN})
  if(ARG_SINGLETONS)
    set_source_files_properties(${ARG_SINGLETONS} PROPERTIES QT_QML_SINGLETON_TYPE TRUE)
  endif()
  # Files kept in the area's qml/ folder are served beside the module's qmldir.
  foreach(file ${ARG_SINGLETONS} ${ARG_QML_FILES})
    if(file MATCHES "^qml/")
      get_filename_component(name ${file} NAME)
      set_source_files_properties(${file} PROPERTIES QT_RESOURCE_ALIAS ${name})
    endif()
  endforeach()
  # Every module sees the shared types of Tarnlight.Core (src/core/), and
  # those of the modules it DEPENDS on.
  set(dependencies "")
  if(NOT uri STREQUAL "Tarnlight.Core")
    set(dependencies DEPENDENCIES Tarnlight.Core ${ARG_DEPENDS})
  endif()
  qt_add_qml_module(${target} URI ${uri} VERSION 1.0 RESOURCE_PREFIX /qt/qml ${dependencies}
    QML_FILES ${ARG_SINGLETONS} ${ARG_QML_FILES}
    RESOURCES ${ARG_RESOURCES})
  target_link_libraries(${target} PUBLIC Qt6::Quick Qt6::QuickControls2)
  string(REPLACE "." "_" plugin_class ${uri})
  set_property(GLOBAL APPEND PROPERTY TL_QML_PLUGINS ${target}plugin)
  set_property(GLOBAL APPEND PROPERTY TL_QML_PLUGIN_CLASSES ${plugin_class}Plugin)
endfunction()

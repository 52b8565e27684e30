# Shared helpers for the subsystem folders.

set(VX27_WARNINGS -Wall -Wextra)

# vx27_library(<name> SOURCES ... [DEPS ...])
# A static library per subsystem; headers are included as "<folder>/<file>.h".
function(vx27_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VX27_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
endfunction()

# vx27_executable(<name> SOURCES ... [DEPS ...])
function(vx27_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${VX27_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  add_dependencies(${name} vx27_install_folder)
endfunction()

# The program reads its data from folders beside the executable, as an installed
# copy would: skin/, Font/, DefaultData/, SDK/, Update/. They are mirrored into
# build/bin on every build (only changed files are copied).
function(vx27_assemble_install_folder)
  set(stamp_dirs skin Font DefaultData SDK Update)
  add_custom_target(vx27_install_folder ALL
    COMMAND ${CMAKE_COMMAND}
            -DSRC=${CMAKE_SOURCE_DIR} -DDST=${VX27_BIN_DIR}
            "-DDIRS=${stamp_dirs}"
            -P ${CMAKE_SOURCE_DIR}/cmake/SyncInstallFolder.cmake
    COMMAND ${CMAKE_COMMAND} -DDST=${VX27_BIN_DIR}
            -P ${CMAKE_SOURCE_DIR}/cmake/InstallFonts.cmake
    COMMENT "Assembling the install folder in bin/"
    VERBATIM)
endfunction()

# vx27_test(<name> SOURCES ... DEPS ... [LABELS ...] [TIMEOUT s] [QT_MAIN])
# One GoogleTest binary, registered with ctest as one test, always headless.
# QT_MAIN: the binary's main() creates a QApplication before running the tests
# (for tests of anything that needs an event loop or widgets).
function(vx27_test name)
  cmake_parse_arguments(ARG "QT_MAIN" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  if(ARG_QT_MAIN)
    add_executable(${name} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock Qt6::Widgets)
  else()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VX27_WARNINGS})
  set_target_properties(${name} PROPERTIES AUTOMOC ON
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_dependencies(${name} vx27_install_folder)
  math(EXPR ARG_TIMEOUT "${ARG_TIMEOUT} * ${VX27_TIMEOUT_FACTOR}")
  if(VX27_SANITIZE STREQUAL "thread")
    # Under ThreadSanitizer every test case runs in a process of its own.
    # std::mutex ends without a call the sanitizer sees, so a mutex placed at a
    # stack address an earlier case used would carry that case's lock history
    # and report races between objects that never met.
    # The environment goes through env(1): a list-valued ENVIRONMENT property
    # does not survive test discovery.
    include(GoogleTest)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
      "env;QT_QPA_PLATFORM=offscreen;VX27_INSTALL_DIR=${VX27_BIN_DIR};VX27_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
    gtest_discover_tests(${name}
      TEST_PREFIX "${name}."
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 120
      PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}")
    return()
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    LABELS "${ARG_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VX27_INSTALL_DIR=${VX27_BIN_DIR};VX27_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# vx27_bench(<name> SOURCES ... DEPS ...)
function(vx27_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${VX27_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
  set_target_properties(${name} PROPERTIES AUTOMOC ON
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

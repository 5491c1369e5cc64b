# Test and benchmark plumbing shared by every directory.
#
# Native builds use the system GoogleTest; Windows builds compile it from the
# Debian source tree and run every test executable under Wine through
# scripts/wine-run.sh, which brings up its own Xvfb display and Wine prefix
# under <build>/wine on first use.

include(CTest)
include(GoogleTest)

# The test trees carry no debug information (a failure names its file and
# line itself): without it they compile faster and link in half the time.
# The shipped programs are built in trees of their own, with their flags.
string(REPLACE "-g" "" CMAKE_CXX_FLAGS_RELWITHDEBINFO "${CMAKE_CXX_FLAGS_RELWITHDEBINFO}")
string(REPLACE "-g" "" CMAKE_C_FLAGS_RELWITHDEBINFO "${CMAKE_C_FLAGS_RELWITHDEBINFO}")

if(CMAKE_CROSSCOMPILING)
  set(QUILLARA_WINE_STATE "${CMAKE_BINARY_DIR}/wine")
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(QUILLARA_WINEARCH win32)
  else()
    set(QUILLARA_WINEARCH win64)
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${CMAKE_SOURCE_DIR}/scripts/wine-run.sh;${QUILLARA_WINE_STATE};${QUILLARA_WINEARCH}")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # The framework is not what is tested: compiled unoptimised, it takes a
  # third of the time.
  target_compile_options(gtest PRIVATE -O0 -g0)
  set(QUILLARA_GTEST_LIBS GTest::gtest)
  set(QUILLARA_GTEST_MAIN GTest::gtest_main)
else()
  find_package(GTest REQUIRED)
  set(QUILLARA_GTEST_LIBS GTest::gtest)
  set(QUILLARA_GTEST_MAIN GTest::gtest_main)
endif()

# quillara_add_gtest(<name> SOURCES ... [LIBS ...] [OWN_MAIN] [TIMEOUT s]
#                    [ENVIRONMENT VAR=value ...])
#
# Registers every TEST of the sources as its own CTest test, so each one runs
# in a fresh process: the host keeps process-wide state, and a Windows test
# must start from the values at load.
function(quillara_add_gtest name)
  cmake_parse_arguments(ARG "OWN_MAIN" "TIMEOUT" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 60)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${QUILLARA_GTEST_LIBS})
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE ${QUILLARA_GTEST_MAIN})
  endif()
  if("quillara_test_kit" IN_LIST ARG_LIBS)
    target_precompile_headers(${name} REUSE_FROM quillara_test_kit)
  endif()
  gtest_add_tests(TARGET ${name} SOURCES ${ARG_SOURCES} TEST_LIST added)
  # A binary that lacks the test (stale, or the name changed) would run no
  # test and still exit 0: count that as a failure.
  set_tests_properties(${added} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    FAIL_REGULAR_EXPRESSION "Running 0 tests from"
    ENVIRONMENT "${ARG_ENVIRONMENT}")
endfunction()

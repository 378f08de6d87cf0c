# What the unit tests, the benchmarks and the fuzz targets share: the folder
# tests/support, included as "support/NAME.h".
add_library(quillet_test_support INTERFACE)
target_include_directories(quillet_test_support INTERFACE ${PROJECT_SOURCE_DIR}/tests)

# quillet_add_tests(NAME SOURCES a_test.cpp ... LIBS lib ...)
# One GoogleTest executable per library, its cases registered with CTest one by one.
function(quillet_add_tests name)
  if(NOT QUILLET_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} quillet_test_support GTest::gtest GTest::gtest_main GTest::gmock)
  # Listing the cases starts the program, under Wine a slow start on a busy
  # machine: five seconds, the default, was not always enough.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QUILLET_TEST_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()

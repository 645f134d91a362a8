# Test helpers. One executable per tests/ subfolder (sources listed), gtest
# discovery, Qt's offscreen platform and, with DB, the PostgreSQL fixture that
# tests/CMakeLists.txt starts once per ctest run.
include(GoogleTest)
find_package(GTest REQUIRED)

set(PROMO_TEST_PGDIR ${CMAKE_BINARY_DIR}/testpg CACHE INTERNAL "")

function(promo_add_test name)
  cmake_parse_arguments(ARG "DB" "" "LIBS;SOURCES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON AUTOUIC ON)
  target_link_libraries(${name} PRIVATE promotest_support ${ARG_LIBS})
  # The test main sets the offscreen platform itself; one variable only, as a
  # list would not survive gtest discovery's property forwarding.
  target_compile_definitions(${name} PRIVATE PROMO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set(_props ENVIRONMENT "PROMO_TEST_PGDIR=${PROMO_TEST_PGDIR}" TIMEOUT 300)
  if(ARG_DB)
    list(APPEND _props FIXTURES_REQUIRED pgcluster)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       DISCOVERY_TIMEOUT 60
                       PROPERTIES ${_props})
endfunction()

# Adds a test area's GoogleTest binary:
#   pigmora_add_tests(NAME SOURCES ... LIBRARIES ... [PREFIX p] [TIMEOUT s] [PROPERTIES name value ...]).
# Its tests are named "<prefix>.<Suite>.<Test>", the prefix being the area's name unless PREFIX says
# otherwise, so `ctest -R '^area\.'` selects one area. Test binaries always get the shared test helpers.
function(pigmora_add_tests name)
  cmake_parse_arguments(ARG "" "PREFIX;TIMEOUT" "SOURCES;LIBRARIES;PROPERTIES" ${ARGN})
  if(NOT ARG_PREFIX)
    set(ARG_PREFIX ${name})
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 60)
  endif()
  string(REPLACE "." "_" target ${name})
  add_executable(${target}_tests ${ARG_SOURCES})
  target_link_libraries(${target}_tests PRIVATE ${ARG_LIBRARIES} test_support GTest::gtest_main)
  set(properties)
  if(ARG_PROPERTIES)
    set(properties PROPERTIES ${ARG_PROPERTIES})
  endif()
  gtest_discover_tests(${target}_tests TEST_PREFIX "${ARG_PREFIX}." DISCOVERY_TIMEOUT ${ARG_TIMEOUT} ${properties})
endfunction()

# norvo_add_gtest(NAME SOURCES files... LIBS libs... [LABELS labels...] [ENV k=v...])
# One GoogleTest executable, registered with ctest test by test, with the
# tests' shared peers and helpers (norvo_test_support) linked in.
function(norvo_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} norvo_test_support GTest::gtest_main)
  set(props "")
  if(ARG_LABELS)
    list(APPEND props LABELS "${ARG_LABELS}")
  else()
    list(APPEND props LABELS unit)
  endif()
  if(ARG_ENV)
    # The test runs under env(1) with these variables: ctest's ENVIRONMENT
    # property loses all but the first entry on its way through test discovery.
    set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR /usr/bin/env ${ARG_ENV})
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
endfunction()

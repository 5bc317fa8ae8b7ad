# Helpers for the per-folder Sources.cmake files.

if(WIN32)
  set(TARVO_TEST_PREFIX "wine.")
else()
  set(TARVO_TEST_PREFIX "native.")
endif()

# A GoogleTest executable whose tests CTest lists one by one, run under Wine
# in the Windows build.
#   tarvo_tests(name SOURCES a.cpp ... LIBS lib ... [SERIAL] [ENVIRONMENT VAR=value ...]
#               [FIXTURES fixture ...])
function(tarvo_tests name)
  cmake_parse_arguments(T "SERIAL" "" "SOURCES;LIBS;ENVIRONMENT;FIXTURES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} tarvo_testsupport ${TARVO_PLATFORM_LIB} gtest_main)
  set(props TIMEOUT 120)
  if(T_SERIAL)
    # Tests that own the screen, the mouse or the foreground window.
    list(APPEND props RUN_SERIAL TRUE)
  endif()
  if(T_ENVIRONMENT)
    list(APPEND props ENVIRONMENT "${T_ENVIRONMENT}")
  endif()
  if(T_FIXTURES)
    list(APPEND props FIXTURES_REQUIRED "${T_FIXTURES}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_PREFIX "${TARVO_TEST_PREFIX}${name}."
                       PROPERTIES ${props})
endfunction()

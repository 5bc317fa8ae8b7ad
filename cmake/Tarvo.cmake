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

# A text file of the sources built into target: a source of it writes
#   #include "path/of/the/file.inc"
# (the path relative to the source folder) where it wants the text as a
# string literal. Each target gets its own copy, so that two targets never
# race to write one file.
function(tarvo_embed_text target file)
  set(folder ${CMAKE_BINARY_DIR}/embedded/${target})
  set(out ${folder}/${file}.inc)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${CMAKE_SOURCE_DIR}/${file} -DOUTPUT=${out}
            -P ${CMAKE_SOURCE_DIR}/cmake/EmbedText.cmake
    DEPENDS ${CMAKE_SOURCE_DIR}/${file} ${CMAKE_SOURCE_DIR}/cmake/EmbedText.cmake
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
  target_include_directories(${target} PRIVATE ${folder})
endfunction()

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

# The header of the version resource (resources/Tarvo.rc) in folder:
# version is four numbers up to 65535, as 1.2.0.0. Written only when it
# changes, so that another version recompiles the resource alone.
function(tarvo_version_header folder version)
  if(NOT version MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "version '${version}' is not four numbers, as 1.2.0.0")
  endif()
  foreach(i 1 2 3 4)
    if(CMAKE_MATCH_${i} GREATER 65535)
      message(FATAL_ERROR "version '${version}': ${CMAKE_MATCH_${i}} is above 65535")
    endif()
  endforeach()
  string(REPLACE "." "," numbers ${version})
  file(CONFIGURE OUTPUT ${folder}/TarvoVersion.h
       CONTENT "#define TARVO_VERSION_NUMBERS ${numbers}\n#define TARVO_VERSION_TEXT \"${version}\"\n")
endfunction()

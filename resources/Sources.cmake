# The program's resources: icons, dialogs, texts, the manifest and the
# version, as objects that TRV.EXE and the test and benchmark programs that
# show its windows link; and the help page with its pictures.
if(WIN32)
  # target: an object library of resources/Tarvo.rc with version (four
  # numbers); a version other than the build's gets its own version header,
  # found before the build's.
  function(tarvo_resources target version)
    add_library(${target} OBJECT resources/Tarvo.rc)
    if(NOT version STREQUAL TARVO_VERSION)
      tarvo_version_header(${CMAKE_BINARY_DIR}/version/${target} ${version})
      target_include_directories(${target} BEFORE PRIVATE ${CMAKE_BINARY_DIR}/version/${target})
    endif()
  endfunction()
  # The build's version, for the test and benchmark programs.
  tarvo_resources(tarvo_resources ${TARVO_VERSION})
endif()

# The help page and its pictures beside TRV.EXE.
file(GLOB TARVO_HELP_PICTURES RELATIVE ${CMAKE_SOURCE_DIR}/resources ${CMAKE_SOURCE_DIR}/resources/TRV-*.png)
set(TARVO_HELP_FILES TRV.HTM ${TARVO_HELP_PICTURES})
set(TARVO_HELP_OUTPUTS)
foreach(f ${TARVO_HELP_FILES})
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${f}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/resources/${f} ${CMAKE_BINARY_DIR}/${f}
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/${f})
  list(APPEND TARVO_HELP_OUTPUTS ${CMAKE_BINARY_DIR}/${f})
endforeach()
add_custom_target(tarvo_helppage ALL DEPENDS ${TARVO_HELP_OUTPUTS})

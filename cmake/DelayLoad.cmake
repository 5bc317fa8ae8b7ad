# Delay-loaded system DLLs for an executable (MinGW-w64, i686).
#
# TRV.EXE in popup mode often needs nothing but kernel32, yet importing the
# windowing and shell DLLs statically makes every start load them (under
# Wine, user32 alone connects to the X server). Linked this way, a DLL is
# loaded at the first call of one of its functions instead.
#
#   tarvo_delay_load(target dll...)
#
# For each DLL, a delay-load import library is made at build time from the
# MinGW import library of the same name (cmake/DelayLoadLibrary.cmake) and
# put in a folder that the target's link searches first, so every -l<dll>
# of the link (the target's own, its libraries', the compiler driver's)
# takes it. After the link, the image's delay import directory is filled in
# (cmake/DelayLoadDirectory.cmake), as GNU ld does not do that.
set(TARVO_DELAY_LOAD_DIR ${CMAKE_CURRENT_LIST_DIR})

function(tarvo_delay_load target)
  set(dir ${CMAKE_BINARY_DIR}/delayload)
  set(libraries)
  foreach(dll ${ARGN})
    # One rule per DLL, however many programs link it: two rules for one
    # file would race in a parallel build.
    if(NOT TARGET tarvo_delay_load_${dll})
      find_library(TARVO_IMPLIB_${dll} NAMES lib${dll}.a REQUIRED NO_CMAKE_PATH NO_CMAKE_ENVIRONMENT_PATH)
      add_custom_command(
        OUTPUT ${dir}/lib${dll}.a
        COMMAND ${CMAKE_COMMAND} -DIMPORT_LIBRARY=${TARVO_IMPLIB_${dll}} -DOUTPUT=${dir}/lib${dll}.a
                -DWORK=${dir}/${dll}.work -DNM=${CMAKE_NM} -DAR=${CMAKE_AR} -DDLLTOOL=${CMAKE_DLLTOOL}
                -DOBJCOPY=${CMAKE_OBJCOPY} -P ${TARVO_DELAY_LOAD_DIR}/DelayLoadLibrary.cmake
        DEPENDS ${TARVO_IMPLIB_${dll}} ${TARVO_DELAY_LOAD_DIR}/DelayLoadLibrary.cmake
        COMMENT "Delay-load import library for ${dll}"
        VERBATIM)
      add_custom_target(tarvo_delay_load_${dll} DEPENDS ${dir}/lib${dll}.a)
    endif()
    add_dependencies(${target} tarvo_delay_load_${dll})
    list(APPEND libraries ${dir}/lib${dll}.a)
  endforeach()
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${libraries})
  target_link_directories(${target} BEFORE PRIVATE ${dir})

  target_sources(${target} PRIVATE ${TARVO_DELAY_LOAD_DIR}/DelayImportBounds.c)

  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DIMAGE=$<TARGET_FILE:${target}> -DNM=${CMAKE_NM}
            -P ${TARVO_DELAY_LOAD_DIR}/DelayLoadDirectory.cmake
    VERBATIM)
endfunction()

# TRV.EXE: the program entry, linked from every folder's Windows library
# (TARVO_EXE_LIBS, appended by the folders' Sources.cmake).
if(WIN32)
  # keys: the release keys the program installs updates signed with;
  # version: its version resource; folder: where it is built ("" the build
  # folder, where the tests find TRV.EXE).
  function(tarvo_program target name keys version folder)
    add_executable(${target} WIN32 app/Main.cpp)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${name} SUFFIX .EXE)
    if(folder)
      set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${folder})
    endif()
    # The program's resources with this version.
    tarvo_resources(${target}_resources ${version})
    target_link_libraries(${target} PRIVATE ${target}_resources ${TARVO_EXE_LIBS} ${keys} ${TARVO_PLATFORM_LIB}
                          comctl32 uxtheme oleacc shell32 ole32 oleaut32 uuid wininet version z)
    # Popup mode on a project that shows nothing needs only kernel32: the
    # windowing, shell and COM DLLs are loaded at their first call.
    tarvo_delay_load(${target} user32 gdi32 shell32 ole32 oleaut32 comctl32 comdlg32 version shlwapi wininet
                     crypt32 advapi32 uxtheme oleacc)
    # Shipped without symbols and debug information: Wine reads the image's
    # several megabytes of them at every start of a hotkey launch. (After the
    # delay-load step, which reads the symbols.)
    add_custom_command(TARGET ${target} POST_BUILD COMMAND ${CMAKE_STRIP} $<TARGET_FILE:${target}> VERBATIM)
  endfunction()
  include(cmake/DelayLoad.cmake)
  tarvo_program(TRV TRV tarvo_releasekeys ${TARVO_VERSION} "")
  # The same program accepting the tests' key as well: the update tests
  # install releases signed with it. Never shipped, and built apart from
  # TRV.EXE so that nothing packs it by mistake.
  tarvo_program(TRVTEST TRVTEST tarvo_testreleasekeys ${TARVO_VERSION} testprograms)
  # TRV.EXE once more with the next major version: the release that the
  # update tests install over TRVTEST.EXE. Never shipped.
  string(REGEX MATCH "^[0-9]+" major ${TARVO_VERSION})
  math(EXPR major "${major} + 1")
  string(REGEX REPLACE "^[0-9]+" "${major}" TARVO_NEXT_VERSION ${TARVO_VERSION})
  tarvo_program(TRVNEXT TRV tarvo_releasekeys ${TARVO_NEXT_VERSION} testprograms/next)
endif()
